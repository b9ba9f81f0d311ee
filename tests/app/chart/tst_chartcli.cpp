// The command line's chart export, run in-process over a database in a temporary folder: the
// three kinds of chart, the line printed, and failures that say why and leave no file.
#include "ChartCli.h"
#include "ModelStore.h"
#include "mDatabase.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

class tst_chartcli : public QObject
{
    Q_OBJECT

    struct Run
    {
        int code = -1;
        QString out;
        QString err;
    };

    QTemporaryDir m_dir;
    QString m_data;

    Run run(const ChartCliRequest &request, const QString &data = QString())
    {
        Run result;
        QTextStream out(&result.out);
        QTextStream err(&result.err);
        result.code = RunChartExport(request, data.isEmpty() ? m_data : data, out, err);
        return result;
    }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // The title an SVG drawing carries.
    static QString svgTitle(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QStringLiteral("(no file)");
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("<title>(.*?)</title>"))
                                              .match(QString::fromUtf8(f.readAll()));
        return m.hasMatch() ? m.captured(1) : QStringLiteral("(no title)");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_data = m_dir.filePath(QStringLiteral("Data")) + QLatin1Char('/');
        mDatabase store; // a new database holds the example tree
        store.SetPaths(m_data, m_data + QStringLiteral("people.db"));
        QVERIFY(store.OpenDatabase());
        PersonRecord orphan;
        orphan.ID = QStringLiteral("99");
        orphan.PrntKey = QStringLiteral("77");
        orphan.Fname = QStringLiteral("Olle");
        QVERIFY(store.InsertPerson(QStringLiteral("Example"), orphan));
        QVERIFY(store.CreateTree(QStringLiteral("Empty")));

        // "Secrets": Hand (dead), his living daughter Liv and his son Prior, marked private;
        // "Outside": one person outside the line, whom no chart shows.
        const auto add = [&store](const char *tree, const char *id, const char *parent,
                                  const char *first, const char *born, const char *died) {
            PersonRecord r;
            r.ID = QString::fromLatin1(id);
            r.PrntKey = QString::fromLatin1(parent);
            r.Fname = QString::fromLatin1(first);
            r.Sname = QStringLiteral("Oak");
            r.Bdate = QString::fromLatin1(born);
            r.Ddate = QString::fromLatin1(died);
            QVERIFY(store.InsertPerson(QString::fromLatin1(tree), r));
        };
        QVERIFY(store.CreateTree(QStringLiteral("Secrets")));
        add("Secrets", "h1", "ROOT", "Hand", "1800", "1870");
        add("Secrets", "l1", "h1", "Liv", "1990", "");
        add("Secrets", "p1", "h1", "Prior", "1830", "1900");
        Genealogy::ModelSlice secrets = ModelStore::readTree(store, "Secrets").value();
        for (const Genealogy::PersonRow &row : secrets.rows) {
            Genealogy::PersonSide side;
            if (row.ID == QLatin1String("p1"))
                side.privacy = Genealogy::Privacy::Private;
            secrets.model.persons.add(side);
        }
        QVERIFY(ModelStore::saveModel(store, "Secrets", secrets.rows, secrets.model));
        QVERIFY(store.CreateTree(QStringLiteral("Outside")));
        add("Outside", "o1", "", "Ona", "1800", "1870");
    }

    void exportsTheThreeCharts_data()
    {
        QTest::addColumn<QString>("person");
        QTest::addColumn<bool>("descendants");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("boxes");
        // Roots, Thomas's children, William's children.
        QTest::newRow("person") << "9" << false << "helen.svg" << 8;
        QTest::newRow("every root") << "" << true << "all.svg" << 15;
    }

    void exportsTheThreeCharts()
    {
        QFETCH(QString, person);
        QFETCH(bool, descendants);
        QFETCH(QString, name);
        QFETCH(int, boxes);
        const Run r = run({QStringLiteral("example"), file(name), person, descendants});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out,
                 QStringLiteral("exported chart of %1 boxes to %2\n").arg(boxes).arg(file(name)));
        QCOMPARE(r.err, QString());
        QVERIFY(QFileInfo(file(name)).size() > 0);
    }

    void brokenLineIsReported()
    {
        const Run r = run({QStringLiteral("Example"), file("orphan.svg"), QStringLiteral("99")});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.endsWith(
            QStringLiteral("exported chart of 3 boxes to %1\n").arg(file("orphan.svg"))));
        QVERIFY(r.err.contains(QStringLiteral("the parent key '77' names nobody")));
    }

    // A person outside the line (an empty parent key) has no box: --person gives the root row,
    // with nothing told of a line of ancestors.
    void outsidePersonAddsNoBox()
    {
        {
            mDatabase store;
            store.SetPaths(m_data, m_data + QStringLiteral("people.db"));
            QVERIFY(store.OpenDatabase());
            PersonRecord outside;
            outside.ID = QStringLiteral("98");
            outside.Fname = QStringLiteral("Ona");
            QVERIFY(store.InsertPerson(QStringLiteral("Example"), outside));
        }
        const Run roots = run({QStringLiteral("Example"), file("roots.svg"), QString()});
        const Run r = run({QStringLiteral("Example"), file("outside.svg"), QStringLiteral("98")});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out.section(QLatin1Char(' '), 0, 5), roots.out.section(QLatin1Char(' '), 0, 5));
    }

    // The title of the main chart does not name a living person the privacy choice hides, nor
    // call the person "Living": it names the tree, as the window's does.
    void privacyTitleNamesNoHiddenPerson()
    {
        Genealogy::PrivacyOptions privateOnly, living;
        QVERIFY(Genealogy::PrivacyOptions::fromWord(QStringLiteral("private"), privateOnly));
        QVERIFY(Genealogy::PrivacyOptions::fromWord(QStringLiteral("living"), living));
        const auto titleOf = [this](const char *key, const Genealogy::PrivacyOptions &privacy) {
            ChartCliRequest request{QStringLiteral("Secrets"), file(QStringLiteral("secret.svg")),
                                    QString::fromLatin1(key)};
            request.privacy = privacy;
            QFile::remove(request.file);
            const Run r = run(request);
            return r.code == 0 ? svgTitle(request.file) : r.err;
        };
        QCOMPARE(titleOf("l1", living), QStringLiteral("Secrets"));
        QCOMPARE(titleOf("L1", living), QStringLiteral("Secrets"));
        QCOMPARE(titleOf("l1", privateOnly), QStringLiteral("Secrets - Liv Oak"));
        QCOMPARE(titleOf("h1", living), QStringLiteral("Secrets - Hand Oak"));
    }

    // A chart of a person the privacy choice leaves out says so, whatever the chart.
    void chartOfAPrivatePersonIsRefused_data()
    {
        QTest::addColumn<QStringList>("kind");
        QTest::newRow("main") << QStringList();
        QTest::newRow("descendants") << QStringList{"descendants"};
        QTest::newRow("ancestors") << QStringList{"ancestors"};
        QTest::newRow("fan") << QStringList{"fan"};
        QTest::newRow("hourglass") << QStringList{"hourglass"};
    }
    void chartOfAPrivatePersonIsRefused()
    {
        QFETCH(QStringList, kind);
        ChartCliRequest request{QStringLiteral("Secrets"), file(QStringLiteral("prior.svg")),
                                QStringLiteral("P1")};
        request.descendants = kind.contains(QLatin1String("descendants"));
        request.ancestors = kind.contains(QLatin1String("ancestors"));
        request.hourglass = kind.contains(QLatin1String("hourglass"));
        request.fan = kind.contains(QLatin1String("fan")) ? 3 : 0;
        QFile::remove(request.file); // the last row's, written without the choice
        QVERIFY(Genealogy::PrivacyOptions::fromWord(QStringLiteral("private"), request.privacy));
        const Run r = run(request);
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err, QStringLiteral("The person 'P1' is private: a chart that leaves out the "
                                       "private has nothing to show of it.\n"));
        QVERIFY(!QFile::exists(request.file));
        request.privacy = {};
        QCOMPARE(run(request).code, 0);
    }

    // A chart with no box (its only person is outside the line) is a failure, said as the others
    // are, and writes nothing.
    void emptyChartIsAFailure()
    {
        const Run r = run({QStringLiteral("Outside"), file(QStringLiteral("outside.pdf")), {}});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err, QStringLiteral("The chart could not be written to 'outside.pdf': the "
                                       "chart is empty, there is nothing to export.\n"));
        QCOMPARE(r.out, QString());
        QVERIFY(!QFile::exists(file(QStringLiteral("outside.pdf"))));
    }

    void failuresSayWhyAndWriteNothing_data()
    {
        QTest::addColumn<QString>("tree");
        QTest::addColumn<QString>("person");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("noData");
        QTest::addColumn<QString>("message");
        QTest::newRow("no tree") << "Nope"
                                 << ""
                                 << "a.pdf" << false << "There is no tree named 'Nope' in";
        QTest::newRow("no person")
            << "Example"
            << "404"
            << "a.pdf" << false << "There is no person with the key '404' in this tree.";
        QTest::newRow("empty tree") << "Empty"
                                    << ""
                                    << "a.pdf" << false << "The tree 'Empty' has no persons";
        QTest::newRow("extension") << "Example"
                                   << ""
                                   << "a.jpg" << false << "does not end in .png, .svg or .pdf";
        QTest::newRow("folder") << "Example"
                                << ""
                                << "missing/a.pdf" << false
                                << "The chart could not be written to 'a.pdf'";
        QTest::newRow("database") << "Example"
                                  << ""
                                  << "a.pdf" << true << "There is no database in";
    }

    // A database that cannot be opened: the line says why, in the store's words.
    void unopenableDatabaseSaysWhy()
    {
        const QString data = m_dir.filePath(QStringLiteral("junk/"));
        QVERIFY(QDir().mkpath(data));
        QFile junk(data + QStringLiteral("people.db"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        const Run r = run({QStringLiteral("Example"), file("junk.svg"), QString(), false}, data);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("could not be opened.\n")), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("is not a database, or its beginning is damaged")),
                 qPrintable(r.err));
        QVERIFY(!QFile::exists(file("junk.svg")));
    }

    void failuresSayWhyAndWriteNothing()
    {
        QFETCH(QString, tree);
        QFETCH(QString, person);
        QFETCH(QString, name);
        QFETCH(bool, noData);
        QFETCH(QString, message);
        const QString target = file(name);
        const QString data = noData ? m_dir.filePath(QStringLiteral("none/")) : QString();
        const Run r = run({tree, target, person, false}, data);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.err.endsWith(QLatin1Char('\n')));
        QCOMPARE(r.out, QString());
        QVERIFY(!QFile::exists(target));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("none/people.db"))));
    }

    void failureKeepsAnExistingFile()
    {
        const QString target = file(QStringLiteral("kept.pdf"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("older chart");
        old.close();
        const Run r = run({QStringLiteral("Example"), target, QStringLiteral("404"), true});
        QCOMPARE(r.code, 1);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("older chart"));
    }
};

QTEST_MAIN(tst_chartcli)
#include "tst_chartcli.moc"
