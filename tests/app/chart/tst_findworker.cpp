// Find Person on a large tree: the index is built on a worker while the dialog is open and says
// so; what the user typed meanwhile is searched once it is ready, and the person chosen opens.
#include "ChartViewCommands.h"
#include "FindPersonDialog.h"
#include "ModalSeam.h"
#include "PersonFinder.h"
#include "support_MainWindowFixture.h"

#include <QLabel>
#include <QSignalSpy>
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
