// The help pages and the help window: every page exists, every link between pages leads
// somewhere, and the topics open the right page.
#include "HelpWindow.h"
#include "MessageService.h"

#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

class TestHelp : public QObject
{
    Q_OBJECT

    QString m_folder;

private slots:
    void initTestCase()
    {
        m_folder = QFileInfo(QFINDTESTDATA("../../help/index.html")).absolutePath();
        QVERIFY2(!m_folder.isEmpty(), "help folder not found");
    }

    void everyLinkLeadsToAPage()
    {
        const QDir dir(m_folder);
        const QStringList pages = dir.entryList({"*.html"}, QDir::Files);
        QVERIFY(pages.size() >= 8);
        const QRegularExpression href(QStringLiteral("href=\"([^\"#]+)"));
        for (const QString &page : pages) {
            QFile file(dir.filePath(page));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(file.readAll());
            QVERIFY2(html.contains("<title>"), qPrintable(page));
            for (const auto &match : href.globalMatch(html)) {
                const QString target = match.captured(1);
                if (target.startsWith("http"))
                    continue;
                QVERIFY2(dir.exists(target), qPrintable(page + " links to missing " + target));
            }
        }
    }

    void topicsOpenTheirPages()
    {
        QCOMPARE(HelpWindow::PageForTopic(HelpWindow::kTopicRootPersons),
                 QStringLiteral("rootpersons.html"));
        QCOMPARE(HelpWindow::PageForTopic(0), QStringLiteral("index.html"));
        QCOMPARE(HelpWindow::PageForTopic(4711), QStringLiteral("index.html"));
        QCOMPARE(HelpWindow::PageForTopic(1070), QStringLiteral("duplicates.html"));
        QCOMPARE(HelpWindow::PageForTopic(1080), QStringLiteral("merge.html"));
        for (int topic : {0, 1000, 1010, 1020, 1030, 1040, 1050, 1060, 1070, 1080})
            QVERIFY(QFileInfo::exists(m_folder + "/" + HelpWindow::PageForTopic(topic)));

        HelpWindow window(m_folder);
        window.ShowTopic(HelpWindow::kTopicRootPersons);
        QVERIFY(window.isVisible());
        QCOMPARE(window.CurrentPage(), QStringLiteral("rootpersons.html"));
        QVERIFY(window.browser()->toPlainText().contains("ROOT"));
        QVERIFY(window.windowTitle().startsWith("Root persons"));
    }

    void helpButtonOfAMessageOpensTheWindow()
    {
        HelpWindow window(m_folder);
        MessageService::setHelpHandler(
            [&window](const QString &, int topic) { window.ShowTopic(topic); });
        MessageService::openHelp(QString(), HelpWindow::kTopicRootPersons);
        MessageService::setHelpHandler({});
        QCOMPARE(window.CurrentPage(), QStringLiteral("rootpersons.html"));
    }

    // Help asked for by a question of a modal window (the edit window) is lent to the question,
    // then to that window, then goes back to its own parent; it stays open throughout.
    void helpIsLentToTheWaitingWindows()
    {
        QWidget home;
        HelpWindow help(m_folder, &home);
        QDialog editor(&home);
        QMessageBox question(&editor);
        QWidget *duringQuestion = nullptr;
        QWidget *afterQuestion = nullptr;
        QTimer::singleShot(0, &editor, [&] {
            QTimer::singleShot(0, &question, [&] {
                help.ShowTopic(HelpWindow::kTopicRootPersons);
                duringQuestion = help.LentTo();
                question.done(0);
            });
            question.exec();
            afterQuestion = help.LentTo();
            editor.reject();
        });
        editor.exec();
        QCOMPARE(duringQuestion, &question);
        QCOMPARE(afterQuestion, &editor);
        QCOMPARE(help.LentTo(), nullptr);
        QCOMPARE(help.parentWidget(), &home);
        QVERIFY(help.isVisible() && help.isWindow());
        QCOMPARE(help.CurrentPage(), QStringLiteral("rootpersons.html"));
    }

    void missingFolderSaysSo()
    {
        HelpWindow window(QStringLiteral("/nonexistent/help"));
        window.ShowTopic(0);
        QVERIFY(window.browser()->toPlainText().contains("Help not found"));
    }

    // A build or a portable copy has its pages beside it; an installed program under its
    // prefix's share/ folder.
    void pagesAreFoundBesideOrInstalled()
    {
        QTemporaryDir prefix;
        const QDir root(prefix.path());
        const QString bin = root.filePath("bin");
        const QString installed = root.filePath("share/velkintree/help");
        QVERIFY(root.mkpath("bin"));
        QCOMPARE(HelpWindow::HelpFolderFor(bin), bin + "/help");
        QVERIFY(root.mkpath("share/velkintree/help"));
        QCOMPARE(HelpWindow::HelpFolderFor(bin), installed);
        QCOMPARE(HelpWindow::HelpFolderFor(bin + "/"), installed);
        QVERIFY(root.mkpath("bin/help"));
        QCOMPARE(HelpWindow::HelpFolderFor(bin), bin + "/help");
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
