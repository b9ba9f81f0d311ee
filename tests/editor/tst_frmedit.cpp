#include "FileDialog.h"
#include "PersonSaver.h"
#include "ScriptedMessageService.h"
#include "frmEdit.h"
#include "support_fakehost.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

namespace {

const QChar kNul(u'\0');

void setText(frmEdit &window, const char *box, const QString &text)
{
    auto *edit = window.findChild<QLineEdit *>(QLatin1String(box));
    QVERIFY2(edit, box);
    edit->setText(text);
}

QString text(const frmEdit &window, const char *box)
{
    auto *edit = window.findChild<QLineEdit *>(QLatin1String(box));
    return edit ? edit->text() : QStringLiteral("<missing>");
}

void save(frmEdit &window)
{
    window.findChild<QPushButton *>(QStringLiteral("cmdSave"))->click();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestFrmEdit : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedMessageService m_messages;

    // A window over the host, filled and shown as the person commands do.
    std::unique_ptr<frmEdit> open(FakeHost &host, bool editMode, const PersonRecord &fill,
                                  bool lockParent = false)
    {
        auto window = std::make_unique<frmEdit>(host, editMode);
        window->setRecord(fill);
        window->setParentLocked(lockParent);
        window->show();
        return window;
    }

    // A data folder of its own for each test.
    QString freshDataPath()
    {
        static int counter = 0;
        const QString path = m_dir.filePath(QStringLiteral("data%1/").arg(++counter));
        QDir().mkpath(path);
        return path;
    }

private slots:
    void init() { m_messages.clear(); }

    void windowHasEveryBoxWithTooltip()
    {
        FakeHost host;
        frmEdit window(host, true);
        QVERIFY(window.EditMode());
        // Each column of the row in a box of its own: box, tooltip, label, value shown.
        PersonRecord record;
        const struct
        {
            const char *box;
            const char *tip;
            const char *label;
            QString *value;
        } boxes[] = {
            {"txtKey", "Unique ID (max = 5)", "ID : ", &record.ID},
            {"txtPrntKey", "Parent ID this child belongs to", "Parent ID : ", &record.PrntKey},
            {"txtFname", "First name", "First : ", &record.Fname},
            {"txtSname", "Last name", "Last : ", &record.Sname},
            {"txtPrtFname", "Partner's first name", "First : ", &record.PrtFname},
            {"txtPrtSname", "Partner's last name", "Last : ", &record.PrtSname},
            {"txtBdate", "Date of birth", "Born :", &record.Bdate},
            {"txtBplace", "Place of birth", "At :", &record.Bplace},
            {"txtDdate", "Date of death", "Died :", &record.Ddate},
            {"txtDplace", "Place of death", "At :", &record.Dplace},
            {"txtAddress", "Address of living", "Addr :", &record.Laddress},
            {"txtCity", "City of living", "City :", &record.Lcity},
            {"txtCountry", "Country of living", "Country :", &record.Lcountry},
            {"txtPhotos", "", "Photos :", nullptr}};
        for (const auto &b : boxes)
            if (b.value)
                *b.value = QString::fromLatin1(b.box).mid(3);
        record.Notes = "Info";
        window.setRecord(record);
        QHash<QWidget *, QString> labels;
        for (auto *label : window.findChildren<QLabel *>())
            if (label->buddy())
                labels.insert(label->buddy(), label->text());
        for (const auto &b : boxes) {
            auto *box = window.findChild<QLineEdit *>(QLatin1String(b.box));
            QVERIFY2(box, b.box);
            QCOMPARE(box->toolTip(), QString(b.tip));
            QCOMPARE(box->maxLength(), 32767); // no limit beyond the widget's own
            QCOMPARE(labels.value(box), QString(b.label));
            if (b.value)
                QCOMPARE(box->text(), *b.value);
        }
        auto *notes = window.findChild<QTextEdit *>("txtInfo");
        QCOMPARE(notes->toolTip(), QString("More info"));
        QCOMPARE(notes->toPlainText(), QString("Info"));
        QCOMPARE(labels.value(notes), QString("Notes :"));
        QCOMPARE(window.record(), record);
        QVERIFY(!window.findChild<QLineEdit *>("txtKey")->isEnabled());
        QStringList captions;
        for (auto *frame : window.findChildren<QGroupBox *>("fmInfo"))
            captions << frame->title();
        QCOMPARE(captions, QStringList({"Name", "Partner name", "Dates", "Place", "Misc"}));
        QCOMPARE(window.findChild<QPushButton *>("cmdBrowse")->text(), QString("..."));
        QVERIFY(!window.WasRoot());
        QVERIFY(window.PhotoSelection().isEmpty());
    }

    void addFirstPersonOfEmptyTree()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.dataPath = freshDataPath();
        PersonRecord fill;
        fill.PrntKey = "ROOT";
        auto window = open(host, false, fill, true);
        QVERIFY(!window->EditMode());
        QVERIFY(window->findChild<QLineEdit *>("txtKey")->isEnabled());
        QCOMPARE(window->findChild<QLineEdit *>("txtKey")->toolTip(),
                 QString("Must be a unique Key"));
        QVERIFY(!window->findChild<QLineEdit *>("txtPrntKey")->isEnabled());
        QVERIFY(window->WasRoot());

        setText(*window, "txtKey", "B7");
        setText(*window, "txtFname", "Anna");
        setText(*window, "txtSname", "Berg");
        save(*window);

        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().text,
                 QString("Entry Anna Berg (B7) has been successfully added."));
        QCOMPARE(m_messages.last().icon, MsgIcon::None);
        QCOMPARE(m_messages.last().buttons, MsgButtons::OkOnly);
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(host.rows.value("B7").PrntKey, QString("ROOT"));
        QVERIFY(host.people.Item("B7"));
        QCOMPARE(host.people.Item("B7")->Fname(), QString("Anna"));
        QCOMPARE(host.added, QStringList{"B7"});
        QVERIFY(host.changed.isEmpty());
        QVERIFY(host.photosAdded.isEmpty()); // none chosen
        // The add path always prepares the person's photo folder.
        QVERIFY(QFileInfo(host.dataPath + "Photos/B7").isDir());
    }

    void requiredFieldsInBothModes_data()
    {
        QTest::addColumn<bool>("editMode");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("parent");
        QTest::newRow("add, no key") << false << ""
                                     << "P1";
        QTest::newRow("add, no parent") << false << "K1"
                                        << "";
        QTest::newRow("edit, no parent") << true << "K1"
                                         << "";
    }
    void requiredFieldsInBothModes()
    {
        QFETCH(bool, editMode);
        QFETCH(QString, key);
        QFETCH(QString, parent);
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.selectedKey = "K1";
        host.addPerson(makePerson("K1", "P1", "Old", "Name"));
        const auto rowsBefore = host.rows;
        auto window = open(host, editMode, host.people.Item("K1")->toRecord());
        setText(*window, "txtKey", key);
        setText(*window, "txtPrntKey", parent);
        setText(*window, "txtFname", "Typed");
        save(*window);
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().text, QString("Fields 'ID' and 'Parent ID' must be specified."));
        QCOMPARE(m_messages.last().title, QString("Error"));
        QCOMPARE(m_messages.last().icon, MsgIcon::Critical);
        QVERIFY(window->isVisible());
        QCOMPARE(window->result(), 0);
        QCOMPARE(text(*window, "txtFname"), QString("Typed"));
        QCOMPARE(host.rows, rowsBefore);
        QCOMPARE(host.people.Item("K1")->Fname(), QString("Old"));
        QVERIFY(host.added.isEmpty() && host.changed.isEmpty());
    }

    // A person outside the line (an empty parent key) is edited with the Parent ID left empty;
    // typing a key or ROOT puts it into the line. Only an empty key that was empty counts.
    void outsidePersonKeepsAnEmptyParent()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.selectedKey = "W1";
        host.dataPath = freshDataPath();
        host.addPerson(makePerson("R1", "ROOT", "Root", "One"));
        host.addPerson(makePerson("W1", "", "Wendy", "Wed"));
        auto window = open(host, true, host.people.Item("W1")->toRecord());
        setText(*window, "txtFname", "Wenda");
        save(*window);
        QCOMPARE(m_messages.count(), 0);
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(host.rows.value("W1").PrntKey, QString());
        QCOMPARE(host.people.Item("W1")->Fname(), QString("Wenda"));

        // Into the line: ROOT is saved as typed, and the parent changed.
        auto again = open(host, true, host.people.Item("W1")->toRecord());
        setText(*again, "txtPrntKey", "ROOT");
        save(*again);
        QCOMPARE(again->result(), int(QDialog::Accepted));
        QCOMPARE(host.rows.value("W1").PrntKey, QString("ROOT"));
        QCOMPARE(m_messages.last().text,
                 QString("'W1' has changed Parent. Please refresh the Tree to see the changes."));

        // Now in the line, emptying the Parent ID is refused again.
        m_messages.clear();
        auto third = open(host, true, host.people.Item("W1")->toRecord());
        setText(*third, "txtPrntKey", "");
        save(*third);
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().text, QString("Fields 'ID' and 'Parent ID' must be specified."));
        QCOMPARE(host.rows.value("W1").PrntKey, QString("ROOT"));
    }

    void duplicateKeyKeepsEverythingTyped()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.dataPath = freshDataPath();
        host.addPerson(makePerson("B7", "ROOT", "Old", "Person"));
        auto window = open(host, false, PersonRecord());
        PersonRecord typed = makePerson("B7", "ROOT", "Anna", "Berg");
        typed.PrtFname = "Olaf";
        typed.Bdate = "1901";
        typed.Lcity = "Oslo";
        typed.Notes = "Line one\nLine two";
        window->setRecord(typed);
        save(*window);
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().title, QString("Unknown Error"));
        QCOMPARE(m_messages.last().icon, MsgIcon::Critical);
        QCOMPARE(m_messages.last().text,
                 QString("An error occurred while trying to add the person in the tree. The\r\n"
                         "specified Key 'B7' may already be associated with another Person.\r\n"
                         "Please change the Key and try again."));
        QVERIFY(window->isVisible());
        QCOMPARE(window->record(), typed);
        QCOMPARE(host.rows.value("B7").Fname, QString("Old"));
        QCOMPARE(host.people.Count(), 1);
        QVERIFY(host.added.isEmpty());
    }

    // Adding to a database opened read-only: the store's reason is shown, never a taken key.
    void addOnReadOnlyDatabaseSaysSo()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.dataPath = freshDataPath();
        const QString readOnly = "The database '/x/people.db' is open read-only: it cannot be "
                                 "changed.";
        host.insertError = Error(ErrorCode::ReadOnly, readOnly);
        auto window = open(host, false, PersonRecord());
        const PersonRecord typed = makePerson("N1", "ROOT", "Anna", "Berg");
        window->setRecord(typed);
        save(*window);
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().text, readOnly);
        QCOMPARE(m_messages.last().title, QString("Error: %1").arg(kErrFileAccess));
        QCOMPARE(m_messages.last().icon, MsgIcon::Critical);
        QVERIFY(window->isVisible());
        QCOMPARE(window->record(), typed);
        QVERIFY(host.rows.isEmpty());
        QCOMPARE(host.people.Count(), 0);
    }

    void rootToLowerCaseRootAsks()
    {
        ScopedMessageService scoped(m_messages);
        QStringList helpOpened;
        MessageService::setHelpHandler([&](const QString &file, int topic) {
            helpOpened << file + "#" + QString::number(topic);
        });
        FakeHost host;
        host.selectedKey = "R1";
        host.dataPath = freshDataPath();
        host.addPerson(makePerson("R1", "ROOT", "Anna", "Berg"));
        auto window = open(host, true, host.people.Item("R1")->toRecord());
        QVERIFY(window->WasRoot());
        setText(*window, "txtPrntKey", "root");

        m_messages.enqueue(MsgResult::No);
        save(*window);
        QCOMPARE(m_messages.count(), 1);
        const MessageRequest question = m_messages.last();
        QCOMPARE(question.title, QString("Crucial!"));
        QCOMPARE(question.icon, MsgIcon::Exclamation);
        QCOMPARE(question.buttons, MsgButtons::YesNo);
        QCOMPARE(question.text,
                 QString("You are about to change the state of this person from 'Root' to "
                         "'Child'.\r\nAre you sure you wish to change it?\r\n\r\nIf you are not "
                         "sure, click 'Help' for more details about Root persons."));
        QCOMPARE(question.helpFile, QString("/opt/velkin/VelkinTree.chm"));
        QCOMPARE(question.helpTopic, 1020);
        QVERIFY(window->isVisible());
        QCOMPARE(host.updates, 0);
        QCOMPARE(host.people.Item("R1")->PrntKey(), QString("ROOT"));
        QCOMPARE(text(*window, "txtPrntKey"), QString("root"));

        // Help opens topic 1020 and the question stays; Yes then saves the move.
        m_messages.clear();
        m_messages.enqueue(MsgResult::Help);
        m_messages.enqueue(MsgResult::Yes);
        save(*window);
        QCOMPARE(helpOpened, QStringList{"/opt/velkin/VelkinTree.chm#1020"});
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(host.rows.value("R1").PrntKey, QString("root"));
        QCOMPARE(m_messages.last().text,
                 QString("'R1' has changed Parent. Please refresh the Tree to see the changes."));
        MessageService::setHelpHandler({});
    }

    // The window's own message boxes (and the help) take the activation away and give it back;
    // the root state is the one the window was filled with.
    void rootStateIsTheFilledOne()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.dataPath = freshDataPath();
        auto window = open(host, false, PersonRecord());
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        setText(*window, "txtPrntKey", "ROOT");
        m_messages.setResponder([&](const MessageRequest &) {
            QWidget box;
            box.show();
            QApplication::setActiveWindow(&box);
            [&] { QVERIFY(QTest::qWaitForWindowActive(&box)); }();
            return MsgResult::Ok;
        });
        save(*window);
        QCOMPARE(m_messages.last().text, QString("Fields 'ID' and 'Parent ID' must be specified."));
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QVERIFY(!window->WasRoot());

        setText(*window, "txtPrntKey", "B7");
        setText(*window, "txtKey", "C1");
        save(*window);
        QCOMPARE(m_messages.count(), 2);
        QVERIFY(m_messages.last().text.startsWith("Entry"));
        QCOMPARE(window->result(), int(QDialog::Accepted));
    }

    void rootQuestionOnlyWhenLeavingRoot()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.selectedKey = "K1";
        host.dataPath = freshDataPath();
        host.addPerson(makePerson("K1", "P1", "Anna", "Berg"));
        auto window = open(host, true, host.people.Item("K1")->toRecord());
        QVERIFY(!window->WasRoot());
        setText(*window, "txtFname", "Anne");
        save(*window);
        QCOMPARE(m_messages.count(), 0);
        QCOMPARE(window->result(), int(QDialog::Accepted));
    }

    // The box, the status bar and the information panel follow the person changed in the open
    // tree (tst_personcommands shows them).
    void editChangesThePersonAndTellsReparent()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.selectedKey = "K1";
        host.dataPath = freshDataPath();
        host.addPerson(makePerson("R1", "ROOT", "Root", "One"));
        host.addPerson(makePerson("R2", "ROOT", "Root", "Two"));
        host.addPerson(makePerson("K1", "R1", "Old", "Name"));
        auto window = open(host, true, host.people.Item("K1")->toRecord());
        setText(*window, "txtPrntKey", "R2");
        setText(*window, "txtFname", "Anna");
        setText(*window, "txtSname", "Berg");
        setText(*window, "txtPrtFname", "Olaf");
        setText(*window, "txtPrtSname", "Berg");
        setText(*window, "txtBdate", "1901");
        setText(*window, "txtDdate", "1950");
        window->findChild<QTextEdit *>("txtInfo")->setPlainText("It's \"quoted\"; 'twice'");
        save(*window);

        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().text,
                 QString("'K1' has changed Parent. Please refresh the Tree to see the changes."));
        QCOMPARE(m_messages.last().icon, MsgIcon::None);
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(host.changed, QStringList{"K1"});
        QCOMPARE(host.people.Item("K1")->Fname(), QString("Anna"));
        QCOMPARE(host.people.Item("K1")->Ddate(), QString("1950"));
        QCOMPARE(host.people.Item("K1")->PrntKey(), QString("R2"));
        QCOMPARE(host.rows.value("K1").PrntKey, QString("R2"));
        QCOMPARE(host.rows.value("K1").Notes, QString("It's \"quoted\"; 'twice'"));
        QCOMPARE(host.people.Item("K1")->Key(), QString("K1"));
        QCOMPARE(host.people.Item("K1")->PrtFname(), QString("Olaf"));
        QVERIFY(host.photosAdded.isEmpty()); // none chosen
    }

    // Chosen photos are copied and the open tree is told, so that a panel showing the person
    // lists them again.
    void editTellsOfPhotosAdded()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.selectedKey = "K1";
        host.dataPath = freshDataPath();
        host.addPerson(makePerson("K1", "R1", "Anna", "Berg"));
        auto window = open(host, true, host.people.Item("K1")->toRecord());
        save(*window);
        QCOMPARE(host.changed, QStringList{"K1"});
        QVERIFY(host.photosAdded.isEmpty()); // nothing chosen

        auto again = open(host, true, host.people.Item("K1")->toRecord());
        setText(*again, "txtDdate", "about 1950");
        writeFile(m_dir.filePath("pic.png"), "png");
        ScopedFileDialogDriver driver(
            [&](const FileDialog &) { return std::optional<QString>(m_dir.filePath("pic.png")); });
        again->findChild<QPushButton *>("cmdBrowse")->click();
        save(*again);
        QCOMPARE(host.people.Item("K1")->Ddate(), QString("about 1950"));
        QCOMPARE(host.photosAdded, QStringList{"K1"});
        QCOMPARE(readFile(host.dataPath + "Photos/K1/pic.png"), QByteArray("png"));
    }

    // A date of four characters that is not a number is no error (the status bar counts its
    // year as 0: tst_personcommands).
    void nonNumericFourCharacterDateIsSaved()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.selectedKey = "K1";
        host.dataPath = freshDataPath();
        host.addPerson(makePerson("K1", "R1", "Anna", "Berg"));
        auto window = open(host, true, host.people.Item("K1")->toRecord());
        setText(*window, "txtBdate", "abcd");
        setText(*window, "txtDdate", "1950");
        save(*window);
        QCOMPARE(m_messages.count(), 0);
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(host.rows.value("K1").Bdate, QString("abcd"));
    }

    // A range that ends before it begins is refused, in either date box, with the keyboard left
    // in the box; nothing is saved until it is put right.
    void backwardsRangeIsRefused()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.selectedKey = "K1";
        host.dataPath = freshDataPath();
        host.addPerson(makePerson("K1", "R1", "Anna", "Berg"));
        auto window = open(host, true, host.people.Item("K1")->toRecord());
        setText(*window, "txtBdate", "1850");
        setText(*window, "txtDdate", "FROM 1900 TO 1850");
        save(*window);
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().text, QString("The date 'FROM 1900 TO 1850' ends before it "
                                                 "begins: write the earlier date first."));
        QCOMPARE(window->result(), int(QDialog::Rejected));
        QCOMPARE(window->focusWidget(), window->findChild<QLineEdit *>("txtDdate"));
        setText(*window, "txtDdate", "");
        setText(*window, "txtBdate", "bet 1900 and 1850");
        save(*window);
        QCOMPARE(m_messages.count(), 2);
        QCOMPARE(window->focusWidget(), window->findChild<QLineEdit *>("txtBdate"));
        QCOMPARE(host.rows.value("K1").Bdate, QString());
        setText(*window, "txtBdate", "BET 1850 AND 1900");
        save(*window);
        QCOMPARE(m_messages.count(), 2);
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(host.rows.value("K1").Bdate, QString("BET 1850 AND 1900"));

        // Such a date as read (from a file) stays as written when something else is edited.
        PersonRecord read = host.people.Item("K1")->toRecord();
        read.Ddate = "BET 1900 AND 1850";
        host.people.Item("K1")->fromRecord(read);
        host.rows["K1"].Ddate = read.Ddate;
        auto again = open(host, true, read);
        setText(*again, "txtFname", "Anne");
        save(*again);
        QCOMPARE(m_messages.count(), 2);
        QCOMPARE(again->result(), int(QDialog::Accepted));
        QCOMPARE(host.rows.value("K1").Ddate, QString("BET 1900 AND 1850"));
        QCOMPARE(host.rows.value("K1").Fname, QString("Anne"));
    }

    void editedPersonMissingFromTable()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.selectedKey = "K1";
        host.dataPath = freshDataPath();
        host.addPerson(makePerson("K1", "R1", "Anna", "Berg"));
        host.rows.clear();
        auto window = open(host, true, host.people.Item("K1")->toRecord());
        setText(*window, "txtFname", "Anne");
        save(*window);
        QCOMPARE(m_messages.count(), 1);
        QCOMPARE(m_messages.last().text, QString("'K1' was not found in the database."));
        QCOMPARE(m_messages.last().buttons, MsgButtons::OkOnly);
        QCOMPARE(host.updates, 0);
        QVERIFY(host.rows.isEmpty());
        QCOMPARE(host.people.Item("K1")->Fname(), QString("Anne"));
        QCOMPARE(host.changed, QStringList{"K1"});
        QCOMPARE(window->result(), int(QDialog::Accepted));
    }

    void storeFailuresKeepWindowOpen()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.selectedKey = "K1";
        host.dataPath = freshDataPath();
        host.addPerson(makePerson("K1", "R1", "Anna", "Berg"));
        host.updateError = Error(ErrorCode::Taken, "UNIQUE constraint failed");
        auto window = open(host, true, host.people.Item("K1")->toRecord());
        setText(*window, "txtFname", "Typed");
        save(*window);
        QCOMPARE(m_messages.last().title, QString("Key exists"));
        QCOMPARE(m_messages.last().text,
                 QString("The specified Key 'K1' is already associated with another Person.\r\n"
                         "Please change the Key and try again."));
        QVERIFY(window->isVisible());
        QCOMPARE(host.people.Item("K1")->Fname(), QString("Anna"));

        // A read-only or busy database is said to be so, never taken for a key in use.
        const QString readOnly = "The database '/x/people.db' is open read-only: it cannot be "
                                 "changed.";
        host.updateError = Error(ErrorCode::ReadOnly, readOnly);
        save(*window);
        QCOMPARE(m_messages.last().title, QString("Error: %1").arg(kErrFileAccess));
        QCOMPARE(m_messages.last().text, readOnly);
        host.updateError = Error(ErrorCode::Busy, "database is locked");
        save(*window);
        QCOMPARE(m_messages.last().title, QString("Error: %1").arg(kErrDatabaseBusy));
        QCOMPARE(m_messages.last().text, QString("database is locked"));
        QVERIFY(window->isVisible());
        QCOMPARE(host.people.Item("K1")->Fname(), QString("Anna"));

        host.updateError = {};
        host.findError = Error(ErrorCode::InvalidInput, "no such table: Family");
        save(*window);
        QCOMPARE(m_messages.last().title, QString("Error: %1").arg(kErrStatementFailed));
        QCOMPARE(m_messages.last().text, QString("no such table: Family"));
        QVERIFY(window->isVisible());
        QCOMPARE(text(*window, "txtFname"), QString("Typed"));
        QVERIFY(host.changed.isEmpty());
    }

    void cancelAndHeaderCloseWriteNothing()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.dataPath = freshDataPath();
        for (const char *closer : {"cmdCancel", "cmdClose"}) {
            auto window = open(host, false, makePerson("N1", "ROOT", "A", "B"));
            QSignalSpy rejected(window.get(), &QDialog::rejected);
            window->findChild<QAbstractButton *>(QLatin1String(closer))->click();
            QCOMPARE(rejected.count(), 1);
            QVERIFY(!window->isVisible());
        }
        QVERIFY(host.rows.isEmpty());
        QCOMPARE(m_messages.count(), 0);
        QVERIFY(!QFileInfo::exists(host.dataPath + "Photos"));
    }

    void browseOffersImageFilterWithMultipleSelection()
    {
        FakeHost host;
        frmEdit window(host, false);
        FileDialog seen;
        ScopedFileDialogDriver driver([&](const FileDialog &dlg) {
            seen.setDialogTitle(dlg.DialogTitle());
            seen.setFilter(dlg.Filter());
            seen.setFilterIndex(dlg.FilterIndex());
            seen.setFlags(dlg.Flags());
            return std::nullopt;
        });
        window.findChild<QPushButton *>("cmdBrowse")->click();
        QCOMPARE(seen.DialogTitle(), QString("Select image files"));
        QCOMPARE(seen.FilterIndex(), 1);
        QCOMPARE(seen.Flags(), 0x00080200);
        const QStringList filters = seen.qtNameFilters();
        QCOMPARE(filters.size(), 5);
        QVERIFY(filters.at(0).startsWith("All image files ("));
        for (const char *pattern : {"*.BMP", "*.JPG", "*.JPEG", "*.GIF", "*.PNG", "*.png"})
            QVERIFY2(filters.at(0).contains(QLatin1String(pattern)), pattern);
        QVERIFY(filters.at(4).startsWith("PNG files ("));
    }

    void photosOfMultipleSelectionAndEarlierBrowse()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.dataPath = freshDataPath();
        const QString source = m_dir.filePath("chosen");
        QDir().mkpath(source);
        writeFile(source + "/a.jpg", "new a");
        writeFile(source + "/b.png", "new b");
        // A file of the same name is already among the person's photos.
        QDir().mkpath(host.dataPath + "Photos/K2");
        writeFile(host.dataPath + "Photos/K2/a.jpg", "old a");

        auto window = open(host, false, makePerson("", "R1", "Anna", "Berg"));
        setText(*window, "txtKey", "K2");
        QList<std::optional<QString>> answers = {
            source + kNul + "a.jpg" + kNul + "b.png" + kNul + "missing.gif", std::nullopt};
        ScopedFileDialogDriver driver([&](const FileDialog &) { return answers.takeFirst(); });
        auto *browse = window->findChild<QPushButton *>("cmdBrowse");
        browse->click();
        QCOMPARE(text(*window, "txtPhotos"), QString("a.jpg; b.png; missing.gif"));
        browse->click(); // cancelled
        QVERIFY(text(*window, "txtPhotos").isEmpty());
        QCOMPARE(window->PhotoSelection(),
                 source + kNul + "a.jpg" + kNul + "b.png" + kNul + "missing.gif");
        save(*window);

        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(readFile(host.dataPath + "Photos/K2/a.jpg"), QByteArray("old a"));
        QCOMPARE(readFile(host.dataPath + "Photos/K2/b.png"), QByteArray("new b"));
        QVERIFY(!QFileInfo::exists(host.dataPath + "Photos/K2/missing.gif"));
        QCOMPARE(host.photosAdded, QStringList{"K2"});
    }

    void editCopiesPhotosWithPanelHidden()
    {
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.selectedKey = "K3";
        host.dataPath = freshDataPath();
        host.addPerson(makePerson("K3", "R1", "Anna", "Berg"));
        writeFile(m_dir.filePath("single.jpg"), "single");
        auto window = open(host, true, host.people.Item("K3")->toRecord());
        ScopedFileDialogDriver driver([&](const FileDialog &) {
            return std::optional<QString>(m_dir.filePath("single.jpg"));
        });
        window->findChild<QPushButton *>("cmdBrowse")->click();
        QCOMPARE(text(*window, "txtPhotos"), m_dir.filePath("single.jpg"));
        save(*window);
        QCOMPARE(readFile(host.dataPath + "Photos/K3/single.jpg"), QByteArray("single"));
        QCOMPARE(host.photosAdded, QStringList{"K3"});
    }

    // A data "folder" that is a file, or a key that cannot name a folder: the person is saved;
    // the message comes only when photos were chosen.
    void photoFolderThatCannotBeMadeStillSaves_data()
    {
        QTest::addColumn<bool>("editMode");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("dataIsFile");
        QTest::addColumn<bool>("photoChosen");
        QTest::newRow("add, data is a file, photo") << false << "K4" << true << true;
        QTest::newRow("add, data is a file, no photo") << false << "K4" << true << false;
        QTest::newRow("edit, key a/b, photo") << true << "a/b" << false << true;
        QTest::newRow("edit, key a/b, no photo") << true << "a/b" << false << false;
    }
    void photoFolderThatCannotBeMadeStillSaves()
    {
        QFETCH(bool, editMode);
        QFETCH(QString, key);
        QFETCH(bool, dataIsFile);
        QFETCH(bool, photoChosen);
        ScopedMessageService scoped(m_messages);
        FakeHost host;
        host.dataPath = freshDataPath();
        if (dataIsFile) {
            host.dataPath = m_dir.filePath("not-a-folder") + "/";
            writeFile(m_dir.filePath("not-a-folder"), "x");
        }
        const PersonRecord person = makePerson(key, "ROOT", "Anna", "Berg");
        if (editMode) {
            host.selectedKey = key;
            host.addPerson(person);
        }
        writeFile(m_dir.filePath("chosen.jpg"), "photo");
        ScopedFileDialogDriver driver([&](const FileDialog &) {
            return std::optional<QString>(m_dir.filePath("chosen.jpg"));
        });

        auto window = open(host, editMode, person);
        if (photoChosen)
            window->findChild<QPushButton *>("cmdBrowse")->click();
        save(*window);
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QVERIFY(host.rows.contains(key));
        QStringList texts;
        for (const MessageRequest &call : m_messages.calls())
            texts << call.text;
        if (!editMode)
            QVERIFY(texts.takeLast().startsWith("Entry Anna Berg (K4)"));
        QCOMPARE(texts, photoChosen ? QStringList{"Photos folder could not be created. Photos will "
                                                  "not be saved."}
                                    : QStringList{});
        if (photoChosen)
            QCOMPARE(m_messages.calls().first().icon, MsgIcon::Critical);
    }
};

QTEST_MAIN(TestFrmEdit)
#include "tst_frmedit.moc"
