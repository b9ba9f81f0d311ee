#include "Tags.h"

#include <QHash>

namespace Gedcom {

namespace {

// The named tags, in the order of the enum, then every other standard tag.
const char *const kNames[] = {
    "HEAD",
    "TRLR",
    "INDI",
    "FAM",
    "NOTE",
    "SNOTE",
    "OBJE",
    "SOUR",
    "SUBM",
    "CHAR",
    "GEDC",
    "VERS",
    "FORM",
    "MEDI",
    "TITL",
    "NAME",
    "GIVN",
    "SURN",
    "NPFX",
    "NSFX",
    "NICK",
    "SPFX",
    "SEX",
    "BIRT",
    "DEAT",
    "DATE",
    "TIME",
    "PLAC",
    "PHRASE",
    "RESI",
    "ADDR",
    "ADR1",
    "ADR2",
    "ADR3",
    "CITY",
    "STAE",
    "POST",
    "CTRY",
    "FAMC",
    "FAMS",
    "HUSB",
    "WIFE",
    "CHIL",
    "PEDI",
    "FILE",
    "REFN",
    "CONC",
    "CONT",
    "TYPE",
    "_PRNTKEY",
    "BURI",
    "CREM",
    "CHR",
    "CHRA",
    "BAPM",
    "BARM",
    "BASM",
    "BLES",
    "ADOP",
    "CONF",
    "FCOM",
    "ORDN",
    "NATU",
    "EMIG",
    "IMMI",
    "CENS",
    "PROB",
    "WILL",
    "GRAD",
    "RETI",
    "EVEN",
    "OCCU",
    "EDUC",
    "RELI",
    "NATI",
    "CAST",
    "DSCR",
    "PROP",
    "NCHI",
    "NMR",
    "SSN",
    "IDNO",
    "FACT",
    "MARR",
    "DIV",
    "DIVF",
    "ENGA",
    "MARB",
    "MARC",
    "MARL",
    "MARS",
    "ANUL",
    // the other standard tags
    "ABBR",
    "AFN",
    "AGE",
    "AGNC",
    "ALIA",
    "ANCE",
    "ANCI",
    "ASSO",
    "AUTH",
    "BAPL",
    "BLOB",
    "CALN",
    "CAUS",
    "CHAN",
    "CONL",
    "COPR",
    "CORP",
    "CREA",
    "CROP",
    "DATA",
    "DESC",
    "DESI",
    "DEST",
    "EMAIL",
    "EMAI",
    "ENDL",
    "EXID",
    "FAMF",
    "FAX",
    "FONE",
    "HEIGHT",
    "INIL",
    "LANG",
    "LATI",
    "LEFT",
    "LONG",
    "MAP",
    "MIME",
    "NO",
    "ORDI",
    "PAGE",
    "PHON",
    "PUBL",
    "QUAY",
    "RELA",
    "REPO",
    "RESN",
    "RFN",
    "RIN",
    "ROLE",
    "ROMN",
    "SCHMA",
    "SDATE",
    "SLGC",
    "SLGS",
    "STAT",
    "SUBN",
    "TAG",
    "TEMP",
    "TEXT",
    "TOP",
    "TRAN",
    "UID",
    "WIDTH",
    "WWW",
};
constexpr int kNameCount = int(sizeof(kNames) / sizeof(kNames[0]));
static_assert(kNameCount < kFirstUnknownTag);

const QHash<QByteArrayView, quint16> &nameTable()
{
    static const QHash<QByteArrayView, quint16> table = [] {
        QHash<QByteArrayView, quint16> t;
        t.reserve(kNameCount);
        for (int i = 0; i < kNameCount; ++i)
            t.insert(QByteArrayView(kNames[i]), quint16(i));
        return t;
    }();
    return table;
}

} // namespace

quint16 standardTagId(QByteArrayView upperCaseTag)
{
    const auto &table = nameTable();
    const auto it = table.constFind(upperCaseTag);
    return it == table.cend() ? kTagOther : it.value();
}

QByteArrayView standardTagName(quint16 id)
{
    return id < kNameCount ? QByteArrayView(kNames[id]) : QByteArrayView();
}

} // namespace Gedcom
