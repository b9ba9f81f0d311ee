// The details window in the program: opened with Person > Details... (Ctrl+Shift+P), from the
// edit window's button and from the panel; its save is one change of the history, undone and
// redone as one, and the open tree follows it.
#include "ChangeHistory.h"
#include "DetailsCommands.h"
#include "KeyScript.h"
#include "ModelExport.h"
#include "ModelImport.h"
#include "ModelStore.h"
#include "RowRules.h"
#include "ScriptedMessageService.h"
#include "StoreExport.h"
#include "StoreImport.h"
#include "support_TreeFixture.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QUndoStack>

using namespace Genealogy;

namespace {

// The baptisms of a person as the store holds them: "date|place|source" each.
QStringList baptisms(const mDatabase &store, const QString &key)
{
    const Result<ModelSlice> slice = ModelStore::sliceOf(store, "Family", key);
    if (!slice)
        return {slice.error().text()};
    const TreeModel &m = slice->model;
    QStringList found;
    for (quint32 e : m.eventsOf(Ref(Kind::Person, 0))) {
        if (m.events[e].type != EventTypes::find("BAPM", false))
            continue;
        QString source;
        for (quint32 c : m.citationsOf(Ref(Kind::Event, e)))
            source = m.string(m.sources[m.citations[c].source].title);
        found << QStringList{m.string(m.events[e].date),
                             m.events[e].place == kNoIndex
                                 ? QString()
                                 : m.string(m.places[m.events[e].place].name),
                             source}
                     .join('|');
    }
    return found;
}

QStringList problems(const mDatabase &store)
{
    const Result<QStringList> lines = ModelStore::checkTree(store, "Family");
    return lines ? *lines : QStringList{lines.error().text()};
}

} // namespace

class tst_detailscommands : public QObject
{
    Q_OBJECT

private slots:
    // A baptism with a date, a place and a citation of a new source, for a person found with
    // Ctrl+F, without the mouse: at most twelve keys beside the text typed. The change is one
    // entry of the history: undone and redone whole, the tree consistent after each.
    void baptismInTwelveKeys()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        TreeFixture f;
        QVERIFY(f.addTree("Family",
                          {Person("A1", "ROOT", "Anna", "Berg"), Person("C1", "A1", "Carl", "Berg"),
                           Person("D1", "A1", "Dora", "Berg")}));
        QVERIFY(f.main->LoadTree("Family"));
        QVERIFY(KeyScript::activate(*f.main));
        f.chart->setFocus();

        KeyScript script;
        script.then([&](QDialog &) { // Find Person
            KeyScript::type("carl");
            script.key(Qt::Key_Return);
        });
        script.then([&](QDialog &) { // the details window, on its events
            script.key(Qt::Key_Insert);
            script.key(Qt::Key_C, Qt::AltModifier);
            script.key(Qt::Key_Return);
        });
        script.then([&](QDialog &) { // the event
            KeyScript::type("Bapt");
            script.key(Qt::Key_Tab);
            KeyScript::type("12 MAR 1850");
            script.key(Qt::Key_Tab);
            KeyScript::type("Lund");
            script.key(Qt::Key_Return);
        });
        script.then([&](QDialog &) { // the citation, of a new source
            KeyScript::type("Church book of Lund");
            script.key(Qt::Key_Tab);
            KeyScript::type("p. 4");
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(f.tree.SelectedKey(), QString("C1"));
        script.key(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(script.failures, QStringList());
        QCOMPARE(script.shown, QStringList({"dlgFind", "frmDetails", "dlgEvent", "dlgCite"}));
        QVERIFY(script.done());
        qInfo("keys pressed besides the text typed: %d", script.keys);
        QVERIFY2(script.keys <= 12, qPrintable(QString::number(script.keys)));
        QCOMPARE(baptisms(f.store, "C1"), QStringList{"12 MAR 1850|Lund|Church book of Lund"});
        QCOMPARE(problems(f.store), QStringList());
        QCOMPARE(messages.count(), 0);

        QUndoStack &stack = f.main->History().Stack();
        QCOMPARE(stack.undoText(), QString("Edit Details of Carl Berg"));
        stack.undo();
        QCOMPARE(baptisms(f.store, "C1"), QStringList());
        QCOMPARE(*ModelStore::hasModel(f.store, "Family"), false);
        QCOMPARE(problems(f.store), QStringList());
        stack.redo();
        QCOMPARE(baptisms(f.store, "C1"), QStringList{"12 MAR 1850|Lund|Church book of Lund"});
        QCOMPARE(problems(f.store), QStringList());
        QCOMPARE(messages.count(), 0);
    }

    // A partner and a child added in the details window come into the open tree (the child's
    // box under its parent), go with the undo and come back with the redo (the box at once).
    void newPersonsFollowTheOpenTree()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        TreeFixture f;
        QVERIFY(f.addTree("Family", {Person("A1", "ROOT", "Anna", "Berg")}));
        QVERIFY(f.main->LoadTree("Family"));
        f.tree.Select("A1", true);
        KeyScript script;
        script.then([&](QDialog &d) {
            d.findChild<QPushButton *>("cmdAddPartner")->click();
            d.findChild<QPushButton *>("cmdAddChild")->click();
            script.key(Qt::Key_Return);
        });
        script.then([&](QDialog &) {
            KeyScript::type("Emil Ek");
            script.key(Qt::Key_Return);
        });
        script.then([&](QDialog &) {
            KeyScript::type("Frida");
            script.key(Qt::Key_Return);
        });
        f.menu("mnuPersonDetails");
        QCOMPARE(script.failures, QStringList());
        QVERIFY(f.tree.People().Item("A2")); // the partner, outside the line
        QCOMPARE(f.tree.People().Item("A3")->Fname(), QString("Frida"));
        QCOMPARE(f.tree.People().Item("A3")->PrntKey(), QString("A1"));
        // Shown at once under Anna's box, as a child added with Person > New is.
        QCOMPARE(f.row(2), QStringList{"A3"});
        QCOMPARE(f.tree.People().Item("A1")->PrtFname(), QString("Emil"));
        QCOMPARE(problems(f.store), QStringList());
        f.main->History().Stack().undo();
        QVERIFY(!f.tree.People().Item("A3"));
        QCOMPARE(f.row(2), QStringList());
        QCOMPARE(f.tree.People().Item("A1")->PrtFname(), QString());
        QCOMPARE(f.store.ReadTree("Family")->size(), 1);
        // The redo shows the child at once too, without a click on Anna's box.
        f.main->History().Stack().redo();
        QVERIFY(f.tree.People().Item("A3"));
        QCOMPARE(f.tree.SelectedKey(), QString("A1"));
        QCOMPARE(f.row(2), QStringList{"A3"});
        QCOMPARE(problems(f.store), QStringList());
        f.main->History().Stack().undo();
        QCOMPARE(f.row(2), QStringList());
    }

    // The panel's "Details..." link opens the details of the person shown; without an open
    // tree the commands are off.
    void panelLinkOpensTheDetails()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        TreeFixture f;
        QVERIFY(!f.main->Details().DetailsCommand()->isEnabled());
        QVERIFY(!f.main->Details().SourcesCommand()->isEnabled());
        QVERIFY(f.addTree("Family", {Person("A1", "ROOT", "Anna", "Berg")}));
        QVERIFY(f.main->LoadTree("Family"));
        QVERIFY(f.main->Details().DetailsCommand()->isEnabled());
        f.tree.Select("A1", true);
        KeyScript script;
        script.then(
            [&](QDialog &d) { QCOMPARE(d.windowTitle(), QString("Details of Anna Berg")); });
        auto *browser = f.main->pnlInfo().findChild<QTextBrowser *>("txtFacts");
        QVERIFY(browser);
        emit browser->anchorClicked(QUrl("d:"));
        QCOMPARE(script.shown, QStringList{"frmDetails"});
        QCOMPARE(f.main->History().Stack().count(), 0); // cancelled: nothing to undo
    }

    // The private flag is set on the person and on an event in the details window, kept by the
    // store, written to a GEDCOM file and read back; cleared again, it is gone.
    void privateFlagRoundTrips()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        TreeFixture f;
        QVERIFY(f.addTree("Family", {Person("A1", "ROOT", "Anna", "Berg")}));
        QVERIFY(f.main->LoadTree("Family"));
        f.tree.Select("A1", true);
        QVERIFY(KeyScript::activate(*f.main));
        KeyScript script;
        script.then([&](QDialog &) {
            script.key(Qt::Key_V, Qt::AltModifier);
            script.key(Qt::Key_Insert);
            script.key(Qt::Key_Return);
        });
        script.then([&](QDialog &d) {
            KeyScript::type("Occupation");
            d.findChild<QCheckBox *>("chkEventPrivate")->setFocus();
            script.key(Qt::Key_Space);
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(script.failures, QStringList());
        QCOMPARE(problems(f.store), QStringList());

        Result<ModelSlice> tree = ModelStore::readTree(f.store, "Family");
        QVERIFY(tree);
        QCOMPARE(tree->model.persons[0].privacy, quint8(Privacy::Private));
        QCOMPARE(tree->model.events[0].privacy, quint8(Privacy::Private));
        const Gedcom::ExportResult written = Gedcom::writeTree(
            QList<PersonRecord>(tree->rows.cbegin(), tree->rows.cend()), tree->model, {});
        QVERIFY(written.data.contains("1 RESN privacy"));
        QVERIFY(written.data.contains("2 RESN privacy"));
        const QString path = f.dir.filePath("private.ged");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(written.data);
        file.close();
        const Gedcom::MappedTree read = Gedcom::mapFile(path, {});
        QVERIFY(read.isValid());
        QCOMPARE(read.model.persons[0].privacy, quint8(Privacy::Private));
        QCOMPARE(read.model.events[0].privacy, quint8(Privacy::Private));

        // Cleared in the window, the flag goes.
        script.then([&](QDialog &) {
            script.key(Qt::Key_V, Qt::AltModifier);
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(ModelStore::readTree(f.store, "Family")->model.persons[0].privacy, quint8(0));
        QCOMPARE(problems(f.store), QStringList());
    }

    // The first save in a tree made by hand gives the tree its side records: the export of the
    // persons, families and submitter the save did not touch stays as it was, line for line, in
    // both versions.
    void firstSaveKeepsTheExportOfOthers()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        TreeFixture f;
        PersonRecord anna = Person("A1", "ROOT", "Anna", "Berg", "Emil", "Ek", "1850");
        anna.Notes = "Farmer\nin Lund";
        anna.Lcity = "Lund";
        PersonRecord outside = Person("X1", "", "Olle", "Ek");
        QVERIFY(
            f.addTree("Family", {anna, Person("C1", "A1", "Carl", "Berg"),
                                 Person("D1", "A1", "Dora", "Berg", "", "", "", "1930"), outside}));
        QVERIFY(f.main->LoadTree("Family"));
        // The records of the file but the INDI of Carl (I2), the one the save changes.
        const auto exported = [&](Gedcom::Version version) {
            Gedcom::ExportOptions options;
            options.version = version;
            options.timestamp = QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC);
            const QString path = f.dir.filePath("tree.ged");
            const Gedcom::StoreExport done =
                Gedcom::exportFromStore(f.store, "Family", path, options);
            QFile file(path);
            if (!done.isDone() || !file.open(QIODevice::ReadOnly))
                return QList<QByteArray>{done.error.text().toUtf8()};
            QList<QByteArray> records;
            for (const QByteArray &line : file.readAll().split('\n')) {
                if (line.startsWith("0 ") || records.isEmpty())
                    records.append(QByteArray());
                records.last() += line + '\n';
            }
            records.removeIf([](const QByteArray &r) { return r.startsWith("0 @I2@ INDI"); });
            return records;
        };
        const QList<QByteArray> before551 = exported(Gedcom::Version::Gedcom551);
        const QList<QByteArray> before70 = exported(Gedcom::Version::Gedcom70);
        QCOMPARE(before551.size(), 8); // head, four persons but Carl, family, submitter, end

        f.tree.Select("C1", true);
        QVERIFY(KeyScript::activate(*f.main));
        KeyScript script;
        script.then([&](QDialog &) {
            script.key(Qt::Key_Insert);
            script.key(Qt::Key_Return);
        });
        script.then([&](QDialog &) {
            KeyScript::type("Occupation");
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(script.failures, QStringList());
        QVERIFY(*ModelStore::hasModel(f.store, "Family"));
        QCOMPARE(exported(Gedcom::Version::Gedcom551), before551);
        QCOMPARE(exported(Gedcom::Version::Gedcom70), before70);
    }

    // A tree the history does not keep whole: a details save is written (the open tree follows
    // it, the tree stays consistent) but no entry keeps the tree twice; the stack is as before.
    void largeTreeSaveKeepsNoCopies()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        TreeFixture f;
        const QString path = f.dir.filePath("large.ged");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("0 HEAD\n1 CHAR UTF-8\n1 GEDC\n2 VERS 5.5.1\n");
        const int couples = int(ChangeHistory::kWholeTreePersons) / 2 + 10;
        for (int i = 0; i < couples; ++i)
            file.write(QStringLiteral("0 @H%1@ INDI\n1 NAME Hans%1 /Berg/\n1 FAMS @F%1@\n"
                                      "0 @W%1@ INDI\n1 NAME Wera%1 /Lind/\n1 FAMS @F%1@\n"
                                      "0 @F%1@ FAM\n1 HUSB @H%1@\n1 WIFE @W%1@\n")
                           .arg(i)
                           .toUtf8());
        file.write("0 TRLR\n");
        file.close();
        const Gedcom::StoreImport imported = Gedcom::importIntoStore(f.store, path, "Family");
        QVERIFY2(!imported.error, qPrintable(imported.error.text()));
        f.main->Trees().Refill();
        QVERIFY(f.main->LoadTree("Family"));
        QVERIFY(!ChangeHistory::KeepsWholeTree(f.store, "Family"));
        const int entries = f.main->History().Stack().count();

        f.tree.Select("H0", true);
        KeyScript script;
        script.then([&](QDialog &d) {
            d.findChild<QPushButton *>("cmdAddChild")->click();
            script.key(Qt::Key_Return);
        });
        script.then([&](QDialog &) {
            KeyScript::type("Frida");
            script.key(Qt::Key_Return);
        });
        f.menu("mnuPersonDetails");
        QCOMPARE(script.failures, QStringList());
        QCOMPARE(messages.count(), 0);
        const QList<PersonRecord> rows = f.store.ReadTree("Family").valueOr({});
        QCOMPARE(rows.size(), 2 * couples + 1);
        QCOMPARE(rows.last().Fname, QString("Frida"));
        QVERIFY(f.tree.People().Item(rows.last().ID));
        QCOMPARE(f.main->History().Stack().count(), entries);
        QCOMPARE(problems(f.store), QStringList());
    }
};

QTEST_MAIN(tst_detailscommands)
#include "tst_detailscommands.moc"
