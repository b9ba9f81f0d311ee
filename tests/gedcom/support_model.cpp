#include "support_model.h"

#include "Lineage.h"
#include "TreeCheck.h"

namespace TestModel {

Gedcom::MappedTree map(const QByteArray &bytes, const Gedcom::ImportContext &context)
{
    const Gedcom::Document doc = Gedcom::Document::fromBytes(bytes);
    return Gedcom::mapDocument(doc, context);
}

QList<PersonRecord> rows(const Gedcom::MappedTree &tree)
{
    QList<PersonRecord> result;
    result.reserve(tree.rows.size());
    for (const Gedcom::PlannedRow &row : tree.rows)
        result.append(row.record);
    return result;
}

std::vector<Genealogy::PersonRow> personRows(const QList<PersonRecord> &rows)
{
    std::vector<Genealogy::PersonRow> result;
    result.reserve(size_t(rows.size()));
    for (const PersonRecord &r : rows)
        result.push_back({r.ID, r.PrntKey, r.Fname, r.Sname, r.PrtFname, r.PrtSname, r.Bdate,
                          r.Ddate, r.Bplace, r.Dplace, r.Laddress, r.Lcity, r.Lcountry, r.Notes});
    return result;
}

QStringList check(const Gedcom::MappedTree &tree)
{
    const std::vector<Genealogy::PersonRow> all = personRows(rows(tree));
    return Genealogy::checkTree(all, tree.model);
}

int rowOf(const Gedcom::MappedTree &tree, const QString &id)
{
    for (qsizetype i = 0; i < tree.rows.size(); ++i) {
        if (tree.rows[i].record.ID == id)
            return int(i);
    }
    return -1;
}

QByteArray write(const Gedcom::MappedTree &tree, Gedcom::Version version)
{
    Gedcom::ExportOptions options;
    options.version = version;
    options.timestamp = QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC);
    return Gedcom::writeTree(rows(tree), tree.model, options).data;
}

Links links(const QByteArray &bytes)
{
    const Gedcom::Document doc = Gedcom::Document::fromBytes(bytes);
    const Gedcom::Lineage lineage(doc);
    const bool own = doc.sourceProgram() == QLatin1String("VelkinTree");
    std::vector<QString> keys;
    for (const Gedcom::Lineage::Person &person : lineage.persons()) {
        QString key;
        for (int c = doc.firstChild(person.node); own && c >= 0 && key.isEmpty();
             c = doc.nextSibling(person.node, c)) {
            const int type = doc.is(c, Gedcom::Tag::REFN) ? doc.child(c, Gedcom::Tag::TYPE) : -1;
            if (type >= 0 && doc.text(type) == QLatin1String("VelkinTree"))
                key = doc.text(c);
        }
        if (key.isEmpty()) {
            const QByteArrayView xref = doc.xref(doc.records()[size_t(person.record)]);
            key = xref.size() > 2 ? QString::fromUtf8(xref.sliced(1, xref.size() - 2))
                                  : QStringLiteral("P%1").arg(person.record);
        }
        keys.push_back(key);
    }
    Links result;
    for (size_t f = 0; f < lineage.families().size(); ++f) {
        const std::span<const int> partners = lineage.partners(int(f));
        for (int c : lineage.children(int(f))) {
            for (int p : partners)
                result.parents.insert(keys[size_t(c)] + QStringLiteral(" > ") + keys[size_t(p)]);
        }
        for (size_t a = 0; a < partners.size(); ++a) {
            for (size_t b = a + 1; b < partners.size(); ++b) {
                QString x = keys[size_t(partners[a])], y = keys[size_t(partners[b])];
                if (y < x)
                    std::swap(x, y);
                result.partners.insert(x + QStringLiteral(" + ") + y);
            }
        }
    }
    return result;
}

} // namespace TestModel
