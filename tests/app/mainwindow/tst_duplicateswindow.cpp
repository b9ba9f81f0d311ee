// Tools > Find Duplicates... and Merge... through the real windows, with the keyboard: the pair of
// one person imported twice is listed first, merged field by field as chosen, the photos copied,
// and Undo brings both persons back with their records and photos; Redo merges again.
#include "ChangeHistory.h"
#include "MergeCommands.h"
#include "MergeDialog.h"
#include "ModalSeam.h"
#include "ModelStore.h"
#include "ScriptedMessageService.h"
#include "StoreImport.h"
#include "support_TreeFixture.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QUndoStack>

namespace {

// George with his wife and son; a second import of him as "Georg", born a year later in Kew,
// with a citation and the same son recorded under him again.
const char kFile[] = "0 HEAD\n1 CHAR UTF-8\n1 GEDC\n2 VERS 5.5.1\n"
                     "0 @I1@ INDI\n1 NAME George /King/\n1 SEX M\n1 BIRT\n2 DATE 1760\n"
                     "2 PLAC London\n1 FAMS @F1@\n"
                     "0 @I2@ INDI\n1 NAME Caroline /Brun/\n1 SEX F\n1 FAMS @F1@\n"
                     "0 @I3@ INDI\n1 NAME Otto /King/\n1 SEX M\n1 FAMC @F1@\n"
                     "0 @I4@ INDI\n1 NAME Ann /Lee/\n1 SEX F\n1 BIRT\n2 DATE 1700\n"
                     "0 @I6@ INDI\n1 NAME Georg /King/\n1 SEX M\n1 BIRT\n2 DATE 1761\n"
                     "2 PLAC Kew\n1 SOUR @S1@\n2 PAGE f. 9\n1 FAMS @F2@\n"
                     "0 @I7@ INDI\n1 NAME Caroline /Brun/\n1 SEX F\n1 FAMS @F2@\n"
                     "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n"
                     "0 @F2@ FAM\n1 HUSB @I6@\n1 WIFE @I7@\n1 MARR\n2 DATE 1785\n"
                     "0 @S1@ SOUR\n1 TITL Register\n0 TRLR\n";

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QMap<QString, PersonRecord> rowsOf(const mDatabase &store)
{
    QMap<QString, PersonRecord> rows;
    for (const PersonRecord &row : store.ReadTree(QStringLiteral("Kings")).valueOr({}))
        rows.insert(row.ID, row);
    return rows;
}

QStringList check(const mDatabase &store)
{
    return ModelStore::checkTree(store, QStringLiteral("Kings")).valueOr({QStringLiteral("?")});
}

struct Program : TreeFixture
{
    QString data() const { return state.DataPath; }
    QUndoStack &stack() { return main->History().Stack(); }

    bool importKings()
    {
        const QString path = dir.filePath(QStringLiteral("kings.ged"));
        writeFile(path, kFile);
        const Gedcom::StoreImport imported =
            Gedcom::importIntoStore(store, path, QStringLiteral("Kings"));
        main->Trees().Refill();
        return !imported.error && main->LoadTree(QStringLiteral("Kings"));
    }
};

} // namespace

class TestDuplicatesWindow : public QObject
{
    Q_OBJECT

    ScriptedMessageService m_messages;

private slots:
    void init() { m_messages.clear(); }

    void findMergeUndoRedo()
    {
        ScopedMessageService scoped(m_messages);
        Program p;
        QVERIFY(p.importKings());
        writeFile(p.data() + QStringLiteral("Photos/I1/face.jpg"), "george");
        writeFile(p.data() + QStringLiteral("Photos/I6/face.jpg"), "georg");
        const QMap<QString, PersonRecord> start = rowsOf(p.store);
        const Genealogy::ModelSlice startModel =
            ModelStore::readTree(p.store, QStringLiteral("Kings")).value();
        QCOMPARE(check(p.store), QStringList());

        QAction *find = p.main->Menus().Item(QStringLiteral("mnuToolsDuplicates"));
        QVERIFY(find);
        QVERIFY(find->isEnabled());
        QCOMPARE(find->text(), QStringLiteral("Find Duplicates..."));

        QStringList firstPair;
        QString keepTitle, otherFacts;
        int duplicatesShown = 0;
        int mergeShown = 0;
        int pairsAfter = -1;
        ScopedModalDriver driver([&](QDialog &window) {
            window.show();
            QApplication::setActiveWindow(&window);
            if (window.objectName() == QLatin1String("dlgDuplicates")) {
                ++duplicatesShown;
                auto *list = window.findChild<QTableWidget *>(QStringLiteral("lstPairs"));
                // Best first: George and Georg, then the two Carolines (or the other way).
                for (int r = 0; r < list->rowCount(); ++r)
                    firstPair << list->item(r, 1)->text() + u' ' + list->item(r, 4)->text();
                const int row = int(firstPair.indexOf(QStringLiteral("I1 I6")));
                if (row < 0)
                    return int(QDialog::Rejected);
                list->setFocus();
                list->selectRow(row);
                QTest::keyClick(list, Qt::Key_Return); // Merge...
                // The list is made again without the merged pair.
                pairsAfter = list->rowCount();
                QTest::keyClick(list, Qt::Key_Escape);
                return window.result();
            }
            ++mergeShown;
            // The merge window: the birth of the other taken with Alt+2 and the arrow key, the
            // rest as proposed; Return merges.
            keepTitle = window.findChild<QLabel *>(QStringLiteral("lblKeep"))->text();
            otherFacts =
                window.findChild<QPlainTextEdit *>(QStringLiteral("txtOtherFacts"))->toPlainText();
            QTest::keyClick(&window, Qt::Key_2, Qt::AltModifier);
            auto *keepBirth = window.findChild<QRadioButton *>(QStringLiteral("optKeepBirth"));
            if (QApplication::focusWidget() == keepBirth)
                QTest::keyClick(keepBirth, Qt::Key_Right);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            return window.result();
        });
        find->trigger();
        QCOMPARE(duplicatesShown, 1);
        QCOMPARE(mergeShown, 1);
        QCOMPARE(pairsAfter, int(firstPair.size()) - 1);
        QVERIFY2(firstPair.size() >= 2, qPrintable(firstPair.join(u',')));
        QVERIFY(firstPair.mid(0, 2).contains(QStringLiteral("I1 I6")));
        QCOMPARE(keepTitle, QStringLiteral("George King (I1)"));
        QVERIFY2(otherFacts.contains(QStringLiteral("Register")), qPrintable(otherFacts));
        // The families by the tree's own ids: Georg's is F2, not a second "F1".
        QVERIFY2(otherFacts.contains(QStringLiteral("partner: I7 family F2")),
                 qPrintable(otherFacts));

        // Merged: the other's birth in the row, George's as a second birth; his photos copied.
        const QMap<QString, PersonRecord> merged = rowsOf(p.store);
        QVERIFY(!merged.contains(QStringLiteral("I6")));
        QCOMPARE(merged[QStringLiteral("I1")].Fname, QStringLiteral("George"));
        QCOMPARE(merged[QStringLiteral("I1")].Bdate, QStringLiteral("1761"));
        QCOMPARE(merged[QStringLiteral("I1")].Bplace, QStringLiteral("Kew"));
        QCOMPARE(check(p.store), QStringList());
        QCOMPARE(readFile(p.data() + QStringLiteral("Photos/I1/face (2).jpg")),
                 QByteArray("georg"));
        QVERIFY(!QFileInfo::exists(p.data() + QStringLiteral("Photos/I6")));
        QVERIFY(!p.tree.People().Item(QStringLiteral("I6")));
        QCOMPARE(p.tree.SelectedKey(), QStringLiteral("I1"));
        QCOMPARE(p.stack().undoText(), QStringLiteral("Merge Georg King into George King"));
        QCOMPARE(m_messages.count(), 0);

        // Undo: both persons, their records and photos as they were.
        p.stack().undo();
        QCOMPARE(m_messages.count(), 0);
        QCOMPARE(rowsOf(p.store), start);
        const Genealogy::ModelSlice undone =
            ModelStore::readTree(p.store, QStringLiteral("Kings")).value();
        QCOMPARE(undone.model.events.size(), startModel.model.events.size());
        QCOMPARE(undone.model.citations.size(), startModel.model.citations.size());
        QCOMPARE(undone.model.families.size(), startModel.model.families.size());
        QCOMPARE(check(p.store), QStringList());
        QCOMPARE(readFile(p.data() + QStringLiteral("Photos/I6/face.jpg")), QByteArray("georg"));
        QVERIFY(!QFileInfo::exists(p.data() + QStringLiteral("Photos/I1/face (2).jpg")));
        QVERIFY(p.tree.People().Item(QStringLiteral("I6")));

        // Redo merges again, photos and all.
        p.stack().redo();
        QCOMPARE(rowsOf(p.store), merged);
        QCOMPARE(check(p.store), QStringList());
        QCOMPARE(readFile(p.data() + QStringLiteral("Photos/I1/face (2).jpg")),
                 QByteArray("georg"));
        QVERIFY(!QFileInfo::exists(p.data() + QStringLiteral("Photos/I6")));
        QVERIFY(!p.tree.People().Item(QStringLiteral("I6")));
    }

    // Two persons of very long names: the merge window stays narrow enough for its buttons,
    // the names whole in the tips of their titles.
    void longNamesKeepTheMergeWindowNarrow()
    {
        PersonRecord keep, other;
        keep.ID = QStringLiteral("I1");
        keep.Fname = QStringLiteral("Wolfeschlegelsteinhausenbergerdorff").repeated(6);
        other.ID = QStringLiteral("I2");
        other.Sname = QStringLiteral("Maria ").repeated(40).trimmed();
        MergeDialog dialog(QStringLiteral("Kings"), keep, other, Genealogy::Sex::None,
                           Genealogy::Sex::None, {}, {});
        QVERIFY2(dialog.minimumSizeHint().width() < 1200,
                 qPrintable(QString::number(dialog.minimumSizeHint().width())));
        QVERIFY(
            dialog.findChild<QLabel *>(QStringLiteral("lblKeep"))->toolTip().contains(keep.Fname));
        QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("lblOther"))
                    ->toolTip()
                    .contains(other.Sname));
    }

    // The two Carolines, merged once George is one person, leave one family of the couple with
    // the son and the marriage; a cancelled merge and a comparison with another tree change
    // nothing.
    void joinedFamiliesCancelAndOtherTree()
    {
        ScopedMessageService scoped(m_messages);
        Program p;
        QVERIFY(p.importKings());
        QVERIFY(p.addTree(QStringLiteral("Copy"),
                          {Person("X1", "ROOT", "George", "King", "", "", "1760")}));
        p.main->Trees().Refill();
        MergeCommands &merges = p.main->Merges();
        {
            ScopedModalDriver cancel([](QDialog &window) {
                window.show();
                QTest::keyClick(&window, Qt::Key_Escape);
                return window.result();
            });
            QVERIFY(!merges.MergePair(QStringLiteral("I1"), QStringLiteral("I6")));
        }
        QVERIFY(rowsOf(p.store).contains(QStringLiteral("I6")));
        QCOMPARE(p.stack().count(), 0);

        const auto accept = [](QDialog &window) {
            // Swap first and back: the survivor stays I1.
            if (auto *swap = window.findChild<QPushButton *>(QStringLiteral("cmdSwap"))) {
                swap->click();
                swap->click();
            }
            return int(QDialog::Accepted);
        };
        {
            ScopedModalDriver driver(accept);
            QVERIFY(merges.MergePair(QStringLiteral("I1"), QStringLiteral("I6")));
            QVERIFY(merges.MergePair(QStringLiteral("I2"), QStringLiteral("I7")));
        }
        QCOMPARE(check(p.store), QStringList());
        const std::vector<Genealogy::FamilyKeys> families =
            ModelStore::familiesOf(p.store, QStringLiteral("Kings")).value();
        QCOMPARE(families.size(), size_t(1));
        QCOMPARE(families[0].children.size(), size_t(1));
        QCOMPARE(p.stack().count(), 2);

        // Two sources of one title (an import twice): listed, merged after a question, undone.
        {
            Genealogy::ModelSlice whole =
                ModelStore::readTree(p.store, QStringLiteral("Kings")).value();
            Genealogy::Source copy = whole.model.sources[0];
            whole.model.sources.add(copy);
            QVERIFY(
                ModelStore::saveModel(p.store, QStringLiteral("Kings"), whole.rows, whole.model));
        }
        m_messages.setResponder([](const MessageRequest &) { return MsgResult::Yes; });
        int sourcePairs = -1, sourcesLeft = -1;
        {
            ScopedModalDriver sources([&](QDialog &window) {
                window.show();
                auto *kind = window.findChild<QComboBox *>(QStringLiteral("cboKind"));
                kind->setFocus();
                QTest::keyClick(kind, Qt::Key_End); // Sources
                auto *list = window.findChild<QTableWidget *>(QStringLiteral("lstPairs"));
                sourcePairs = list->rowCount();
                list->setFocus();
                QTest::keyClick(list, Qt::Key_Return);
                sourcesLeft = list->rowCount();
                return int(QDialog::Rejected);
            });
            merges.mnuToolsDuplicates();
        }
        QCOMPARE(sourcePairs, 1);
        QCOMPARE(sourcesLeft, 0);
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().title, QStringLiteral("Merge Sources"));
        QCOMPARE(
            ModelStore::readTree(p.store, QStringLiteral("Kings")).value().model.sources.size(),
            1u);
        QCOMPARE(check(p.store), QStringList());
        QCOMPARE(p.stack().undoText(), QStringLiteral("Merge Sources"));
        p.stack().undo();
        QCOMPARE(
            ModelStore::readTree(p.store, QStringLiteral("Kings")).value().model.sources.size(),
            2u);

        // Against another tree: pairs listed, Merge... not offered.
        int pairs = -1;
        bool mergeOffered = true;
        ScopedModalDriver against([&](QDialog &window) {
            auto *trees = window.findChild<QComboBox *>(QStringLiteral("cboAgainst"));
            trees->setCurrentIndex(trees->findText(QStringLiteral("Copy")));
            pairs = window.findChild<QTableWidget *>(QStringLiteral("lstPairs"))->rowCount();
            mergeOffered = window.findChild<QPushButton *>(QStringLiteral("cmdMerge"))->isEnabled();
            return int(QDialog::Rejected);
        });
        merges.mnuToolsDuplicates();
        QCOMPARE(pairs, 1);
        QVERIFY(!mergeOffered);
    }
};

QTEST_MAIN(TestDuplicatesWindow)
#include "tst_duplicateswindow.moc"
