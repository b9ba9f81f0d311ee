#include "AppState.h"
#include "FrameBox.h"
#include "InfoPanel.h"
#include "InfoPhotos.h"
#include "ModalSeam.h"
#include "ScriptedMessageService.h"
#include "Thumbnailer.h"
#include "TranslateColor.h"
#include "cPerson.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QThreadPool>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// Runs the event loop until the panel's viewer has listed and rendered the photos it was given:
// the panel returns at once and the photos arrive afterwards.
bool PhotosIn(InfoPanel &panel)
{
    Thumbnailer *viewer = panel.thumbnailer();
    return QTest::qWaitFor([viewer] { return !viewer->Rendering(); }, 30000);
}

cPerson MakePerson(const QString &key, const QString &ddate = QString())
{
    PersonRecord r;
    r.ID = key;
    r.PrntKey = "ROOT";
    r.Fname = "Anna";
    r.Sname = "Lind";
    r.PrtFname = "Per";
    r.PrtSname = "Berg";
    r.Bdate = "1901";
    r.Ddate = ddate;
    r.Bplace = "Umeå";
    r.Dplace = ddate.isEmpty() ? QString() : "Luleå";
    r.Laddress = "Storgatan 1";
    r.Lcity = "Umeå";
    r.Lcountry = "Sweden";
    r.Notes = "Line one\nLine two";
    return cPerson(r);
}

// Sets an environment value for a scope and puts the earlier one back.
class EnvironmentValue
{
public:
    EnvironmentValue(const char *name, const QString &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value.toLocal8Bit());
    }
    ~EnvironmentValue()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    EnvironmentValue(const EnvironmentValue &) = delete;
    EnvironmentValue &operator=(const EnvironmentValue &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

// A window with a line edit standing for the chart and the panel showing a person's photos,
// with the given photos selected in that order.
struct DeletionWindow
{
    QWidget window;
    QLineEdit *other = new QLineEdit(&window);
    InfoPanel *panel;

    DeletionWindow(AppState &state, const QString &key, const QStringList &selected)
        : panel(new InfoPanel(state, &window))
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(other);
        layout->addWidget(panel);
        window.resize(400, 700);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        panel->FillInfoPanel(MakePerson(key));
        QVERIFY(PhotosIn(*panel));
        Thumbnailer *t = panel->thumbnailer();
        for (const QString &name : selected)
            t->setSelectedItem(t->Thumbs().Item(name));
    }

    // Gives the viewer's surface the focus.
    QWidget *focusViewer()
    {
        QWidget *surface = panel->thumbnailer()->findChild<QWidget *>("picBase");
        surface->setFocus();
        if (!QTest::qWaitFor([&] { return panel->ThumbsFocused(); }))
            qWarning("the viewer did not get the focus");
        return surface;
    }
};

} // namespace

class TestInfoPanel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    // The home and data folders of the run: the trash the tests fill is a temporary one.
    QTemporaryDir m_home;
    AppState m_state;

    QString trashFile(const QString &name) const
    {
        return m_home.filePath("share/Trash/files/") + name;
    }

    QString box(InfoPanel &panel, const char *name)
    {
        auto *edit = panel.findChild<QLineEdit *>(QLatin1String(name));
        return edit ? edit->text() : QStringLiteral("<missing>");
    }

    bool hidden(InfoPanel &panel, const char *name)
    {
        auto *w = panel.findChild<QWidget *>(QLatin1String(name));
        return !w || w->isHidden();
    }

    QString makePhotos(const QString &key, const QStringList &names)
    {
        const QString folder = m_state.DataPath + "Photos/" + key + "/";
        QDir().mkpath(folder);
        for (const QString &name : names) {
            QImage image(120, 80, QImage::Format_RGB32);
            image.fill(Qt::darkGreen);
            image.save(folder + name);
        }
        return folder;
    }

private slots:
    void initTestCase()
    {
        qputenv("HOME", m_home.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", m_home.filePath("share").toLocal8Bit());
    }

    void init()
    {
        m_state = AppState();
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path() + "/Data");
        m_state.DataPath = m_dir.path() + "/Data/";
        m_state.UserSettingsFile = m_dir.path() + "/user.ini";
        QDir(m_home.filePath("share/Trash")).removeRecursively();
    }

    void fieldsLabelsAndTooltips()
    {
        InfoPanel panel(m_state);
        QCOMPARE(panel.objectName(), QString("pnlInfo"));
        QCOMPARE(panel.Caption(), QString("Personal info"));
        const struct
        {
            const char *box;
            const char *tip;
            const char *label;
            const char *text;
        } fields[] = {
            {"txtKey", "Unique ID (max = 5)", "lblKey", "ID : "},
            {"txtPrntKey", "Parent ID this child belongs to", "lblPrntKey", "Parent ID : "},
            {"txtFname", "First name", "lblFname", "First : "},
            {"txtSname", "Last name", "lblSname", "Last : "},
            {"txtPrtFname", "Partner's first name", "lblPrtFname", "First : "},
            {"txtPrtSname", "Partner's last name", "lblPrtSname", "Last : "},
            {"txtBdate", "Date of birth", "lblBdate", "Born :"},
            {"txtBplace", "Place of birth", "lblBplace", "At :"},
            {"txtDdate", "Date of death", "lblDdate", "Died :"},
            {"txtDplace", "Place of death", "lblDplace", "At :"},
            {"txtAddress", "Address of living", "lblAddress", "Addr :"},
            {"txtCity", "City of living", "lblCity", "City :"},
            {"txtCountry", "Country of living", "lblCountry", "Country :"},
        };
        for (const auto &f : fields) {
            auto *edit = panel.findChild<QLineEdit *>(f.box);
            QVERIFY2(edit, f.box);
            QCOMPARE(edit->toolTip(), QString(f.tip));
            QVERIFY(edit->isReadOnly());
            auto *label = panel.findChild<QLabel *>(f.label);
            QVERIFY2(label, f.label);
            QCOMPARE(label->text(), QString(f.text));
        }
        auto *notes = panel.findChild<QTextEdit *>("txtInfo");
        QVERIFY(notes && notes->isReadOnly());
        QCOMPARE(notes->toolTip(), QString("More info"));
        QCOMPARE(panel.findChild<QLabel *>("lblNotes")->text(), QString("Notes :"));
        QCOMPARE(panel.findChild<QLabel *>("lblPhotos")->text(), QString("Photos :"));

        const QStringList captions{"Name", "Partner name", "Dates", "Place", "Misc"};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(panel.fmInfo(i)->Caption(), captions[i]);
            QCOMPARE(panel.fmInfo(i)->Index(), i);
        }
        // The notes box and the viewer sit in the Misc frame; the names in the Name frame.
        QVERIFY(panel.fmInfo(4)->isAncestorOf(notes));
        QVERIFY(panel.fmInfo(4)->isAncestorOf(panel.thumbnailer()));
        QVERIFY(panel.fmInfo(0)->isAncestorOf(panel.findChild<QLineEdit *>("txtSname")));
        QVERIFY(panel.fmInfo(2)->isAncestorOf(panel.findChild<QLineEdit *>("txtDplace")));
        QVERIFY(!panel.fmInfo(0)->isAncestorOf(panel.findChild<QLineEdit *>("txtKey")));

        // The viewer's main-window design.
        Thumbnailer *t = panel.thumbnailer();
        QCOMPARE(t->BackColor(), SystemColor(COLOR_WINDOW));
        QCOMPARE(t->ThumbWidth(), 70);
        QCOMPARE(t->ThumbHeight(), 70);
        QCOMPARE(t->ThumbOffset(), 2);
        QCOMPARE(t->ThumbSpace(), 5);
        QVERIFY(!t->HasLabel());
        QVERIFY(!t->ShowHidden());
        QVERIFY(!t->ShowSystem());
        QVERIFY(t->GetDims());
        QCOMPARE(t->Pattern(), QString("*.bmp;*.jpg;*.jpeg;*.gif;*.png"));
        QCOMPARE(t->ThumbBorderStyle(), Thumbnailer::thoThinRaisedDark); // control default
    }

    void fillShowsDeathFieldsOnlyWithDeathDate()
    {
        InfoPanel panel(m_state);
        panel.FillInfoPanel(MakePerson("A1"));
        QVERIFY(PhotosIn(panel));
        QCOMPARE(box(panel, "txtKey"), QString("A1"));
        QCOMPARE(box(panel, "txtPrntKey"), QString("ROOT"));
        QCOMPARE(box(panel, "txtPrtSname"), QString("Berg"));
        QCOMPARE(box(panel, "txtBplace"), QString("Umeå"));
        QCOMPARE(box(panel, "txtCountry"), QString("Sweden"));
        QCOMPARE(panel.findChild<QTextEdit *>("txtInfo")->toPlainText(),
                 QString("Line one\nLine two"));
        for (const char *name : {"txtDdate", "txtDplace", "lblDdate", "lblDplace"})
            QVERIFY2(hidden(panel, name), name);

        panel.FillInfoPanel(MakePerson("A2", "1980"));
        QVERIFY(PhotosIn(panel));
        QCOMPARE(box(panel, "txtDdate"), QString("1980"));
        QCOMPARE(box(panel, "txtDplace"), QString("Luleå"));
        for (const char *name : {"txtDdate", "txtDplace", "lblDdate", "lblDplace"})
            QVERIFY2(!hidden(panel, name), name);

        panel.FillInfoPanel(MakePerson("A3"));
        QVERIFY(PhotosIn(panel));
        for (const char *name : {"txtDdate", "txtDplace", "lblDdate", "lblDplace"})
            QVERIFY2(hidden(panel, name), name);
        QCOMPARE(box(panel, "txtDdate"), QString());

        panel.ClearInfoPanel();
        for (const char *name : {"txtKey", "txtPrntKey", "txtFname", "txtSname", "txtPrtFname",
                                 "txtPrtSname", "txtBdate", "txtBplace", "txtAddress", "txtCity",
                                 "txtCountry", "txtDdate", "txtDplace"})
            QCOMPARE(box(panel, name), QString());
        QVERIFY(panel.findChild<QTextEdit *>("txtInfo")->toPlainText().isEmpty());
        QVERIFY(hidden(panel, "txtDdate"));
    }

    void editSaveValuesKeepTheKey()
    {
        InfoPanel panel(m_state);
        panel.FillInfoPanel(MakePerson("K1"));
        QVERIFY(PhotosIn(panel));
        cPerson changed = MakePerson("OTHER", "2001");
        changed.setFname("Maja");
        panel.ShowPersonValues(changed);
        QCOMPARE(box(panel, "txtKey"), QString("K1"));
        QCOMPARE(box(panel, "txtFname"), QString("Maja"));
        QVERIFY(panel.DeathFieldsShown());
        panel.ShowDeathFields(false);
        QVERIFY(!panel.DeathFieldsShown());
    }

    // Each column of the row lands in its own box, both when the panel is filled and when the
    // edit window's save shows new values (the key box keeps its value then).
    void everyColumnInItsBox()
    {
        const QStringList names{"txtKey",      "txtPrntKey", "txtFname",  "txtSname", "txtPrtFname",
                                "txtPrtSname", "txtBdate",   "txtBplace", "txtDdate", "txtDplace",
                                "txtAddress",  "txtCity",    "txtCountry"};
        const auto record = [](const QString &prefix) {
            PersonRecord r;
            QString *columns[] = {&r.ID,       &r.PrntKey, &r.Fname,    &r.Sname, &r.PrtFname,
                                  &r.PrtSname, &r.Bdate,   &r.Bplace,   &r.Ddate, &r.Dplace,
                                  &r.Laddress, &r.Lcity,   &r.Lcountry, &r.Notes};
            for (int i = 0; i < 14; ++i)
                *columns[i] = prefix + QString::number(i);
            return r;
        };
        InfoPanel panel(m_state);
        panel.FillInfoPanel(cPerson(record("a")));
        QVERIFY(PhotosIn(panel));
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(box(panel, qPrintable(names[i])), "a" + QString::number(i));
        QCOMPARE(panel.findChild<QTextEdit *>("txtInfo")->toPlainText(), QString("a13"));
        panel.ShowPersonValues(record("b"));
        QCOMPARE(box(panel, "txtKey"), QString("a0"));
        for (int i = 1; i < names.size(); ++i)
            QCOMPARE(box(panel, qPrintable(names[i])), "b" + QString::number(i));
        QCOMPARE(panel.findChild<QTextEdit *>("txtInfo")->toPlainText(), QString("b13"));
    }

    // The rows of the panel: each label before its box on the same line, the boxes of a row
    // sharing it evenly and inside their frame, the born and died rows in one set of columns.
    // Without a death date its row stays empty: nothing below it moves. The viewer is one row
    // of thumbnails high, whatever its design.
    void rowsOfLabelsAndBoxes()
    {
        InfoPanel panel(m_state);
        panel.resize(InfoPanel::kPanelWidth, 700);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        panel.FillInfoPanel(MakePerson("R1", "1980"));
        QVERIFY(PhotosIn(panel));
        const auto rect = [&](const char *name) {
            auto *w = panel.findChild<QWidget *>(QLatin1String(name));
            return w ? QRect(w->mapTo(&panel, QPoint()), w->size()) : QRect();
        };
        const char *const pairs[][2] = {
            {"lblKey", "txtKey"},           {"lblPrntKey", "txtPrntKey"},
            {"lblFname", "txtFname"},       {"lblSname", "txtSname"},
            {"lblPrtFname", "txtPrtFname"}, {"lblPrtSname", "txtPrtSname"},
            {"lblBdate", "txtBdate"},       {"lblBplace", "txtBplace"},
            {"lblDdate", "txtDdate"},       {"lblDplace", "txtDplace"},
            {"lblAddress", "txtAddress"},   {"lblCity", "txtCity"},
            {"lblCountry", "txtCountry"}};
        QTRY_VERIFY(rect("txtDdate").top() > rect("txtBdate").bottom());
        for (const auto &[label, box] : pairs) {
            QVERIFY2(rect(label).right() < rect(box).left(), box);
            QCOMPARE(rect(label).center().y(), rect(box).center().y());
            QVERIFY2(panel.rect().contains(rect(box)), box);
        }
        for (int i = 0; i < 4; ++i) {
            const QRect frame(panel.fmInfo(i)->mapTo(&panel, QPoint()), panel.fmInfo(i)->size());
            for (QLineEdit *box : panel.fmInfo(i)->findChildren<QLineEdit *>())
                QVERIFY2(frame.contains(rect(qPrintable(box->objectName()))),
                         qPrintable(box->objectName()));
        }
        QVERIFY(qAbs(rect("txtFname").width() - rect("txtSname").width()) <= 1);
        QVERIFY(qAbs(rect("txtCity").width() - rect("txtCountry").width()) <= 1);
        // The partner's last name comes first.
        QVERIFY(rect("txtPrtSname").right() < rect("txtPrtFname").left());
        QCOMPARE(rect("txtDdate").x(), rect("txtBdate").x());
        QCOMPARE(rect("txtDplace"),
                 rect("txtBplace").translated(0, rect("txtDdate").y() - rect("txtBdate").y()));
        QVERIFY(rect("txtKey").width() < rect("txtPrntKey").width());

        const QList<int> below{rect("fmInfo").y(), panel.fmInfo(3)->y(), panel.fmInfo(4)->y(),
                               panel.NotesBoxTop()};
        panel.FillInfoPanel(MakePerson("R2"));
        QVERIFY(PhotosIn(panel));
        QTest::qWait(0);
        QCOMPARE((QList<int>{rect("fmInfo").y(), panel.fmInfo(3)->y(), panel.fmInfo(4)->y(),
                             panel.NotesBoxTop()}),
                 below);

        Thumbnailer *t = panel.thumbnailer();
        const int viewerHeight = t->height();
        const int boxTop = panel.NotesBoxTop();
        t->setThumbHeight(t->ThumbHeight() + 30);
        QCOMPARE(panel.NotesBoxTop(), boxTop + 30);
        QCOMPARE(t->height(), viewerHeight + 30);
    }

    void photosOfThePersonOrAnEmptyViewer()
    {
        const QString folder = makePhotos("P1", {"one.jpg", "two.bmp", "three.png", "skip.txt"});
        InfoPanel panel(m_state);
        panel.resize(InfoPanel::kPanelWidth, 600);
        panel.show();
        panel.FillInfoPanel(MakePerson("P1"));
        QVERIFY(PhotosIn(panel));
        Thumbnailer *t = panel.thumbnailer();
        QCOMPARE(t->Items(), 3); // a text file is not in the panel's pattern
        QCOMPARE(QDir(t->Path()).canonicalPath(), QDir(folder).canonicalPath());
        QCOMPARE(t->Thumbs().Item("one.jpg")->Width(), 120); // dimensions are read

        panel.FillInfoPanel(MakePerson("NOPIC"));
        QVERIFY(PhotosIn(panel));
        QCOMPARE(t->Items(), 0);

        // A photo added to the folder later shows after RefreshPhotos.
        panel.FillInfoPanel(MakePerson("P1"));
        QVERIFY(PhotosIn(panel));
        makePhotos("P1", {"three.gif"});
        QImage(10, 10, QImage::Format_RGB32).save(folder + "four.jpg");
        panel.RefreshPhotos();
        QVERIFY(PhotosIn(panel));
        QCOMPARE(t->Items(), 4);
        // A person whose folder is made by the save is listed as well.
        panel.FillInfoPanel(MakePerson("NEW"));
        QVERIFY(PhotosIn(panel));
        makePhotos("NEW", {"a.jpg"});
        panel.RefreshPhotos();
        QVERIFY(PhotosIn(panel));
        QCOMPARE(t->Items(), 1);
    }

    // A click on a person returns before the photos are in; a click on another person while
    // they decode shows that person's photos alone: nothing of the first arrives after it.
    void anotherPersonWhilePhotosDecode()
    {
        QStringList first, second;
        for (int i = 1; i <= 10; ++i) {
            first << QStringLiteral("first%1.jpg").arg(i, 2, 10, QChar('0'));
            second << QStringLiteral("second%1.jpg").arg(i, 2, 10, QChar('0'));
        }
        makePhotos("C1", first);
        const QString folder = makePhotos("C2", second);
        InfoPanel panel(m_state);
        panel.resize(InfoPanel::kPanelWidth, 600);
        panel.show();
        Thumbnailer *t = panel.thumbnailer();
        QStringList added;
        connect(t, &Thumbnailer::AfterThumbAdd, this,
                [&added](int, const QString &name) { added << name; });

        panel.FillInfoPanel(MakePerson("C1"));
        QVERIFY(t->Rendering());
        QCOMPARE(t->Items(), 0);
        QVERIFY(added.isEmpty());
        panel.FillInfoPanel(MakePerson("C2"));
        QVERIFY(PhotosIn(panel));
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(added, second);
        QCOMPARE(t->Items(), 10);
        QCOMPARE(QDir(t->Path()).canonicalPath(), QDir(folder).canonicalPath());
        for (int i = 1; i <= t->Thumbs().Count(); ++i)
            QVERIFY(t->Thumbs().Item(i)->Name().startsWith("second"));
    }

    void selectedFilesAndDeleteText()
    {
        Thumbs thumbs;
        Thumb a;
        a.setPath("/p/");
        a.setName("a.jpg");
        Thumb b = a;
        b.setName("B.jpg");
        thumbs.Add(a, "a.jpg");
        thumbs.Add(b, "B.jpg");
        const QString text = InfoPhotos::BuildDeleteText({"b.jpg", "a.jpg", "gone.jpg"}, thumbs);
        QCOMPARE(text, QString("/p/B.jpg") + QChar(0) + "/p/a.jpg" + QChar(0) + QChar(0));
    }

    // Four settings of the viewer's own deletion (CanDelete, FSOEnable): the panel asks exactly
    // once in every one, OK moves the selected files to the trash, Cancel touches nothing.
    void deleteKeyAsksOnceInEverySetting_data()
    {
        QTest::addColumn<bool>("canDelete");
        QTest::addColumn<bool>("fsoEnable");
        QTest::newRow("neither") << false << false;
        QTest::newRow("CanDelete") << true << false;
        QTest::newRow("FSOEnable") << false << true;
        QTest::newRow("both") << true << true;
    }
    void deleteKeyAsksOnceInEverySetting()
    {
        QFETCH(bool, canDelete);
        QFETCH(bool, fsoEnable);
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        const QString folder = makePhotos("D1", {"a.jpg", "b.jpg", "c.jpg"});
        DeletionWindow w(m_state, "D1", {"a.jpg", "c.jpg"});
        Thumbnailer *t = w.panel->thumbnailer();
        t->setCanDelete(canDelete);
        t->setFSOEnable(fsoEnable);
        QSignalSpy itemDeleted(t, &Thumbnailer::ItemDelete);

        // The focus is elsewhere: nothing happens.
        w.other->setFocus();
        QTRY_VERIFY(w.other->hasFocus());
        QVERIFY(!w.panel->ThumbsFocused());
        QTest::keyClick(w.other, Qt::Key_Delete);
        QVERIFY(!w.panel->HandleKeyUp(Qt::Key_Delete));
        QCOMPARE(messages.count(), 0);

        QWidget *surface = w.focusViewer();
        QTest::keyClick(surface, Qt::Key_A);
        messages.enqueue(MsgResult::Cancel);
        QTest::keyClick(surface, Qt::Key_Delete);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text,
                 QString("Are you sure you wish to delete the selected photo(s) ?"));
        QCOMPARE(messages.last().title, QString("Confirmation"));
        QCOMPARE(messages.last().buttons, MsgButtons::OkCancel);
        QCOMPARE(messages.last().defaultButton, 1);
        QCOMPARE(itemDeleted.count(), 0);
        QCOMPARE(t->Items(), 3);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3);
        QVERIFY(!QFileInfo::exists(trashFile("a.jpg")));

        messages.enqueue(MsgResult::Ok);
        QTest::keyClick(surface, Qt::Key_Delete);
        QCOMPARE(messages.count(), 2);
        QCOMPARE(itemDeleted.count(), 2);
        QCOMPARE(t->Items(), 1);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"b.jpg"});
        QVERIFY(QFileInfo::exists(trashFile("a.jpg")));
        QVERIFY(QFileInfo::exists(trashFile("c.jpg")));
    }

    void withoutTrashTheQuestionSaysPermanent()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        // A data home below a plain file: no trash can be made.
        const QString blocker = m_home.filePath("blocker");
        QFile(blocker).open(QIODevice::WriteOnly);
        const EnvironmentValue dataHome("XDG_DATA_HOME", blocker + "/share");
        const QString folder = makePhotos("N1", {"a.jpg", "b.jpg"});
        DeletionWindow w(m_state, "N1", {"a.jpg"});
        QWidget *surface = w.focusViewer();

        messages.enqueue(MsgResult::Cancel);
        QTest::keyClick(surface, Qt::Key_Delete);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text,
                 QString("Are you sure you wish to delete the selected photo(s) ?\r\n\r\nThere is "
                         "no trash for these files: they will be deleted permanently and cannot "
                         "be restored."));
        QCOMPARE(messages.last().icon, MsgIcon::Exclamation);
        QCOMPARE(messages.last().buttons, MsgButtons::OkCancel);
        QCOMPARE(messages.last().defaultButton, 2); // Cancel
        QVERIFY(QFileInfo::exists(folder + "a.jpg"));

        messages.enqueue(MsgResult::Ok);
        QTest::keyClick(surface, Qt::Key_Delete);
        QCOMPARE(messages.count(), 2);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"b.jpg"});
        QCOMPARE(w.panel->thumbnailer()->Items(), 1);
    }

    void aFileTheTrashRefusesStaysAndIsShownAgain()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        // The trash exists, but its files folder is a plain file: the move fails.
        const QString home = m_home.filePath("broken");
        QDir().mkpath(home + "/Trash");
        QFile(home + "/Trash/files").open(QIODevice::WriteOnly);
        const EnvironmentValue dataHome("XDG_DATA_HOME", home);
        const QString folder = makePhotos("F1", {"a.jpg", "b.jpg"});
        DeletionWindow w(m_state, "F1", {"a.jpg"});
        QSignalSpy removed(w.panel, &InfoPanel::photoDeleted);
        messages.enqueue(MsgResult::Ok);
        QTest::keyClick(w.focusViewer(), Qt::Key_Delete);
        QCOMPARE(messages.count(), 2);
        QCOMPARE(messages.last().text, QString("These photo(s) could not be deleted:\r\na.jpg"));
        QCOMPARE(messages.last().icon, MsgIcon::Exclamation);
        QVERIFY(QFileInfo::exists(folder + "a.jpg"));
        QVERIFY(PhotosIn(*w.panel));
        QCOMPARE(w.panel->thumbnailer()->Items(), 2);
        QCOMPARE(removed.count(), 0);
    }

    void otherDeletionsAndTheLabelEditorLeaveFiles()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        const QString folder = makePhotos("E1", {"x.jpg", "y.jpg"});
        DeletionWindow w(m_state, "E1", {"x.jpg"});
        Thumbnailer *t = w.panel->thumbnailer();
        QSignalSpy removed(w.panel, &InfoPanel::photoDeleted);
        // Items the viewer takes off the view by itself keep their files.
        QVERIFY(t->DeleteItems(folder + "x.jpg" + QChar(0) + QChar(0)));
        QCOMPARE(t->Items(), 1);
        QVERIFY(QFileInfo::exists(folder + "x.jpg"));
        QCOMPARE(removed.count(), 0);

        // Delete while renaming a photo edits the name.
        t->setHasLabel(true);
        t->setSelectedItem(t->Thumbs().Item("y.jpg"));
        w.focusViewer();
        t->StartLabelEdit();
        auto *editor = t->findChild<QLineEdit *>();
        QVERIFY(editor && editor->isVisible());
        QTRY_VERIFY(editor->hasFocus());
        editor->setCursorPosition(0);
        QTest::keyClick(editor, Qt::Key_Delete);
        QCOMPARE(editor->text(), QString(".jpg"));
        QCOMPARE(messages.count(), 0);
        QVERIFY(QFileInfo::exists(folder + "y.jpg"));
        QTest::keyClick(editor, Qt::Key_Escape);
    }

    void doubleClickOpensTheViewerModally()
    {
        const QString folder = makePhotos("V1", {"face.jpg"});
        InfoPanel panel(m_state);
        panel.FillInfoPanel(MakePerson("V1"));
        QVERIFY(PhotosIn(panel));
        QStringList titles;
        ScopedModalDriver driver([&](QDialog &dialog) {
            titles << dialog.objectName() + ":" + dialog.windowTitle();
            return int(QDialog::Rejected);
        });
        emit panel.thumbnailer()->DblClick(nullptr);
        QVERIFY(titles.isEmpty());
        emit panel.thumbnailer()->DblClick(panel.thumbnailer()->Thumbs().Item("face.jpg"));
        QCOMPARE(titles, QStringList{"frmPic:Photo: face.jpg"});
    }

    void viewerDesignIsSavedAndRestored()
    {
        {
            InfoPanel panel(m_state);
            ScopedModalDriver driver([](QDialog &dialog) {
                dialog.findChild<QLineEdit *>("txtThumbWidth")->setText("90");
                dialog.findChild<QPushButton *>("cmdApply")->click();
                dialog.findChild<QLineEdit *>("txtThumbSpace")->setText("12");
                dialog.findChild<QPushButton *>("cmdCancel")->click();
                return dialog.result();
            });
            panel.FillInfoPanel(MakePerson("S1"));
            QVERIFY(PhotosIn(panel));
            // The panel's own button opens the pages.
            panel.findChild<QToolButton *>("cmdViewerSettings")->click();
            QCOMPARE(panel.thumbnailer()->ThumbWidth(), 90);
            QCOMPARE(panel.thumbnailer()->ThumbSpace(), 5);
        }
        QSettings settings(m_state.UserSettingsFile, QSettings::IniFormat);
        QVERIFY(!settings.contains("InfoThumbnailer/Path"));
        InfoPanel next(m_state);
        QCOMPARE(next.thumbnailer()->ThumbWidth(), 90);
        QCOMPARE(next.thumbnailer()->ThumbHeight(), 70);
        QCOMPARE(next.thumbnailer()->Pattern(), QString("*.bmp;*.jpg;*.jpeg;*.gif;*.png"));
        QVERIFY(!next.thumbnailer()->HasLabel());
        QVERIFY(next.thumbnailer()->Path().isEmpty());
    }

    // A panel lower than its fields (as in a 600 x 500 window) scrolls, so every field, the
    // photos and the notes can be brought into view; a tall one needs no scrolling.
    void lowPanelScrollsToEveryField()
    {
        InfoPanel panel(m_state);
        panel.resize(InfoPanel::kPanelWidth, 380);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        auto *scroll = panel.findChild<QScrollArea *>("scrInfo");
        QVERIFY(scroll);
        QTRY_VERIFY(scroll->verticalScrollBar()->maximum() > 0);
        const QList<QWidget *> fields{panel.findChild<QLineEdit *>("txtKey"),
                                      panel.findChild<QLineEdit *>("txtCountry"),
                                      panel.thumbnailer(), panel.findChild<QTextEdit *>("txtInfo")};
        const auto wholeInView = [&](QWidget *field) {
            const QRect shown(field->mapTo(&panel, QPoint(0, 0)), field->size());
            return scroll->viewport()
                ->geometry()
                .translated(scroll->mapTo(&panel, QPoint()))
                .contains(shown);
        };
        QVERIFY(wholeInView(fields.first()));
        QVERIFY(!wholeInView(fields.last()));
        // Scrolled down, the rest of the panel shows, the notes at the bottom.
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        for (QWidget *field : fields.mid(1))
            QVERIFY2(wholeInView(field), qPrintable(field->objectName()));
        // The layout is the same whether or not it scrolls.
        QCOMPARE(panel.NotesFrameTop(), scroll->mapTo(&panel, QPoint()).y() + panel.fmInfo(4)->y());

        panel.resize(InfoPanel::kPanelWidth, 700);
        QTRY_COMPARE(scroll->verticalScrollBar()->maximum(), 0);
        for (QWidget *field : fields)
            QVERIFY2(wholeInView(field), qPrintable(field->objectName()));
    }

    void notesStretch()
    {
        InfoPanel panel(m_state);
        panel.resize(InfoPanel::kPanelWidth, 900);
        const int frameTop = panel.NotesFrameTop();
        const int boxTop = panel.NotesBoxTop();
        QVERIFY(frameTop > 100);
        QVERIFY(boxTop > panel.thumbnailer()->y() + panel.thumbnailer()->height());
        const int designHeight = panel.fmInfo(4)->height();
        QVERIFY(frameTop + designHeight < 600);
        const int frameHeight = 900 - frameTop - 10;
        panel.StretchNotes(frameHeight, frameHeight - boxTop - 10);
        QCOMPARE(panel.fmInfo(4)->height(), frameHeight);
        auto *notes = panel.findChild<QTextEdit *>("txtInfo");
        QCOMPARE(notes->y() + notes->height(), frameHeight - 10);
        QCOMPARE(panel.width(), InfoPanel::kPanelWidth);
        // Stretched to the panel's height, the fields fit: nothing scrolls. The places told
        // before the panel was first shown are the ones it shows.
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QCOMPARE(panel.findChild<QScrollArea *>("scrInfo")->verticalScrollBar()->maximum(), 0);
        QCOMPARE(panel.NotesFrameTop(), frameTop);
        QCOMPARE(panel.NotesBoxTop(), boxTop);
        QCOMPARE(panel.fmInfo(4)->height(), frameHeight);
        QCOMPARE(notes->y() + notes->height(), frameHeight - 10);
    }
};

QTEST_MAIN(TestInfoPanel)
#include "tst_infopanel.moc"
