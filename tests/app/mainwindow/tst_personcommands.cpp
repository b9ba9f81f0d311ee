// The person commands in the main window: the edit window opened for a new or the selected
// person, and what its save leaves in the views that follow the open tree (the chart's boxes,
// the status bar, the information panel with its photos, the window title).
#include "FileDialog.h"
#include "ModalSeam.h"
#include "ScriptedMessageService.h"
#include "Thumbnailer.h"
#include "frmEdit.h"
#include "support_TreeFixture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

namespace {

PersonRecord row(const QString &id, const QString &parent, const QString &fname,
                 const QString &sname)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = fname;
    r.Sname = sname;
    return r;
}

QLineEdit *box(QDialog &window, const char *name)
{
    return window.findChild<QLineEdit *>(QLatin1String(name));
}

// The program in a main window on a store in a temporary folder.
struct Program : TreeFixture
{
    // Clicks the box of a person as the chart does.
    void click(const QString &key)
    {
        for (int level = 1; level <= chart->Levels().Count(); ++level) {
            if (node(level, key)) {
                TreeFixture::click(level, key);
                return;
            }
        }
        QFAIL(qPrintable("no box for " + key));
    }
    QString panelText(const char *name) const
    {
        return main->pnlInfo().findChild<QLineEdit *>(QLatin1String(name))->text();
    }
    bool panelShows(const char *name) const
    {
        return !main->pnlInfo().findChild<QWidget *>(QLatin1String(name))->isHidden();
    }
};

} // namespace

class TestPersonCommands : public QObject
{
    Q_OBJECT

private:
    ScriptedMessageService m_messages;

private slots:
    void init() { m_messages.clear(); }

    void commandsNeedTreeOrPerson()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        program.main->CloseTree();
        int opened = 0;
        ScopedModalDriver driver([&](QDialog &) {
            ++opened;
            return int(QDialog::Rejected);
        });
        program.persons->mnuPersonNew();
        program.tree.OpenNew("Family");
        program.tree.Select("nobody");
        program.persons->mnuPersonEdit();
        QCOMPARE(opened, 0);
    }

    void firstPersonOfEmptyTreeIsLockedRoot()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.store.CreateTree("Family"));
        program.tree.OpenNew("Family");
        bool editMode = true;
        ScopedModalDriver driver([&](QDialog &window) {
            auto &edit = static_cast<frmEdit &>(window);
            edit.show();
            editMode = edit.EditMode();
            [&] {
                QCOMPARE(box(edit, "txtPrntKey")->text(), QString("ROOT"));
                QVERIFY(!box(edit, "txtPrntKey")->isEnabled());
                QVERIFY(box(edit, "txtKey")->isEnabled());
            }();
            box(edit, "txtKey")->setText("R1");
            box(edit, "txtFname")->setText("Anna");
            box(edit, "txtSname")->setText("O'Berg");
            edit.findChild<QPushButton *>("cmdSave")->click();
            return edit.result();
        });
        const int draws = program.chart->DrawCount();
        program.persons->mnuPersonNew();
        QVERIFY(!editMode);
        QVERIFY(program.chart->DrawCount() > draws); // drawn again after the save
        QCOMPARE(m_messages.count(), 1);             // only the success message: no root question
        QCOMPARE(m_messages.last().text,
                 QString("Entry Anna O'Berg (R1) has been successfully added."));
        const PersonRecord stored = program.store.FindPerson("Family", "R1").valueOr({});
        QVERIFY(!stored.ID.isEmpty());
        QCOMPARE(stored.PrntKey, QString("ROOT"));
        QCOMPARE(stored.Sname, QString("O'Berg"));
        QVERIFY(program.tree.People().Item("R1"));
        // Shown at once, as the first root person: a chart left empty would look as if the
        // save had failed.
        QCOMPARE(program.row(1), QStringList{"R1"});
    }

    void childInheritsSurnameAndHomeAndShowsAfterSave()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.store.CreateTree("Family"));
        PersonRecord root = row("R1", "ROOT", "Olaf", "Berg");
        root.Laddress = "Storgata 5";
        root.Lcity = "Oslo";
        root.Lcountry = "Norway";
        root.Bdate = "1870";
        root.Notes = "notes";
        QVERIFY(program.store.InsertPerson("Family", root));
        QVERIFY(program.main->LoadTree("Family"));
        program.click("R1");
        QCOMPARE(program.chart->Levels().Count(), 1);

        ScopedModalDriver driver([&](QDialog &window) {
            auto &edit = static_cast<frmEdit &>(window);
            const PersonRecord fill = edit.record();
            PersonRecord expected;
            expected.PrntKey = "R1";
            expected.Sname = "Berg";
            expected.Laddress = "Storgata 5";
            expected.Lcity = "Oslo";
            expected.Lcountry = "Norway";
            if (!(fill == expected))
                return int(QDialog::Rejected);
            box(edit, "txtKey")->setText("C1");
            box(edit, "txtFname")->setText("Anna");
            edit.findChild<QPushButton *>("cmdSave")->click();
            return edit.result();
        });
        program.persons->mnuPersonNew();
        QVERIFY(program.store.FindPerson("Family", "C1"));
        // The parent's box was clicked again: the new child shows in the row below.
        QCOMPARE(program.chart->Levels().Count(), 2);
        QVERIFY(program.chart->Levels().Item(2)->Item("C1"));
        QCOMPARE(program.chart->Levels().Item(2)->Item("C1")->CaptionA(), QString("Berg Anna"));
    }

    void editFillsEveryFieldAndSaves()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.store.CreateTree("Family"));
        PersonRecord root = row("R1", "ROOT", "Olaf", "Berg");
        root.PrtFname = "Kari";
        root.PrtSname = "Dahl";
        root.Bdate = "1901";
        root.Ddate = "1950";
        root.Bplace = "Bergen";
        root.Dplace = "Oslo";
        root.Laddress = "Storgata 5";
        root.Lcity = "Oslo";
        root.Lcountry = "Norway";
        root.Notes = "two\nlines";
        QVERIFY(program.store.InsertPerson("Family", root));
        QVERIFY(program.main->LoadTree("Family"));
        program.click("R1");
        program.menu("mnuViewInfo");
        QCOMPARE(program.panelText("txtFname"), QString("Olaf"));

        QSignalSpy titles(program.main.get(), &QWidget::windowTitleChanged);
        bool editMode = false;
        ScopedModalDriver driver([&](QDialog &window) {
            auto &edit = static_cast<frmEdit &>(window);
            edit.show();
            editMode = edit.EditMode();
            if (!(edit.record() == root) || box(edit, "txtKey")->isEnabled())
                return int(QDialog::Rejected);
            box(edit, "txtFname")->setText("Ole");
            edit.findChild<QPushButton *>("cmdSave")->click();
            return edit.result();
        });
        const cNodePtr node = program.chart->Levels().Item(1)->Item("R1");
        program.persons->VTree_NodeDblClick(node, true);
        QVERIFY(editMode);
        QCOMPARE(m_messages.count(), 0);
        const PersonRecord stored = program.store.FindPerson("Family", "R1").valueOr({});
        QVERIFY(!stored.ID.isEmpty());
        QCOMPARE(stored.Fname, QString("Ole"));
        QCOMPARE(stored.Notes, QString("two\nlines"));
        QCOMPARE(program.status1(), QString("Ole Berg"));
        QCOMPARE(program.status2(), QString("1901 - 1950 (49)"));
        QCOMPARE(program.panelText("txtFname"), QString("Ole"));
        QCOMPARE(program.chart->Levels().Item(1)->Item("R1")->CaptionA(), QString("Berg Ole"));
        QCOMPARE(titles.count(), 1);
        QCOMPARE(titles.at(0).at(0).toString(), QString("Berg Ole"));
    }

    void cancelledEditChangesNothing()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.store.CreateTree("Family"));
        QVERIFY(program.store.InsertPerson("Family", row("R1", "ROOT", "Olaf", "Berg")));
        QVERIFY(program.main->LoadTree("Family"));
        program.click("R1");
        ScopedModalDriver driver([&](QDialog &window) {
            box(window, "txtFname")->setText("Changed");
            window.findChild<QPushButton *>("cmdCancel")->click();
            return window.result();
        });
        program.persons->mnuPersonEdit();
        const PersonRecord stored = program.store.FindPerson("Family", "R1").valueOr({});
        QVERIFY(!stored.ID.isEmpty());
        QCOMPARE(stored.Fname, QString("Olaf"));
        QCOMPARE(program.tree.People().Item("R1")->Fname(), QString("Olaf"));
    }

    // Another program on the same database changes the person while it is being edited: the
    // save writes nothing and offers to reload; Cancel keeps what was typed, Reload shows the
    // person as it is now, and a save after that goes through.
    void aChangeOfAnotherProgramIsNotOverwritten()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.store.CreateTree("Family"));
        QVERIFY(program.store.InsertPerson("Family", row("R1", "ROOT", "Olaf", "Berg")));
        QVERIFY(program.main->LoadTree("Family"));
        program.click("R1");
        mDatabase other;
        other.SetPaths(program.state.DataPath, program.state.DataPath + "people.db");
        QVERIFY(other.OpenDatabase());
        // Changed before the window opens: the window shows the person as it is stored.
        PersonRecord theirs = row("R1", "ROOT", "Ole", "Berg");
        QVERIFY(other.UpdatePerson("Family", "R1", theirs));

        m_messages.enqueue(MsgResult::Cancel);
        m_messages.enqueue(MsgResult::Retry);
        QStringList firstNames;
        ScopedModalDriver driver([&](QDialog &window) {
            auto &edit = static_cast<frmEdit &>(window);
            firstNames << box(edit, "txtFname")->text();
            // Changed while the window is open.
            theirs.Sname = "Lind";
            if (const Result<void> changed = other.UpdatePerson("Family", "R1", theirs); !changed)
                qFatal("the other program's change failed: %s", qPrintable(changed.error().text()));
            box(edit, "txtFname")->setText("Olav");
            QPushButton *save = edit.findChild<QPushButton *>("cmdSave");
            save->click(); // Cancel: what was typed stays
            firstNames << box(edit, "txtFname")->text();
            save->click(); // Reload: the person as it is now
            firstNames << box(edit, "txtFname")->text() + " " + box(edit, "txtSname")->text();
            box(edit, "txtFname")->setText("Olav");
            save->click();
            return edit.result();
        });
        program.persons->mnuPersonEdit();

        QCOMPARE(firstNames, (QStringList{"Ole", "Olav", "Ole Lind"}));
        QCOMPARE(m_messages.count(), 2);
        for (const MessageRequest &asked : m_messages.calls()) {
            QCOMPARE(asked.text,
                     QString("Another program changed the person 'R1' after you began editing "
                             "it. Your changes have not been saved.\r\n\r\nReload shows the "
                             "person as it is now; what you typed here is replaced.\r\nCancel "
                             "keeps what you typed; nothing is saved."));
            QCOMPARE(asked.title, QString("Changed by another program"));
            QCOMPARE(asked.buttons, MsgButtons::RetryCancel);
            QCOMPARE(asked.buttonTexts, (QStringList{"Reload", "Cancel"}));
            QCOMPARE(asked.defaultButton, 2);
        }
        const PersonRecord stored = program.store.FindPerson("Family", "R1").valueOr({});
        QVERIFY(!stored.ID.isEmpty());
        QCOMPARE(stored.Fname, QString("Olav"));
        QCOMPARE(stored.Sname, QString("Lind"));
        QCOMPARE(program.tree.People().Item("R1")->Sname(), QString("Lind"));
        QCOMPARE(program.chart->Levels().Item(1)->Item("R1")->CaptionA(), QString("Lind Olav"));
    }

    // Another program deleted the open tree: a new person is not taken for a key in use.
    void aTreeAnotherProgramDeletedIsSaidToBeGone()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.store.CreateTree("Family"));
        QVERIFY(program.store.InsertPerson("Family", row("R1", "ROOT", "Olaf", "Berg")));
        QVERIFY(program.main->LoadTree("Family"));
        mDatabase other;
        other.SetPaths(program.state.DataPath, program.state.DataPath + "people.db");
        QVERIFY(other.OpenDatabase());
        QVERIFY(other.DeleteTree("Family"));

        ScopedModalDriver driver([&](QDialog &window) {
            box(window, "txtKey")->setText("N1");
            box(window, "txtPrntKey")->setText("ROOT");
            window.findChild<QPushButton *>("cmdSave")->click();
            return window.result() == QDialog::Accepted ? int(QDialog::Accepted)
                                                        : int(QDialog::Rejected);
        });
        program.persons->mnuPersonNew();
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().text,
                 QString("The tree 'Family' no longer exists in the database: another program "
                         "may have deleted or renamed it. Nothing was changed."));
        QCOMPARE(m_messages.last().title, QString("Error: -2147217865"));
        QVERIFY(!program.tree.People().Item("N1"));
    }

    // An edit with the information panel hidden: the person's box keeps its row and shows the
    // new names, the status bar the new name and life span, the panel stays as it was, and the
    // new parent is told.
    void editShowsInTheBoxAndStatusBar()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.addTree("Family",
                                {row("R1", "ROOT", "Root", "One"), row("R2", "ROOT", "Root", "Two"),
                                 row("K1", "R1", "Old", "Name")}));
        QVERIFY(program.main->LoadTree("Family"));
        program.click("R1");
        program.click("K1");
        ScopedModalDriver driver([&](QDialog &window) {
            box(window, "txtPrntKey")->setText("R2");
            box(window, "txtFname")->setText("Anna");
            box(window, "txtSname")->setText("Berg");
            box(window, "txtPrtFname")->setText("Olaf");
            box(window, "txtPrtSname")->setText("Berg");
            box(window, "txtBdate")->setText("1901");
            box(window, "txtDdate")->setText("1950");
            window.findChild<QPushButton *>("cmdSave")->click();
            return window.result();
        });
        program.menu("mnuPersonEdit");
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().text,
                 QString("'K1' has changed Parent. Please refresh the Tree to see the changes."));
        const cNodePtr k1 = program.node(2, "K1");
        QVERIFY(k1);
        QCOMPARE(k1->CaptionA(), QString("Berg Anna"));
        QCOMPARE(k1->CaptionB(), QString("Berg Olaf"));
        QCOMPARE(program.chart->Levels().Count(), 2);
        QCOMPARE(program.status1(), QString("Anna Berg"));
        QCOMPARE(program.status2(), QString("1901 - 1950 (49)"));
        QCOMPARE(program.panelText("txtFname"), QString()); // the hidden panel was not filled
        // A date of four characters that is not a number counts as year 0.
        ScopedModalDriver again([&](QDialog &window) {
            box(window, "txtBdate")->setText("abcd");
            window.findChild<QPushButton *>("cmdSave")->click();
            return window.result();
        });
        program.menu("mnuPersonEdit");
        QCOMPARE(program.status2(), QString("abcd - 1950"));
    }

    // With the panel shown, a save shows the values there, the death fields by the death date,
    // and photos chosen in the window are listed; with the panel hidden they are only copied.
    void editShowsInThePanelWithItsPhotos()
    {
        ScopedMessageService scoped(m_messages);
        Program program;
        QVERIFY(program.addTree("Family", {row("K1", "ROOT", "Anna", "Berg")}));
        QVERIFY(program.main->LoadTree("Family"));
        program.menu("mnuViewInfo");
        program.click("K1");
        QVERIFY(!program.panelShows("txtDdate"));
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::green);
        QVERIFY(image.save(program.dir.filePath("pic.png")));
        QVERIFY(image.save(program.dir.filePath("other.png")));

        QString chosen;
        ScopedFileDialogDriver files([&](const FileDialog &) {
            return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
        });
        const auto edit = [&](const QString &photo, const QString &died) {
            chosen = photo;
            ScopedModalDriver driver([&](QDialog &window) {
                box(window, "txtFname")->setText("Anne");
                box(window, "txtDdate")->setText(died);
                if (!photo.isEmpty())
                    window.findChild<QPushButton *>("cmdBrowse")->click();
                window.findChild<QPushButton *>("cmdSave")->click();
                return window.result();
            });
            program.menu("mnuPersonEdit");
        };
        Thumbnailer *viewer = program.main->pnlInfo().thumbnailer();
        edit(QString(), QString());
        QCOMPARE(program.panelText("txtFname"), QString("Anne"));
        QVERIFY(!program.panelShows("txtDdate"));
        QCOMPARE(viewer->Thumbs().Count(), 0);

        edit(program.dir.filePath("pic.png"), "about 1950");
        QCOMPARE(program.panelText("txtDdate"), QString("about 1950"));
        QVERIFY(program.panelShows("txtDdate") && program.panelShows("lblDdate"));
        QVERIFY(QFileInfo::exists(program.state.DataPath + "Photos/K1/pic.png"));
        QTRY_COMPARE(viewer->Thumbs().Count(), 1);

        // Hidden: the photo is copied, the panel lists nothing new.
        program.menu("mnuViewInfo");
        edit(program.dir.filePath("other.png"), "about 1950");
        QVERIFY(QFileInfo::exists(program.state.DataPath + "Photos/K1/other.png"));
        QCOMPARE(viewer->Thumbs().Count(), 1);
        QCOMPARE(m_messages.count(), 0);
    }
};

QTEST_MAIN(TestPersonCommands)
#include "tst_personcommands.moc"
