// Reading a whole tree makes the texts rows repeat once and shares them: every record must still
// be what it is alone, value for value (a NULL column null, an empty one empty), whether its
// texts were found, made and kept, or made after the column stopped being shared.
#include "TreeScan.h"
#include "TreeSql.h"

#include <QTest>

using namespace Store;

namespace {

// The texts of one row as the engine hands them over; a null pointer for NULL.
struct RowBytes
{
    QByteArray texts[PersonRowText::kColumns];
    bool null[PersonRowText::kColumns] = {};

    PersonRowText view() const
    {
        PersonRowText row{};
        for (int c = 0; c < PersonRowText::kColumns; ++c) {
            row.data[c] = null[c] ? nullptr : texts[c].constData();
            row.size[c] = null[c] ? 0 : int(texts[c].size());
        }
        return row;
    }
};

// Row i: a key of its own, a parent key three rows share, names and places from short lists,
// a birth date that is new on every row (the column stops being shared), a long note, text
// beyond ASCII, and a NULL or empty column now and then.
RowBytes row(int i)
{
    RowBytes r;
    const QByteArray n = QByteArray::number(i);
    r.texts[ColID] = "K" + n;
    r.texts[ColPrntKey] = i == 0 ? "ROOT" : "K" + QByteArray::number(i / 3);
    r.texts[ColFname] = QByteArrayList{"Anna", "Jörg", "Zoë", ""}.at(i % 4);
    r.texts[ColSname] = "Family" + QByteArray::number(i % 7);
    r.texts[ColBdate] = QByteArray::number(1 + i % 28) + " MAR " + QByteArray::number(1000 + i);
    r.texts[ColBplace] = QByteArray(70 + i % 3, 'p'); // longer than any text kept
    r.texts[ColLcity] = "City" + QByteArray::number(i % 5000);
    r.texts[ColLcountry] = "Country";
    r.texts[ColNotes] = "Note " + n;
    r.null[ColDdate] = i % 2 == 0;
    r.null[ColPrtFname] = i % 3 == 0;
    return r;
}

void compare(const PersonRecord &got, const PersonRecord &want, int i)
{
    for (int c = 0; c < kPersonColumnCount; ++c) {
        const QString &g = ColumnText(got, c), &w = ColumnText(want, c);
        QVERIFY2(
            g == w && g.isNull() == w.isNull(),
            qPrintable(QStringLiteral("row %1 column %2: '%3' for '%4'").arg(i).arg(c).arg(g, w)));
    }
}

} // namespace

class TestSharedTexts : public QObject
{
    Q_OBJECT

private slots:
    void recordsAsAlone()
    {
        TreeScan::SharedTexts texts;
        QList<PersonRecord> records;
        const int rows = 3 * int(TreeScan::SharedTexts::kKept);
        for (int i = 0; i < rows; ++i) {
            const RowBytes bytes = row(i);
            records << texts.record(bytes.view());
            compare(records.last(), TreeSql::RecordOf(bytes.view()), i);
        }
        // A shared text is a value: changing one row's leaves every other row's as it was.
        records[4].Sname.append(QLatin1Char('x'));
        QCOMPARE(records[4].Sname, QStringLiteral("Family4x"));
        QCOMPARE(records[11].Sname, QStringLiteral("Family4"));
        for (int i = 0; i < rows; i += 97)
            compare(records[i], TreeSql::RecordOf(row(i).view()), i);
    }
};

QTEST_GUILESS_MAIN(TestSharedTexts)
#include "tst_sharedtexts.moc"
