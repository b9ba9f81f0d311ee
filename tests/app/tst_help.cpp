// The help pages and the help window: every page exists, every link between pages leads
// somewhere, and the topics open the right page.
#include "HelpWindow.h"
#include "MessageService.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

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
        for (int topic : {0, 1000, 1010, 1020, 1030, 1040, 1050, 1060})
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

    void missingFolderSaysSo()
    {
        HelpWindow window(QStringLiteral("/nonexistent/help"));
        window.ShowTopic(0);
        QVERIFY(window.browser()->toPlainText().contains("Help not found"));
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
