// Find Person on a large tree: the index is built on a worker while the dialog is open and says
// so; what the user typed meanwhile is searched once it is ready, and the person chosen opens.
// The links of the charts through families likewise: made on a worker from the moment the
// relationship's dialog opens, kept while the tree stays, made again when it changes, the time
// they took in the status bar.
#include "ChartViewCommands.h"
#include "DescendantChartData.h"
#include "DescendantChartView.h"
#include "DescendantChartWindow.h"
#include "FindPersonDialog.h"
#include "ModalSeam.h"
#include "PersonFinder.h"
#include "ScriptedMessageService.h"
#include "support_MainWindowFixture.h"

#include <QLabel>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

class tst_findworker : public QObject
{
    Q_OBJECT

private slots:
    void indexBuiltOnAWorker()
    {
        MainWindowFixture w([](mDatabase &db) {
            QVERIFY(db.CreateTree(QStringLiteral("Many")));
            PersonRecord root;
            root.ID = QStringLiteral("p0");
            root.PrntKey = QStringLiteral("ROOT");
            root.Fname = QStringLiteral("Ada");
            root.Sname = QStringLiteral("Root");
            QVERIFY(db.InsertPerson(QStringLiteral("Many"), root));
            for (int i = 1; i < 300; ++i) {
                PersonRecord r;
                r.ID = QStringLiteral("p%1").arg(i);
                r.PrntKey = QStringLiteral("p%1").arg((i - 1) / 3);
                r.Fname = i == 250 ? QStringLiteral("Emilia") : QStringLiteral("Name%1").arg(i);
                r.Sname = QStringLiteral("Line");
                QVERIFY(db.InsertPerson(QStringLiteral("Many"), r));
            }
        });
        QVERIFY(w.main->Tree().Load(QStringLiteral("Many")));
        w.main->Charts().SetWorkerIndexFrom(100); // this tree counts as large
        QString told;
        int found = -1;
        bool waited = false;
        {
            ScopedModalDriver driver([&](QDialog &d) {
                auto *find = qobject_cast<FindPersonDialog *>(&d);
                if (!find)
                    return int(QDialog::Rejected);
                told = find->findChild<QLabel *>(QStringLiteral("lblCount"))->text();
                find->setQuery(QStringLiteral("emil")); // typed before the index is there
                if (!find->HasFinder()) {
                    QSignalSpy ready(find, &FindPersonDialog::FinderReady);
                    waited = ready.wait(60000);
                }
                found = find->MatchCount();
                find->accept();
                return int(find->result());
            });
            w.menu("mnuPersonFind");
        }
        QCOMPARE(told, FindPersonDialog::BuildingText(300));
        QVERIFY(waited);
        QCOMPARE(found, 1);
        QCOMPARE(w.main->Tree().SelectedKey(), QStringLiteral("p250"));
        // The index is kept: the next search has it at once.
        {
            ScopedModalDriver driver([&](QDialog &d) {
                auto *find = qobject_cast<FindPersonDialog *>(&d);
                told = find ? find->findChild<QLabel *>(QStringLiteral("lblCount"))->text()
                            : QString();
                return int(QDialog::Rejected);
            });
            w.menu("mnuPersonFind");
        }
        QCOMPARE(told, FindPersonDialog::CountText(300));
    }

    void linksMadeOnAWorker()
    {
        MainWindowFixture w([](mDatabase &db) {
            QVERIFY(db.CreateTree(QStringLiteral("Many")));
            for (int i = 0; i < 300; ++i) {
                PersonRecord r;
                r.ID = QStringLiteral("p%1").arg(i);
                r.PrntKey =
                    i == 0 ? QStringLiteral("ROOT") : QStringLiteral("p%1").arg((i - 1) / 3);
                r.Fname = QStringLiteral("Name%1").arg(i);
                r.Sname = QStringLiteral("Line");
                QVERIFY(db.InsertPerson(QStringLiteral("Many"), r));
            }
        });
        QVERIFY(w.main->Tree().Load(QStringLiteral("Many")));
        ScriptedMessageService messages; // "Show the line between them as a chart?": no
        ScopedMessageService scoped(messages);
        messages.setResponder([](const MessageRequest &) { return MsgResult::No; });
        ChartViewCommands &charts = w.main->Charts();
        charts.SetWorkerIndexFrom(100); // this tree counts as large
        QVERIFY(!charts.Kinship().Building());
        // The relationship: the links are under way while the second person is chosen.
        w.main->Tree().Select(QStringLiteral("p250"), true);
        bool building = false;
        QString text;
        {
            ScopedModalDriver driver([&](QDialog &d) {
                auto *find = qobject_cast<FindPersonDialog *>(&d);
                if (!find)
                    return int(QDialog::Rejected);
                building = charts.Kinship().Building();
                find->setQuery(QStringLiteral("Name9 Line"));
                if (!find->HasFinder()) {
                    QSignalSpy ready(find, &FindPersonDialog::FinderReady);
                    ready.wait(60000);
                }
                find->accept();
                return int(find->result());
            });
            text = charts.ShowRelationship();
        }
        QVERIFY(building);
        QVERIFY2(text.contains(QStringLiteral("Name250 Line is the")), qPrintable(text));
        QVERIFY(!charts.Kinship().Building());
        const QString built = charts.Kinship().LastBuildText();
        QVERIFY2(built.startsWith(QStringLiteral("The links of 300 persons were built in ")),
                 qPrintable(built));
        QCOMPARE(w.main->statusBar()->currentMessage(), built);
        // Kept while the tree stays: the ancestor chart opens on the same links.
        w.main->Tree().Select(QStringLiteral("p250"), true);
        charts.ShowAncestors();
        QCOMPARE(charts.DescendantWindows().size(), 1);
        QCOMPARE(charts.DescendantWindows().first()->View()->Chart()->Tree().Count(), 6);
        QVERIFY(!charts.Kinship().Building());
        // The tree loaded again: the links go. A making started and left (the dialog
        // cancelled) is let go when the tree changes again; the next question makes them anew.
        QVERIFY(w.main->LoadTree(QStringLiteral("Many")));
        w.main->Tree().Select(QStringLiteral("p5"), true);
        {
            ScopedModalDriver driver([](QDialog &) { return int(QDialog::Rejected); });
            QVERIFY(charts.ShowRelationship().isEmpty());
        }
        QVERIFY(charts.Kinship().Building());
        QVERIFY(w.main->LoadTree(QStringLiteral("Many")));
        QVERIFY(!charts.Kinship().Building());
        w.main->Tree().Select(QStringLiteral("p5"), true);
        text = charts.ShowRelationship(QStringLiteral("p1"));
        QVERIFY2(text.contains(QStringLiteral("Name5 Line is the")), qPrintable(text));
        QVERIFY(charts.Kinship().LastBuildText().startsWith(QStringLiteral("The links of 300")));
    }

    void compactIndexFindsAsBefore()
    {
        // Words of every kind of letter, keys of several words, a person with no name.
        cPeople people;
        const auto add = [&people](const char *key, const char *first, const char *last) {
            PersonRecord r;
            r.ID = QString::fromUtf8(key);
            r.Fname = QString::fromUtf8(first);
            r.Sname = QString::fromUtf8(last);
            people.Add(cPerson(r));
        };
        add("k1", "Zoë", "Löfgren");
        add("k2", "Ann", "Lofthouse");
        add("x-9 b", "", "");
        add("k4", "李", "小龍");
        add("k5", "Mary-Anne", "Ånström");
        PersonFinder finder;
        finder.Build(people);
        QVERIFY(finder.Bytes() > 0);
        const auto keys = [&finder](const char *query) {
            QStringList out;
            for (int rank : finder.Find(QString::fromUtf8(query)))
                out << finder.KeyAt(rank);
            out.sort();
            return out.join(QLatin1Char(' '));
        };
        QCOMPARE(keys("lof"), QStringLiteral("k1 k2"));
        QCOMPARE(keys("ann"), QStringLiteral("k2 k5"));
        QCOMPARE(keys("anstr"), QStringLiteral("k5"));
        QCOMPARE(keys("小"), QStringLiteral("k4"));
        QCOMPARE(keys("b x"), QStringLiteral("x-9 b"));
        QCOMPARE(keys("zz"), QString());
        QCOMPARE(int(finder.Find(QString()).size()), 5);
    }
};

QTEST_MAIN(tst_findworker)
#include "tst_findworker.moc"
