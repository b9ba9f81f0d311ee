#pragma once

// A small family read from GEDCOM into a tree of the store, with the slices of its model that the
// panel's "Family and events" tab reads, for the tests of the tab and of persons outside the line.
//
// George (I1) married Caroline (I2), their daughter Charlotte (I3); George married Maria (I4)
// too. George is a root, Charlotte his child in the line, Caroline and Maria outside the line.

#include "Document.h"
#include "ModelImport.h"
#include "PersonSlices.h"

#include <QByteArray>

#include <memory>

inline QByteArray FamilyGedcom()
{
    return QByteArrayLiteral(
        "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n"
        "0 @I1@ INDI\n1 NAME George /King/\n1 SEX M\n"
        "1 BIRT\n2 DATE 12 AUG 1762\n2 PLAC London\n2 SOUR @S1@\n3 PAGE p. 12\n"
        "1 OCCU Regent\n2 DATE 1811\n"
        "1 FAMS @F1@\n1 FAMS @F2@\n"
        "0 @I2@ INDI\n1 NAME Caroline /Brunswick/\n1 SEX F\n1 FAMS @F1@\n"
        "0 @I3@ INDI\n1 NAME Charlotte /King/\n1 SEX F\n"
        "1 BIRT\n2 DATE 7 JAN 1796\n1 FAMC @F1@\n"
        "0 @I4@ INDI\n1 NAME Maria /Fitz/\n1 SEX F\n1 FAMS @F2@\n"
        "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n"
        "1 MARR\n2 DATE 8 APR 1795\n1 CHIL @I3@\n"
        "0 @F2@ FAM\n1 HUSB @I1@\n1 WIFE @I4@\n"
        "0 @S1@ SOUR\n1 TITL Court Circular\n"
        "0 TRLR\n");
}

// The family mapped once; its rows for the store and a slice source over its model.
struct FamilyTree
{
    std::shared_ptr<const Gedcom::MappedTree> mapped;

    FamilyTree()
        : mapped(std::make_shared<Gedcom::MappedTree>(
              Gedcom::mapDocument(Gedcom::Document::fromBytes(FamilyGedcom()), {})))
    {
    }

    QList<PersonRecord> rows() const
    {
        QList<PersonRecord> result;
        for (const Gedcom::PlannedRow &row : mapped->rows)
            result.append(row.record);
        return result;
    }

    // A slice of the whole model (a whole mapped file is a valid slice) for the key.
    PersonSliceSource slices() const
    {
        return
            [tree = mapped](const QString &, const QString &key) -> Result<Genealogy::ModelSlice> {
                Genealogy::ModelSlice slice;
                for (const Gedcom::PlannedRow &row : tree->rows) {
                    if (row.record.ID == key)
                        slice.person = quint32(slice.rows.size());
                    slice.rows.push_back(row.record);
                }
                if (slice.person == Genealogy::kNoIndex)
                    return Error(ErrorCode::Missing, QStringLiteral("no person '%1'").arg(key));
                slice.model = tree->model;
                return slice;
            };
    }
};
