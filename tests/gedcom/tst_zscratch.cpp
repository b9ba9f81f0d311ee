#include "support_gedcom.h"
#include "support_model.h"
#include <QTest>
#include <cstdio>
class Scratch : public QObject { Q_OBJECT
private slots:
  void dump() {
    const QString path = qEnvironmentVariable("GEDFILE");
    const bool v7 = qEnvironmentVariableIsSet("V7");
    QFile f(path); QVERIFY(f.open(QIODevice::ReadOnly));
    const Gedcom::MappedTree t = TestModel::map(f.readAll());
    const QByteArray out = TestModel::write(t, v7 ? Gedcom::Version::Gedcom70 : Gedcom::Version::Gedcom551);
    QFile o(qEnvironmentVariable("OUTFILE")); QVERIFY(o.open(QIODevice::WriteOnly)); o.write(out);
    const Gedcom::MappedTree t2 = TestModel::map(out);
    const QByteArray out2 = TestModel::write(t2, v7 ? Gedcom::Version::Gedcom70 : Gedcom::Version::Gedcom551);
    QFile o2(qEnvironmentVariable("OUTFILE") + ".2"); QVERIFY(o2.open(QIODevice::WriteOnly)); o2.write(out2);
    const QStringList c1 = TestModel::check(t), c2 = TestModel::check(t2);
    if (!c1.isEmpty() || !c2.isEmpty()) std::printf("CHECK: %s | %s\n", qPrintable(c1.join("; ")), qPrintable(c2.join("; ")));
    QFile r(qEnvironmentVariable("OUTFILE") + ".rows"); QVERIFY(r.open(QIODevice::WriteOnly));
    for (const auto &row : t.rows) { const auto &x = row.record;
      r.write(QStringList{x.ID, x.PrntKey, x.Fname, x.Sname, x.PrtFname, x.PrtSname, x.Bdate, x.Ddate, x.Bplace, x.Dplace, x.Laddress, x.Lcity, x.Lcountry, x.Notes}.join(" | ").toUtf8() + "\n"); }
    std::printf("%s\n", qPrintable(t.summary()));
    std::printf("%s\n", qPrintable(t.resultLineTail()));
  }
};
QTEST_GUILESS_MAIN(Scratch)
#include "tst_zscratch.moc"
