// The public sample files through the mapping onto rows and model and back: the second write is
// byte for byte the first, the tree check is clean on both imports, and no parent or partner
// link appears that the file lacks.
#include "support_gedcom.h"
#include "support_model.h"

#include <QDirIterator>
#include <QTest>

using namespace Gedcom;

class TestModelRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void samples_data();
    void samples();
};

void TestModelRoundTrip::samples_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("version7");
    for (const char *name : {"royal92.ged", "pres2020.ged", "utf8-bom.ged", "utf16le.ged"}) {
        const QString path = TestGedcom::samplePath(name);
        if (!path.isEmpty())
            QTest::newRow(name) << path << false;
    }
    const QString folder = QStringLiteral(VT_GEDCOM_SAMPLES "/gedcom70");
    QStringList files = QDir(folder).entryList({QStringLiteral("*.ged")}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << QDir(folder).filePath(file) << true;
    if (QTest::currentDataTag() == nullptr && files.isEmpty() &&
        TestGedcom::samplePath("royal92.ged").isEmpty())
        QSKIP("The public GEDCOM samples are not there.");
}

void TestModelRoundTrip::samples()
{
    QFETCH(QString, path);
    QFETCH(bool, version7);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    const Version version = version7 ? Version::Gedcom70 : Version::Gedcom551;

    const MappedTree first = TestModel::map(original);
    QVERIFY2(first.isValid(), qPrintable(first.error));
    QCOMPARE(TestModel::check(first), QStringList());
    const QByteArray written = TestModel::write(first, version);

    const MappedTree second = TestModel::map(written);
    QVERIFY2(second.isValid(), qPrintable(second.error));
    QCOMPARE(TestModel::check(second), QStringList());
    QCOMPARE(second.rows.size(), first.rows.size());
    const QByteArray again = TestModel::write(second, version);
    if (again != written) {
        const QList<QByteArray> a = written.split('\n'), b = again.split('\n');
        for (qsizetype i = 0; i < qMin(a.size(), b.size()); ++i) {
            if (a[i] != b[i]) {
                qWarning("line %lld differs:\n  %s\n  %s", static_cast<long long>(i + 1),
                         a[i].constData(), b[i].constData());
                break;
            }
        }
    }
    QVERIFY(again == written);

    // No link the file lacks; every link of the file that the model can hold comes back.
    const TestModel::Links before = TestModel::links(original);
    const TestModel::Links after = TestModel::links(again);
    for (const QString &link : after.parents)
        QVERIFY2(before.parents.contains(link), qPrintable(link));
    for (const QString &link : after.partners)
        QVERIFY2(before.partners.contains(link), qPrintable(link));
}

QTEST_GUILESS_MAIN(TestModelRoundTrip)
#include "tst_modelroundtrip.moc"
