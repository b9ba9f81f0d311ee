#pragma once

#include "ImportPlan.h"
#include "Lineage.h"
#include "PersonFacts.h"
#include "PhotoLocator.h"
#include "Progress.h"

#include <QHashFunctions> // std::hash<QString>

#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace Gedcom {

// The steps of planImport (see Import.h for the rules), over the persons of one document.
class ImportMapper
{
public:
    ImportMapper(const Document &doc, const ImportContext &context);

    ImportPlan run(const Progress &progress);

private:
    struct PersonState
    {
        int row = -1;           // index of the person's row, or -1
        int slotFamily = -1;    // the family the row's partner names come from
        int slotPartner = -1;   // that partner
        int pairedWith = -1;    // the other row of a partner pair
        bool isPartner = false; // the slot partner of some row
    };

    void chooseRows();
    void assignKeys();
    void choosePartners();
    bool buildRows(const Progress &progress);
    void fillRow(int p, PlannedRow &row);
    QString parentKey(int p, QString &notes);
    void addPartnerLines(int p, QString &notes);
    struct RowPhotos
    {
        QList<PhotoCopy> *list = nullptr;
        std::unordered_set<QString> sources;
        std::unordered_set<QString> names;           // case-folded
        std::unordered_map<QString, int> nextNumber; // per case-folded file name
    };
    void findPhotos(int indi, QList<PhotoCopy> &photos);
    void addPhoto(const QString &reference, RowPhotos &photos);
    void countPersons();
    void countUnreachableRows();
    QString lifeText(int p) const;
    QString partnerNames(int family, int except) const;

    const Document &m_doc;
    const ImportContext &m_context;
    Lineage m_lineage;
    PersonFacts m_facts;
    PhotoLocator m_photos;
    bool m_ownFile = false; // written by this program: REFN and _PRNTKEY are ours
    std::vector<PersonState> m_state;
    std::vector<int> m_rowPersons;                      // the person of each row
    std::vector<int> m_parentRow;                       // the row each row's PrntKey names, or -1
    QStringList m_keys;                                 // of each row
    std::unordered_map<QString, int> m_rowOfWrittenKey; // REFN as written -> row, for _PRNTKEY
    ImportPlan m_plan;
};

} // namespace Gedcom
