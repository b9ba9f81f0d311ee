#pragma once

#include "KinshipIndex.h"
#include "ModelSlice.h"

#include <QString>

#include <vector>

// What a report reads of a tree: the rows and the model as the export shows them (after the
// privacy choice), who is whose parent, child and partner (PrntKey and families together, each
// person once), and per person the facts a narrative tells. Person numbers are row positions.
namespace Reports {

// One dated fact of a person or a family, as a sentence tells it.
struct Fact
{
    QString label; // "Occupation", "Burial"
    QString value; // an attribute's text
    QString date;  // as written
    QString place;
    std::vector<quint32> citations; // indexes into the model's citations
};

class ReportTree
{
public:
    explicit ReportTree(Genealogy::ModelSlice slice);

    const Genealogy::KinshipIndex &links() const { return m_links; }
    const Genealogy::TreeModel &model() const { return m_slice.model; }
    int count() const { return int(m_slice.rows.size()); }
    const Genealogy::PersonRow &row(int person) const { return m_slice.rows[size_t(person)]; }
    bool hasModel() const { return m_slice.model.personCount() > 0; }

    // "Victoria Mary Louisa Saxe-Coburg"; "(no name)" when the row has none.
    QString fullName(int person) const;
    // The given names alone (the full name when there are none).
    QString givenName(int person) const;
    // "Saxe-Coburg, Victoria Mary Louisa": the index's order.
    QString indexName(int person) const;
    // "(1786–1861)", "(1786–)", "(–1861)", or "" when no year is known.
    QString years(int person) const;
    Genealogy::Sex sex(int person) const { return m_links.sex(person); }

    // Birth and death from the row, with the citations of their records; `known` tells a death
    // without date or place ("DEAT Y").
    Fact birth(int person) const;
    Fact death(int person, bool *known = nullptr) const;
    // The person's other events and attributes in stored order (not the row's birth and death).
    std::vector<Fact> otherFacts(int person) const;
    // Citations on the person itself and on its names.
    std::vector<quint32> ownCitations(int person) const;

    // A partner of the person, with the family that joins them (kNoIndex without a model) and
    // the facts of that family (a marriage, a divorce...).
    struct Partnership
    {
        int partner = -1; // -1: a partner named by the row's partner columns alone
        QString partnerName;
        quint32 family = Genealogy::kNoIndex;
        std::vector<Fact> facts;
        std::vector<quint32> citations; // on the family itself
        std::vector<int> children;
    };
    std::vector<Partnership> partnerships(int person) const;

    // The person's father and mother by the links (-1 where unknown): a parent of known sex takes
    // its place, the others fill the places left in their order.
    std::pair<int, int> parents(int person) const;

private:
    Fact eventFact(quint32 event) const;
    std::vector<quint32> citationsOf(Genealogy::Ref owner) const;

    Genealogy::ModelSlice m_slice;
    Genealogy::KinshipIndex m_links;
};

// The year a date text names, or "" (the last year of a range is not wanted: the first).
QString yearOf(const QString &date);

} // namespace Reports
