// Reading the character sets GEDCOM files come in: byte order marks, HEAD.CHAR, the code pages,
// ANSEL, and files whose CHAR does not tell the truth.
#include "support_gedcom.h"

#include "TextDecoder.h"

#include <QStringEncoder>
#include <QTest>

using namespace Gedcom;

namespace {

// A one-person file whose NAME value is `name` (raw bytes), with the given CHAR line.
QByteArray personFile(const QByteArray &charName, const QByteArray &name)
{
    QByteArray text = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n";
    if (!charName.isEmpty())
        text += "1 CHAR " + charName + '\n';
    text += "0 @I1@ INDI\n1 NAME " + name + " /Smith/\n0 TRLR\n";
    return text;
}

QString givenName(const QByteArray &bytes)
{
    const ImportPlan plan = TestGedcom::plan(bytes);
    return plan.rows.isEmpty() ? QStringLiteral("<no row>") : plan.rows.front().record.Fname;
}

} // namespace

class TestEncoding : public QObject
{
    Q_OBJECT

private slots:
    void byteOrderMarks_data();
    void byteOrderMarks();
    void codePages_data();
    void codePages();
    void ansel_data();
    void ansel();
    void anselMarkNeverCrossesALineEnd();
    void lyingCharset_data();
    void lyingCharset();
};

void TestEncoding::byteOrderMarks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QString::fromUtf8(personFile("ANSI", "Zoë Ångström 漢"));
    auto utf16 = [&text](QStringConverter::Encoding encoding, bool bom) {
        QStringEncoder encoder(encoding, bom ? QStringConverter::Flag::WriteBom
                                             : QStringConverter::Flag::Default);
        return QByteArray(encoder.encode(text));
    };
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF" + text.toUtf8());
    QTest::newRow("UTF-8 without BOM") << text.toUtf8();
    QTest::newRow("UTF-16 LE") << utf16(QStringConverter::Utf16LE, true);
    QTest::newRow("UTF-16 BE") << utf16(QStringConverter::Utf16BE, true);
    QTest::newRow("UTF-16 LE without BOM") << utf16(QStringConverter::Utf16LE, false);
    QTest::newRow("UTF-16 BE without BOM") << utf16(QStringConverter::Utf16BE, false);
}

// The byte order mark decides over a CHAR that says otherwise.
void TestEncoding::byteOrderMarks()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(givenName(bytes), QStringLiteral("Zoë Ångström 漢"));
}

void TestEncoding::codePages_data()
{
    QTest::addColumn<QByteArray>("charName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ANSI") << QByteArray("ANSI") << QByteArray("Jos\xE9 \x80 \x9C \x8A")
                          << QStringLiteral("José € œ Š");
    QTest::newRow("ANSI undefined byte")
        << QByteArray("ANSI") << QByteArray("a\x81z") << QStringLiteral("a\u0081z");
    QTest::newRow("IBMPC") << QByteArray("IBMPC") << QByteArray("Jos\x82 M\x81ller \xE1 \x94")
                           << QStringLiteral("José Müller ß ö");
    QTest::newRow("MACINTOSH") << QByteArray("MACINTOSH")
                               << QByteArray("Jos\x8E M\x9Fller \xA7 \xDB")
                               << QStringLiteral("José Müller ß €");
    QTest::newRow("ASCII with high bytes")
        << QByteArray("ASCII") << QByteArray("Jos\xE9") << QStringLiteral("José");
    QTest::newRow("unknown CHAR") << QByteArray("KLINGON") << QByteArray("Jos\xE9")
                                  << QStringLiteral("José");
}

void TestEncoding::codePages()
{
    QFETCH(QByteArray, charName);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(givenName(personFile(charName, bytes)), expected);
}

void TestEncoding::ansel_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    // Marks come before their letter; the result is composed (NFC).
    QTest::newRow("acute") << QByteArray("Ren\xE2"
                                         "e")
                           << QStringLiteral("René");
    QTest::newRow("diaeresis, cedilla") << QByteArray("M\xE8uller Fran\xF0"
                                                      "cois")
                                        << QStringLiteral("Müller François");
    QTest::newRow("two marks") << QByteArray("Nguy\xF2\xE3"
                                             "en")
                               << QStringLiteral("Nguyện");
    QTest::newRow("caron, ring") << QByteArray("\xE9Sime\xEA"
                                               "a")
                                 << QStringLiteral("Šimeå");
    QTest::newRow("spacing letters") << QByteArray("\xA1\xF1"
                                                   "od\xB2 \xB5 \xC7 \xC3")
                                     << QStringLiteral("Łǫdø æ ß ©");
    QTest::newRow("no precomposed letter") << QByteArray("\xE5x") << QStringLiteral("x\u0304");
    QTest::newRow("undefined byte") << QByteArray("a\x90z") << QStringLiteral("a\uFFFDz");
}

void TestEncoding::ansel()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QString name = givenName(personFile("ANSEL", bytes));
    QCOMPARE(name, expected);
    QCOMPARE(name, name.normalized(QString::NormalizationForm_C));
    // A file without CHAR is ANSEL too (the default before 7.0).
    QCOMPARE(givenName(personFile(QByteArray(), bytes)), expected);
}

// A mark at the end of a line must not be carried to the next line's level number.
void TestEncoding::anselMarkNeverCrossesALineEnd()
{
    const QByteArray bytes = "0 HEAD\n1 CHAR ANSEL\n0 @I1@ INDI\n1 NAME Ann\xE2\n"
                             "1 BIRT\n2 DATE 1900\n0 TRLR\n";
    const ImportPlan plan = TestGedcom::plan(bytes);
    QCOMPARE(plan.rows.size(), 1);
    QCOMPARE(plan.rows[0].record.Bdate, QStringLiteral("1900"));
    QCOMPARE(plan.counts.malformedLines, 0);
    QCOMPARE(plan.rows[0].record.Fname, QStringLiteral("An\u0144")); // the mark stayed on its line
}

void TestEncoding::lyingCharset_data()
{
    QTest::addColumn<QByteArray>("charName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("remarked");
    const QByteArray utf8 = QStringLiteral("Zoë Ångström").toUtf8();
    QTest::newRow("UTF-8 bytes, CHAR ANSI")
        << QByteArray("ANSI") << utf8 << QStringLiteral("Zoë Ångström") << true;
    QTest::newRow("UTF-8 bytes, CHAR ANSEL")
        << QByteArray("ANSEL") << utf8 << QStringLiteral("Zoë Ångström") << true;
    QTest::newRow("UTF-8 bytes, CHAR IBMPC")
        << QByteArray("IBMPC") << utf8 << QStringLiteral("Zoë Ångström") << true;
    QTest::newRow("UTF-8 bytes, no CHAR")
        << QByteArray() << utf8 << QStringLiteral("Zoë Ångström") << true;
    QTest::newRow("ASCII bytes, CHAR ANSI")
        << QByteArray("ANSI") << QByteArray("Zoe") << QStringLiteral("Zoe") << false;
    // A stray byte in a UTF-8 file: the rest stays UTF-8, the stray byte reads as Windows-1252.
    QTest::newRow("CHAR UTF-8, one stray byte")
        << QByteArray("UTF-8") << QByteArray("Zo\xC3\xAB Jos\xE9") << QStringLiteral("Zoë José")
        << true;
}

void TestEncoding::lyingCharset()
{
    QFETCH(QByteArray, charName);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QFETCH(bool, remarked);
    const ImportPlan plan = TestGedcom::plan(personFile(charName, bytes));
    QCOMPARE(plan.rows.value(0).record.Fname, expected);
    QCOMPARE(!plan.counts.encodingRemark.isEmpty(), remarked);
    if (remarked)
        QVERIFY(plan.summary().contains(plan.counts.encodingRemark));
}

QTEST_GUILESS_MAIN(TestEncoding)
#include "tst_encoding.moc"
