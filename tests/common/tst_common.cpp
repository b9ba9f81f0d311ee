#include "FileHelpers.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "PropertyBag.h"
#include "ScriptedMessageService.h"
#include "TranslateColor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestCommon : public QObject
{
    Q_OBJECT

private slots:
    void colours()
    {
        QCOMPARE(TranslateColor(0x00FF8040u), QColor(0x40, 0x80, 0xFF));
        QCOMPARE(TranslateColor(SystemColor(COLOR_BTNFACE)),
                 QGuiApplication::palette().color(QPalette::Active, QPalette::Button));
        QCOMPARE(TranslateColor(SystemColor(COLOR_WINDOW)),
                 QGuiApplication::palette().color(QPalette::Active, QPalette::Base));
        // Unknown system index, inherit marker and other high bytes are black.
        QCOMPARE(TranslateColor(0x800000FFu), QColor(Qt::black));
        QCOMPARE(TranslateColor(kInheritColor), QColor(Qt::black));
        QCOMPARE(TranslateColor(0x01000000u), QColor(Qt::black));
        QCOMPARE(ToOleColor(QColor(1, 2, 3)), 0x00030201u);
    }

    void scriptedAnswersAndHelp()
    {
        ScriptedMessageService fake;
        ScopedMessageService scope(fake);
        QString helpFile;
        int helpTopic = 0;
        MessageService::setHelpHandler([&](const QString &file, int topic) {
            helpFile = file;
            helpTopic = topic;
        });

        // Without a script the first button answers.
        QCOMPARE(ShowMessage("a", "t", MsgIcon::Critical, MsgButtons::YesNo), MsgResult::Yes);
        MessageRequest request;
        request.text = "q";
        request.buttons = MsgButtons::YesNo;
        request.helpFile = "help.html";
        request.helpTopic = 1020;
        fake.enqueue(MsgResult::Help);
        fake.enqueue(MsgResult::No);
        QCOMPARE(ShowMessage(request), MsgResult::No);
        QCOMPARE(helpTopic, 1020);
        QCOMPARE(helpFile, QString("help.html"));
        ReportError(13, "Type mismatch");
        QCOMPARE(fake.count(), 3);
        QCOMPARE(fake.last().title, QString("Error: 13"));
        QCOMPARE(fake.last().icon, MsgIcon::Critical);
        MessageService::setHelpHandler({});
    }

    // The box on screen: Help leaves the question waiting; Escape and the close box give the
    // last button's answer, a box with one button its only one.
    void dialogBoxAnswers()
    {
        DialogMessageService service;
        int helps = 0;
        bool waitedDuringHelp = false;
        MessageService::setHelpHandler([&](const QString &, int topic) {
            helps += topic == 1020;
            waitedDuringHelp = QApplication::activeModalWidget() != nullptr;
        });
        const auto answer = [&](MsgButtons buttons, const std::function<void(QMessageBox &)> &act) {
            MessageRequest request;
            request.text = "q";
            request.buttons = buttons;
            request.helpTopic = 1020;
            QTimer ticks; // acts once the box waits
            QObject::connect(&ticks, &QTimer::timeout, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                if (box && box->isVisible()) {
                    ticks.stop();
                    act(*box);
                }
            });
            ticks.start(0);
            return service.show(request, nullptr);
        };
        const auto escape = [](QMessageBox &box) { QTest::keyClick(&box, Qt::Key_Escape); };
        QCOMPARE(answer(MsgButtons::YesNo,
                        [&](QMessageBox &box) {
                            box.button(QMessageBox::Help)->click();
                            QVERIFY(box.isVisible());
                            escape(box);
                        }),
                 MsgResult::No);
        QCOMPARE(helps, 1);
        QVERIFY(waitedDuringHelp);
        QCOMPARE(answer(MsgButtons::YesNo, [](QMessageBox &box) { box.close(); }), MsgResult::No);
        QCOMPARE(answer(MsgButtons::OkCancel, escape), MsgResult::Cancel);
        QCOMPARE(answer(MsgButtons::OkOnly, [](QMessageBox &box) { box.close(); }), MsgResult::Ok);
        QCOMPARE(answer(MsgButtons::YesNo,
                        [](QMessageBox &box) { QTest::keyClick(&box, Qt::Key_Return); }),
                 MsgResult::Yes);
        MessageService::setHelpHandler({});
    }

    void propertyBagSkipsDefaults()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath("bag.ini"), QSettings::IniFormat);
        PropertyBag bag(settings, "Chart");
        bag.WriteProperty("Width", 100, 100);
        QVERIFY(!bag.contains("Width"));
        bag.WriteProperty("Width", 120, 100);
        QCOMPARE(bag.readInt("Width", 100), 120);
        bag.WriteProperty("Width", 100, 100); // back to default: removed again
        QVERIFY(!bag.contains("Width"));
        QCOMPARE(bag.readInt("Missing", 7), 7);
        settings.setValue("Chart/Bad", "abc");
        QCOMPARE(bag.readInt("Bad", 5), 5);
        settings.setValue("Chart/Flag", "1");
        QCOMPARE(bag.readBool("Flag", false), true);
        bag.WriteProperty("Colour", qlonglong(0x80000005u), qlonglong(0));
        QCOMPARE(bag.readLong("Colour", 0), qint64(0x80000005u));
    }

    void fileHelpers()
    {
        QTemporaryDir dir;
        QCOMPARE(AddBackslash(""), QString());
        QCOMPARE(AddBackslash("/a"), QString("/a/"));
        QCOMPARE(AddBackslash("/a/"), QString("/a/"));
        const QString deep = dir.filePath("x/y/z");
        QVERIFY(MakePath(deep));
        QVERIFY(FolderExists(deep));
        QFile f(deep + "/one.txt");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1");
        f.close();
        QVERIFY(CopyOneFile(deep + "/one.txt", deep + "/two.txt", true));
        QVERIFY(!CopyOneFile(deep + "/one.txt", deep + "/two.txt", true));
        QVERIFY(!CopyOneFile(deep + "/missing.txt", deep + "/three.txt", true));
        QVERIFY(DeleteFolderTree(dir.filePath("x")));
        QVERIFY(!QFileInfo::exists(dir.filePath("x")));
        QVERIFY(DeleteFolderTree(dir.filePath("never"))); // nothing to do

        // A link to a folder is never followed, also when named with a trailing separator.
        QVERIFY(QDir().mkpath(dir.filePath("target")));
        QFile kept(dir.filePath("target/kept.txt"));
        QVERIFY(kept.open(QIODevice::WriteOnly));
        kept.close();
        QVERIFY(QFile::link(dir.filePath("target"), dir.filePath("link")));
        QVERIFY(!DeleteFolderTree(dir.filePath("link") + "/"));
        QVERIFY(QFileInfo::exists(dir.filePath("target/kept.txt")));
    }

    void modalSeamDrivesDialogs()
    {
        QDialog dialog;
        ScopedModalDriver driver([](QDialog &d) {
            d.accept();
            return d.result();
        });
        QCOMPARE(ModalSeam::exec(dialog), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestCommon)
#include "tst_common.moc"
