// Privacy and reports through the program itself, over a database in a temporary folder: a
// generated tree with living and private persons exported as GEDCOM, SVG, PDF and a report
// with --privacy living shows nothing of theirs (and everything without it); the reports of
// the public samples name every person of their generations with the years, one endnote per
// citation and every name in the index.
#include "ModelStore.h"
#include "ReportDocument.h"
#include "mDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <deque>

using namespace Genealogy;

namespace {

const QString kSamples = QStringLiteral(VT_GEDCOM_SAMPLES);

// What a living or private person of the generated tree could leak: names, years, places.
const QStringList kSecrets{"Livia",    "Kiddo",       "Secretname", "Hiddenplace",
                           "Privatus", "Secret note", "1962",       "1991"};

// Twenty lines of four generations: the first two dead, the last two living; a private person
// beside each; every birth cited.
QByteArray generatedGedcom()
{
    QByteArray g = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n1 CHAR UTF-8\n"
                   "0 @S1@ SOUR\n1 TITL Generated register\n";
    for (int i = 0; i < 20; ++i) {
        const QByteArray n = QByteArray::number(i);
        const auto person = [&](const char *id, const QByteArray &name, const char *sex,
                                const QByteArray &birth, const QByteArray &place,
                                const QByteArray &death, const QByteArray &extra) {
            g += "0 @" + QByteArray(id) + n + "@ INDI\n1 NAME " + name + "\n1 SEX " + sex +
                 "\n1 BIRT\n2 DATE " + birth + "\n2 PLAC " + place + "\n2 SOUR @S1@\n3 PAGE p" +
                 id + n + "\n";
            if (!death.isEmpty())
                g += "1 DEAT\n2 DATE " + death + "\n";
            g += extra;
        };
        person("O", "Oldman" + n + " /Elder/", "M", "3 MAR 1850", "Oldtown", "1920",
               "1 FAMS @F" + n + "@\n");
        person("M", "Middle" + n + " /Elder/", "M", "4 APR 1880", "Oldtown", "1961",
               "1 FAMC @F" + n + "@\n1 FAMS @G" + n + "@\n");
        person("L", "Livia" + n + " /Secretname/", "F", "5 MAY 1962", "Hiddenplace" + n, "",
               "1 FAMC @G" + n + "@\n1 FAMS @H" + n + "@\n1 NOTE Secret note " + n + "\n");
        person("K", "Kiddo" + n + " /Secretname/", "M", "6 JUN 1991", "Hiddenplace" + n, "",
               "1 FAMC @H" + n + "@\n");
        person("P", "Privatus" + n + " /Elder/", "F", "1 JAN 1851", "Oldtown", "1930",
               "1 RESN privacy\n1 FAMS @F" + n + "@\n");
        g += "0 @F" + n + "@ FAM\n1 HUSB @O" + n + "@\n1 WIFE @P" + n + "@\n1 CHIL @M" + n +
             "@\n1 MARR\n2 DATE 1879\n";
        g += "0 @G" + n + "@ FAM\n1 HUSB @M" + n + "@\n1 CHIL @L" + n + "@\n";
        g += "0 @H" + n + "@ FAM\n1 WIFE @L" + n + "@\n1 CHIL @K" + n +
             "@\n1 MARR\n2 DATE 1990\n"
             "2 PLAC Hiddenplace" +
             n + "\n";
    }
    return g + "0 TRLR\n";
}

struct Outcome
{
    int code = -1;
    QString out, err;
};

} // namespace

class tst_privacyreports : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_data;
    bool m_samples = false;

    Outcome program(const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_dir.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath("config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath("share"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VT_PROGRAM), QStringList{"--data", m_data} + arguments);
        process.waitForFinished(300000);
        Outcome o;
        o.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        o.out = QString::fromUtf8(process.readAllStandardOutput());
        o.err = QString::fromUtf8(process.readAllStandardError());
        return o;
    }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    static QString textOf(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // The text of a PDF through pdftotext, or a null text when it is not installed.
    static QString pdfText(const QString &path)
    {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (tool.isEmpty())
            return QString();
        QProcess p;
        p.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput()) + QLatin1Char(' ');
    }
    static QStringList leaks(const QString &text)
    {
        QStringList found;
        for (const QString &secret : kSecrets)
            if (text.contains(secret))
                found << secret;
        return found;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_data = m_dir.filePath(QStringLiteral("Data"));
        QFile ged(file(QStringLiteral("generated.ged")));
        QVERIFY(ged.open(QIODevice::WriteOnly));
        ged.write(generatedGedcom());
        ged.close();
        const Outcome imported =
            program({"--import-gedcom", ged.fileName(), "--tree", "Generated"});
        QVERIFY2(imported.code == 0, qPrintable(imported.err));
        m_samples = QFileInfo::exists(kSamples + QStringLiteral("/royal92.ged")) &&
                    QFileInfo::exists(kSamples + QStringLiteral("/pres2020.ged"));
        if (m_samples) {
            QCOMPARE(
                program({"--import-gedcom", kSamples + "/royal92.ged", "--tree", "royal"}).code, 0);
            QCOMPARE(
                program({"--import-gedcom", kSamples + "/pres2020.ged", "--tree", "pres"}).code, 0);
        }
    }

    void hidingTheLivingInEveryExport()
    {
        // Without a choice everything is written: the secrets are there to be found.
        QCOMPARE(program({"--export-gedcom", "Generated", file("whole.ged")}).code, 0);
        QCOMPARE(leaks(textOf(file("whole.ged"))), kSecrets);

        const Outcome ged =
            program({"--export-gedcom", "Generated", file("hidden.ged"), "--privacy", "living"});
        QVERIFY2(ged.code == 0, qPrintable(ged.err));
        const QString gedText = textOf(file("hidden.ged"));
        QCOMPARE(leaks(gedText), QStringList());
        QCOMPARE(gedText.count(QStringLiteral("1 NAME Living")), 40);
        QVERIFY(gedText.contains(QStringLiteral("Oldman7 /Elder/")));
        QVERIFY(gedText.contains(QStringLiteral("PAGE pM7"))); // the dead keep their sources

        const Outcome svg = program({"--export-chart", "Generated", file("chart.svg"), "--person",
                                     "O3", "--descendants", "--privacy", "living"});
        QVERIFY2(svg.code == 0, qPrintable(svg.err));
        const QString svgText = textOf(file("chart.svg"));
        QCOMPARE(leaks(svgText), QStringList());
        QVERIFY(svgText.contains(QStringLiteral("Living")));
        QVERIFY(svgText.contains(QStringLiteral("Middle3")));
        QCOMPARE(program({"--export-chart", "Generated", file("whole.svg"), "--person", "O3",
                          "--descendants"})
                     .code,
                 0);
        QVERIFY(textOf(file("whole.svg")).contains(QStringLiteral("Kiddo3")));

        const Outcome pdf = program({"--export-chart", "Generated", file("chart.pdf"), "--person",
                                     "O3", "--descendants", "--privacy", "living"});
        QVERIFY2(pdf.code == 0, qPrintable(pdf.err));
        const Outcome rep =
            program({"--report", "descendants", "Generated", file("report.pdf"), "--person", "O3",
                     "--generations", "4", "--privacy", "living"});
        QVERIFY2(rep.code == 0, qPrintable(rep.err));
        QVERIFY(
            rep.out.startsWith(QStringLiteral("wrote the descendants report of O3: 4 persons")));
        QCOMPARE(program({"--report", "descendants", "Generated", file("report.odt"), "--person",
                          "O3", "--privacy", "living"})
                     .code,
                 0);
        QVERIFY(QFileInfo(file("report.odt")).size() > 0);
        // A private person is left out: a report about one says so.
        const Outcome about = program({"--report", "family", "Generated", file("p.pdf"), "--person",
                                       "P3", "--privacy", "living"});
        QCOMPARE(about.code, 1);
        QVERIFY(about.err.contains(QStringLiteral("private")));
        QVERIFY(!QFileInfo::exists(file("p.pdf")));
        QCOMPARE(program({"--report", "family", "Generated", file("x.pdf"), "--person", "O3",
                          "--privacy", "everyone"})
                     .code,
                 1);

        const QString chartPdf = pdfText(file("chart.pdf"));
        const QString reportPdf = pdfText(file("report.pdf"));
        if (chartPdf.isNull())
            QSKIP("pdftotext is not installed: the PDFs were written but not read back.");
        QCOMPARE(leaks(chartPdf), QStringList());
        QCOMPARE(leaks(reportPdf), QStringList());
        QVERIFY(reportPdf.contains(QStringLiteral("Middle3")));
        QVERIFY(reportPdf.contains(QStringLiteral("Living")));
    }

    void reportsOfThePublicSamples_data()
    {
        QTest::addColumn<QString>("tree");
        QTest::addColumn<QString>("person"); // Fname and Sname
        QTest::addColumn<bool>("ancestors");
        QTest::addColumn<int>("generations");
        QTest::newRow("Victoria's descendants") << "royal"
                                                << "Victoria|Hanover" << false << 3;
        QTest::newRow("Washington's ancestors") << "pres"
                                                << "George|Washington" << true << 5;
    }

    void reportsOfThePublicSamples()
    {
        if (!m_samples)
            QSKIP("The public GEDCOM samples are not there.");
        QFETCH(QString, tree);
        QFETCH(QString, person);
        QFETCH(bool, ancestors);
        QFETCH(int, generations);
        mDatabase store;
        store.SetPaths(m_data + QLatin1Char('/'), m_data + QStringLiteral("/people.db"));
        QVERIFY(store.OpenDatabase());
        Result<ModelSlice> read = ModelStore::readTree(store, tree);
        QVERIFY(read);
        const ModelSlice slice = *read;
        int root = -1;
        for (size_t i = 0; i < slice.rows.size() && root < 0; ++i)
            if (slice.rows[i].Fname == person.section('|', 0, 0) &&
                slice.rows[i].Sname == person.section('|', 1, 1))
                root = int(i);
        QVERIFY(root >= 0);

        // The generations, walked here on their own over the model's families.
        QHash<int, QList<int>> next;
        const TreeModel &m = slice.model;
        for (const ChildLink &link : m.childLinks.all()) {
            for (quint32 partner : m.families[link.family].partner) {
                if (partner == kNoIndex)
                    continue;
                if (ancestors)
                    next[int(link.child)] << int(partner);
                else
                    next[int(partner)] << int(link.child);
            }
        }
        QHash<int, int> depth{{root, 0}};
        std::deque<int> queue{root};
        while (!queue.empty()) {
            const int p = queue.front();
            queue.pop_front();
            if (depth.value(p) + 1 >= generations)
                continue;
            for (int q : next.value(p))
                if (!depth.contains(q)) {
                    depth.insert(q, depth.value(p) + 1);
                    queue.push_back(q);
                }
        }
        // The citations of those told in full: their own, their names', their events', and
        // those of their families as partners and the families' events.
        QSet<quint32> citations;
        const auto cite = [&](Ref owner) {
            for (quint32 c : m.citationsOf(owner))
                citations.insert(c);
        };
        for (auto it = depth.cbegin(); it != depth.cend(); ++it) {
            const quint32 p = quint32(it.key());
            cite(Ref(Kind::Person, p));
            for (quint32 n : m.namesOf(p))
                cite(Ref(Kind::Name, n));
            for (quint32 e : m.eventsOf(Ref(Kind::Person, p)))
                cite(Ref(Kind::Event, e));
            for (quint32 s : m.partnershipsOf(p)) {
                const quint32 f = m.partnerships[s].family;
                cite(Ref(Kind::Family, f));
                for (quint32 e : m.eventsOf(Ref(Kind::Family, f)))
                    cite(Ref(Kind::Event, e));
            }
        }

        const QString key = slice.rows[size_t(root)].ID;
        const QString pdf = file(tree + QStringLiteral(".pdf"));
        const Outcome run =
            program({"--report", ancestors ? "ancestors" : "descendants", tree, pdf, "--person",
                     key, "--generations", QString::number(generations)});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        const QRegularExpression summary(
            QStringLiteral("(\\d+) persons, (\\d+) endnotes, (\\d+) names in the index"));
        const QRegularExpressionMatch counts = summary.match(run.out);
        QVERIFY2(counts.hasMatch(), qPrintable(run.out));
        QCOMPARE(counts.captured(1).toInt(), int(depth.size()));
        QCOMPARE(counts.captured(2).toInt(), int(citations.size()));

        // The text the PDF is made of: every person with its years, in the body and the index.
        const Reports::ReportTree reportTree(slice);
        Reports::ReportRequest request;
        request.kind =
            ancestors ? Reports::ReportKind::Ancestors : Reports::ReportKind::Descendants;
        request.person = root;
        request.generations = generations;
        const Reports::ReportResult result = Reports::buildReport(reportTree, request);
        const QString text = result.document->toPlainText();
        const QString index = text.mid(text.lastIndexOf(QStringLiteral("Index of names")));
        QCOMPARE(result.endnotes, int(citations.size()));
        for (auto it = depth.cbegin(); it != depth.cend(); ++it) {
            const QString told =
                reportTree.fullName(it.key()) + QLatin1Char(' ') + reportTree.years(it.key());
            QVERIFY2(text.contains(told), qPrintable(told));
            QVERIFY2(index.contains(reportTree.indexName(it.key())),
                     qPrintable(reportTree.indexName(it.key())));
            const QString born = yearOfRow(slice.rows[size_t(it.key())].Bdate);
            if (!born.isEmpty())
                QVERIFY2(reportTree.years(it.key()).contains(born), qPrintable(told));
        }
        const QString pdfTextRead = pdfText(pdf);
        if (!pdfTextRead.isNull()) {
            QVERIFY(pdfTextRead.contains(reportTree.fullName(root)));
            QVERIFY(pdfTextRead.contains(QStringLiteral("Index of names")));
        }
    }

private:
    // The year of a row's date read here on its own: its first four-digit number.
    static QString yearOfRow(const QString &date)
    {
        const QRegularExpressionMatch year =
            QRegularExpression(QStringLiteral("(\\d{4})")).match(date);
        return year.hasMatch() ? year.captured(1) : QString();
    }
};

QTEST_MAIN(tst_privacyreports)
#include "tst_privacyreports.moc"
