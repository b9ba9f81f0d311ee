#include "EventTypes.h"

#include <cstring>

namespace Genealogy::EventTypes {

namespace {

using N = Nature;

// Id 0 is no type; the ids of the table follow.
const Type kTypes[] = {
    {"", "", BothScopes, N::Event},
    // events of a person
    {"BIRT", "Birth", PersonScope, N::Event},
    {"CHR", "Christening", PersonScope, N::Event},
    {"DEAT", "Death", PersonScope, N::Event},
    {"BURI", "Burial", PersonScope, N::Event},
    {"CREM", "Cremation", PersonScope, N::Event},
    {"ADOP", "Adoption", PersonScope, N::Event},
    {"BAPM", "Baptism", PersonScope, N::Event},
    {"BARM", "Bar mitzvah", PersonScope, N::Event},
    {"BASM", "Bat mitzvah", PersonScope, N::Event},
    {"BLES", "Blessing", PersonScope, N::Event},
    {"CHRA", "Adult christening", PersonScope, N::Event},
    {"CONF", "Confirmation", PersonScope, N::Event},
    {"FCOM", "First communion", PersonScope, N::Event},
    {"ORDN", "Ordination", PersonScope, N::Event},
    {"NATU", "Naturalization", PersonScope, N::Event},
    {"EMIG", "Emigration", PersonScope, N::Event},
    {"IMMI", "Immigration", PersonScope, N::Event},
    {"PROB", "Probate", PersonScope, N::Event},
    {"WILL", "Will", PersonScope, N::Event},
    {"GRAD", "Graduation", PersonScope, N::Event},
    {"RETI", "Retirement", PersonScope, N::Event},
    // events of a person and of a family
    {"CENS", "Census", BothScopes, N::Event},
    {"EVEN", "Event", BothScopes, N::Event},
    // attributes of a person
    {"CAST", "Caste", PersonScope, N::Attribute},
    {"DSCR", "Physical description", PersonScope, N::Attribute},
    {"EDUC", "Education", PersonScope, N::Attribute},
    {"IDNO", "Identification number", PersonScope, N::Attribute},
    {"NATI", "Nationality", PersonScope, N::Attribute},
    {"NMR", "Number of marriages", PersonScope, N::Attribute},
    {"OCCU", "Occupation", PersonScope, N::Attribute},
    {"PROP", "Property", PersonScope, N::Attribute},
    {"RELI", "Religion", PersonScope, N::Attribute},
    {"SSN", "Social security number", PersonScope, N::Attribute},
    {"TITL", "Title", PersonScope, N::Attribute},
    // attributes of a person and of a family
    {"NCHI", "Number of children", BothScopes, N::Attribute},
    {"RESI", "Residence", BothScopes, N::Attribute},
    {"FACT", "Fact", BothScopes, N::Attribute},
    // events of a family
    {"MARR", "Marriage", FamilyScope, N::Event},
    {"DIV", "Divorce", FamilyScope, N::Event},
    {"DIVF", "Divorce filed", FamilyScope, N::Event},
    {"ENGA", "Engagement", FamilyScope, N::Event},
    {"MARB", "Marriage banns", FamilyScope, N::Event},
    {"MARC", "Marriage contract", FamilyScope, N::Event},
    {"MARL", "Marriage licence", FamilyScope, N::Event},
    {"MARS", "Marriage settlement", FamilyScope, N::Event},
    {"ANUL", "Annulment", FamilyScope, N::Event},
    // ordinances of the Latter-day Saints
    {"BAPL", "Baptism (LDS)", PersonScope, N::Ordinance},
    {"CONL", "Confirmation (LDS)", PersonScope, N::Ordinance},
    {"ENDL", "Endowment (LDS)", PersonScope, N::Ordinance},
    {"INIL", "Initiatory (LDS)", PersonScope, N::Ordinance},
    {"SLGC", "Sealing to parents (LDS)", PersonScope, N::Ordinance},
    {"SLGS", "Sealing to spouse (LDS)", FamilyScope, N::Ordinance},
};
constexpr Id kCount = Id(sizeof(kTypes) / sizeof(kTypes[0]) - 1);

Id findTag(const char *tag)
{
    for (Id id = 1; id <= kCount; ++id) {
        if (std::strcmp(kTypes[id].tag, tag) == 0)
            return id;
    }
    return kNone;
}

} // namespace

Id count()
{
    return kCount;
}

const Type &type(Id id)
{
    return kTypes[id <= kCount ? id : 0];
}

Id find(QByteArrayView tag, bool family)
{
    if (tag.size() < 3 || tag.size() > 4)
        return kNone;
    const Scope wanted = family ? FamilyScope : PersonScope;
    for (Id id = 1; id <= kCount; ++id) {
        const Type &t = kTypes[id];
        if ((t.scope & wanted) && tag == QByteArrayView(t.tag))
            return id;
    }
    return kNone;
}

Id birth()
{
    static const Id id = findTag("BIRT");
    return id;
}

Id death()
{
    static const Id id = findTag("DEAT");
    return id;
}

Id residence()
{
    static const Id id = findTag("RESI");
    return id;
}

} // namespace Genealogy::EventTypes
