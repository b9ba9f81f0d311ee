// The writer of structures puts every structure kept as read back where it stood: at its
// position among its parent's lines, under the line its path names, on the side its base
// names, at the end of its owner when its line is gone; pointers become the written ids.
#include "LineWriter.h"
#include "StructWriter.h"

#include <QTest>

using namespace Gedcom;
using namespace Gedcom::Model;
using namespace Genealogy;

namespace {

// A kept structure of one line (and optionally a pointer line under it).
void keep(TreeModel &m, Ref owner, const char *path, quint32 position, const char *tag,
          const char *value, Ref pointer = {})
{
    Kept kept;
    kept.owner = owner;
    kept.position = position;
    kept.path = m.text(QByteArrayView(path));
    kept.firstLine = m.keptLines.size();
    KeptLine line;
    line.tag = m.keptTag(tag);
    if (value) {
        line.kind = KeptLine::Value::Text;
        line.value = m.text(QByteArrayView(value));
    }
    m.keptLines.add(line);
    if (!pointer.isNull()) {
        KeptLine under;
        under.level = 1;
        under.tag = m.keptTag("_TO");
        under.kind = KeptLine::Value::Pointer;
        under.target = pointer;
        m.keptLines.add(under);
    }
    kept.lineCount = m.keptLines.size() - kept.firstLine;
    m.kept.add(kept);
}

QByteArray idOf(Ref ref)
{
    if (ref.is(Kind::Person))
        return "@I" + QByteArray::number(ref.index() + 1) + '@';
    return "@VOID@";
}

} // namespace

class TestStructWriter : public QObject
{
    Q_OBJECT

private slots:
    void keptStructuresStandWhereTheyStood();
    void sidesAndRecordsOfTheirOwn();
    void linesAsWritten();
};

// Every form of line, at levels of one digit and of two (kept structures can be that deep).
void TestStructWriter::linesAsWritten()
{
    for (const Version version : {Version::Gedcom551, Version::Gedcom70}) {
        LineWriter w(version);
        w.record("@I1@", "INDI");
        w.record({}, "TRLR");
        w.plain(1, "SEX", "F");
        w.plain(2, "DATA", {});
        w.plain(12, "_DEEP", "value");
        w.plain(10, "_DEEP", {});
        w.pointer(1, "FAMS", "@F1@");
        w.pointer(1, "FAMC", {});
        w.pointer(11, "_TO", "@I2@");
        w.text(3, "NOTE", QStringLiteral("one\ntwo @ three"));
        w.text(9, "NOTE", QStringLiteral("@x"));
        const QByteArray at = version == Version::Gedcom551 ? "two @@ three" : "two @ three";
        const QByteArray leading = version == Version::Gedcom551 ? "@@x" : "@@x";
        QCOMPARE(w.take(), QByteArray("0 @I1@ INDI\n0 TRLR\n1 SEX F\n2 DATA\n12 _DEEP value\n"
                                      "10 _DEEP\n1 FAMS @F1@\n1 FAMC \n11 _TO @I2@\n3 NOTE one\n"
                                      "4 CONT ") +
                               at + "\n9 NOTE " + leading + "\n");
    }
}

void TestStructWriter::keptStructuresStandWhereTheyStood()
{
    TreeModel m;
    m.persons.resize(2);
    const Ref person(Kind::Person, 0);
    keep(m, person, "", 0, "_FIRST", "a");
    keep(m, person, "", 2, "_THIRD", "b", Ref(Kind::Person, 1));
    keep(m, person, "", 9, "_LAST", nullptr, Ref(Kind::Source, 4));
    keep(m, person, "BIRT:0/PLAC:0", 0, "_LOC", "under the place");
    keep(m, person, "BIRT:1", 0, "_GONE", "its line is not written");
    keep(m, Ref(Kind::Person, 1), "", 0, "_OTHER", "not this person's");
    LineWriter out(Version::Gedcom551);
    StructWriter w(out, m, Version::Gedcom551, idOf);
    w.record("@I1@", "INDI", QString(), person);
    w.leaf("NAME", "A /B/");
    w.open("BIRT");
    w.open("PLAC", "York");
    w.leafPlain("FORM", "Town");
    w.close();
    w.close();
    w.leafPlain("SEX", "F");
    w.record({}, "TRLR");
    w.close();
    QCOMPARE(QString::fromUtf8(out.take()), QStringLiteral("0 @I1@ INDI\n"
                                                           "1 _FIRST a\n"
                                                           "1 NAME A /B/\n"
                                                           "1 _THIRD b\n"
                                                           "2 _TO @I2@\n"
                                                           "1 BIRT\n"
                                                           "2 PLAC York\n"
                                                           "3 _LOC under the place\n"
                                                           "3 FORM Town\n"
                                                           "1 SEX F\n"
                                                           "1 _LAST\n"
                                                           "2 _TO @VOID@\n"
                                                           "1 _GONE its line is not written\n"
                                                           "0 TRLR\n"));
}

void TestStructWriter::sidesAndRecordsOfTheirOwn()
{
    TreeModel m;
    m.persons.resize(1);
    const Ref link(Kind::ChildLink, 0);
    keep(m, link, "", 0, "_FAMC_SIDE", "x");
    keep(m, link, "CHIL", 0, "_CHIL_SIDE", "y");
    keep(m, Ref(), "", 0, "_REC", "value @ with at");
    LineWriter out(Version::Gedcom551);
    StructWriter w(out, m, Version::Gedcom551, idOf);
    w.record("@F1@", "FAM");
    w.openPointer("CHIL", "@I1@", link, "CHIL");
    w.close();
    w.record("@I1@", "INDI");
    w.openPointer("FAMC", "@F1@", link);
    w.close();
    w.keptRecord(2, "@X1@");
    w.record({}, "TRLR");
    w.close();
    QCOMPARE(QString::fromUtf8(out.take()), QStringLiteral("0 @F1@ FAM\n"
                                                           "1 CHIL @I1@\n"
                                                           "2 _CHIL_SIDE y\n"
                                                           "0 @I1@ INDI\n"
                                                           "1 FAMC @F1@\n"
                                                           "2 _FAMC_SIDE x\n"
                                                           "0 @X1@ _REC value @@ with at\n"
                                                           "0 TRLR\n"));
}

QTEST_GUILESS_MAIN(TestStructWriter)
#include "tst_structwriter.moc"
