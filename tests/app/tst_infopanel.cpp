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
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

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

} // namespace

class TestInfoPanel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    AppState m_state;

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
    void init()
    {
        m_state = AppState();
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path() + "/Data");
        m_state.DataPath = m_dir.path() + "/Data/";
        m_state.UserSettingsFile = m_dir.path() + "/user.ini";
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
        QCOMPARE(box(panel, "txtDdate"), QString("1980"));
        QCOMPARE(box(panel, "txtDplace"), QString("Luleå"));
        for (const char *name : {"txtDdate", "txtDplace", "lblDdate", "lblDplace"})
            QVERIFY2(!hidden(panel, name), name);

        panel.FillInfoPanel(MakePerson("A3"));
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
        cPerson changed = MakePerson("OTHER", "2001");
        changed.setFname("Maja");
        panel.ShowPersonValues(changed);
        QCOMPARE(box(panel, "txtKey"), QString("K1"));
        QCOMPARE(box(panel, "txtFname"), QString("Maja"));
        QVERIFY(panel.DeathFieldsShown());
        panel.ShowDeathFields(false);
        QVERIFY(!panel.DeathFieldsShown());
    }

    void photosOfThePersonOrAnEmptyViewer()
    {
        const QString folder = makePhotos("P1", {"one.jpg", "two.bmp", "three.png", "skip.txt"});
        InfoPanel panel(m_state);
        panel.resize(InfoPanel::kPanelWidth, 600);
        panel.show();
        panel.FillInfoPanel(MakePerson("P1"));
        Thumbnailer *t = panel.thumbnailer();
        QCOMPARE(t->Items(), 3); // a text file is not in the panel's pattern
        QCOMPARE(QDir(t->Path()).canonicalPath(), QDir(folder).canonicalPath());
        QCOMPARE(t->Thumbs().Item("one.jpg")->Width(), 120); // dimensions are read

        panel.FillInfoPanel(MakePerson("NOPIC"));
        QCOMPARE(t->Items(), 0);

        // A photo added to the folder later shows after RefreshPhotos.
        panel.FillInfoPanel(MakePerson("P1"));
        makePhotos("P1", {"three.gif"});
        QImage(10, 10, QImage::Format_RGB32).save(folder + "four.jpg");
        panel.RefreshPhotos();
        QCOMPARE(t->Items(), 4);
        // A person whose folder is made by the save is listed as well.
        panel.FillInfoPanel(MakePerson("NEW"));
        makePhotos("NEW", {"a.jpg"});
        panel.RefreshPhotos();
        QCOMPARE(t->Items(), 1);
    }

    void photoFolderAndDeleteText()
    {
        QCOMPARE(InfoPhotos::PhotoFolderOf("/d/Data/", "A1"), QString("/d/Data/Photos/A1/"));
        QCOMPARE(InfoPhotos::PhotoFolderOf("/d/Data", "A1"), QString("/d/Data/Photos/A1/"));
        QVERIFY(InfoPhotos::PhotoFolderOf("/d/Data/", "").isEmpty());
        QVERIFY(InfoPhotos::PhotoFolderOf("/d/Data/", "..").isEmpty());
        QVERIFY(InfoPhotos::PhotoFolderOf("/d/Data/", "a/b").isEmpty());

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

    void deleteKeyOnlyWhileTheViewerHasFocus()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        const QString folder = makePhotos("D1", {"a.jpg", "b.jpg", "c.jpg"});

        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *other = new QLineEdit(&window); // stands for the chart
        auto *panel = new InfoPanel(m_state, &window);
        layout->addWidget(other);
        layout->addWidget(panel);
        window.resize(400, 700);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        panel->FillInfoPanel(MakePerson("D1"));
        Thumbnailer *t = panel->thumbnailer();
        QCOMPARE(t->Items(), 3);

        // Select a and c, in that order.
        const QStringList selected{"a.jpg", "c.jpg"};
        for (const QString &name : selected)
            t->setSelectedItem(t->Thumbs().Item(name));
        QSignalSpy deleted(t, &Thumbnailer::ItemDelete);

        // The focus is elsewhere: nothing happens.
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        QVERIFY(!panel->ThumbsFocused());
        QTest::keyClick(other, Qt::Key_Delete);
        QVERIFY(!panel->HandleKeyUp(Qt::Key_Delete));
        QCOMPARE(messages.count(), 0);

        // Focus on the viewer; another key does nothing, Cancel keeps the files.
        QWidget *surface = t->findChild<QWidget *>("picBase");
        QVERIFY(surface);
        surface->setFocus();
        QTRY_VERIFY(panel->ThumbsFocused());
        QTest::keyClick(surface, Qt::Key_A);
        QCOMPARE(messages.count(), 0);
        messages.enqueue(MsgResult::Cancel);
        QTest::keyClick(surface, Qt::Key_Delete);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text,
                 QString("Are you sure you wish to delete the selected photo(s) ?"));
        QCOMPARE(messages.last().title, QString("Confirmation"));
        QCOMPARE(messages.last().buttons, MsgButtons::OkCancel);
        QCOMPARE(deleted.count(), 0);
        QVERIFY(QFile::exists(folder + "a.jpg"));

        // OK: both selected files go, from the viewer and from the disk.
        messages.enqueue(MsgResult::Ok);
        QTest::keyClick(surface, Qt::Key_Delete);
        QCOMPARE(messages.count(), 2);
        QCOMPARE(deleted.count(), 2);
        QVERIFY(!QFile::exists(folder + "a.jpg"));
        QVERIFY(!QFile::exists(folder + "c.jpg"));
        QVERIFY(QFile::exists(folder + "b.jpg"));
        QCOMPARE(t->Items(), 1);
    }

    void itemDeleteRemovesTheFile()
    {
        const QString folder = makePhotos("E1", {"x.jpg"});
        InfoPanel panel(m_state);
        QSignalSpy removed(&panel, &InfoPanel::photoDeleted);
        emit panel.thumbnailer()->ItemDelete(folder, "x.jpg");
        QVERIFY(!QFile::exists(folder + "x.jpg"));
        QCOMPARE(removed.count(), 1);
        // A file that is not there is left alone without a message.
        emit panel.thumbnailer()->ItemDelete(folder, "x.jpg");
        emit panel.thumbnailer()->ItemDelete(folder, "");
        QCOMPARE(removed.count(), 1);
        QVERIFY(QDir(folder).exists());
    }

    void doubleClickOpensTheViewerModally()
    {
        const QString folder = makePhotos("V1", {"face.jpg"});
        InfoPanel panel(m_state);
        panel.FillInfoPanel(MakePerson("V1"));
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
    }
};

QTEST_MAIN(TestInfoPanel)
#include "tst_infopanel.moc"
