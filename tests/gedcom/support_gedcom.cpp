#include "support_gedcom.h"

#include <QFileInfo>
#include <QTest>

namespace TestGedcom {

QByteArray file(const QStringList &body, const QStringList &header)
{
    QStringList lines{QStringLiteral("0 HEAD")};
    lines += header;
    lines += body;
    lines += QStringLiteral("0 TRLR");
    return lines.join(QLatin1Char('\n')).toUtf8() + '\n';
}

QByteArray ownFile(const QStringList &body, bool version7)
{
    QStringList header{QStringLiteral("1 SOUR VelkinTree"), QStringLiteral("1 GEDC"),
                       version7 ? QStringLiteral("2 VERS 7.0") : QStringLiteral("2 VERS 5.5.1")};
    return file(body, header);
}

Gedcom::ImportPlan plan(const QByteArray &bytes, const Gedcom::ImportContext &context)
{
    const Gedcom::Document doc = Gedcom::Document::fromBytes(bytes);
    return Gedcom::planImport(doc, context);
}

QList<PersonRecord> rows(const Gedcom::ImportPlan &plan)
{
    QList<PersonRecord> result;
    result.reserve(plan.rows.size());
    for (const Gedcom::PlannedRow &row : plan.rows)
        result.append(row.record);
    return result;
}

PersonRecord row(const Gedcom::ImportPlan &plan, const QString &id)
{
    for (const Gedcom::PlannedRow &row : plan.rows) {
        if (row.record.ID == id)
            return row.record;
    }
    return {};
}

bool hasRow(const Gedcom::ImportPlan &plan, const QString &id)
{
    return !row(plan, id).ID.isEmpty();
}

QList<PersonRecord> roundTrip(const QList<PersonRecord> &rows, Gedcom::Version version,
                              QByteArray *exported)
{
    Gedcom::ExportOptions options;
    options.version = version;
    const Gedcom::ExportResult result = Gedcom::exportRows(rows, options);
    if (exported)
        *exported = result.data;
    return TestGedcom::rows(plan(result.data));
}

QByteArray withoutTimestamp(const QByteArray &exported)
{
    QList<QByteArray> lines = exported.split('\n');
    lines.removeIf([](const QByteArray &line) {
        return line.startsWith("1 DATE ") || line.startsWith("2 TIME ");
    });
    return lines.join('\n');
}

QString samplePath(const char *name)
{
    const QString path = QStringLiteral(VT_GEDCOM_SAMPLES "/") + QLatin1String(name);
    return QFileInfo::exists(path) ? path : QString();
}

} // namespace TestGedcom

char *toString(const PersonRecord &r)
{
    const QStringList fields{r.ID,       r.PrntKey, r.Fname,    r.Sname,  r.PrtFname,
                             r.PrtSname, r.Bdate,   r.Ddate,    r.Bplace, r.Dplace,
                             r.Laddress, r.Lcity,   r.Lcountry, r.Notes};
    return QTest::toString(fields.join(QStringLiteral(" | ")));
}
