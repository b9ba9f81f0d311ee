#include "EventLabels.h"

#include "Tags.h"

namespace Gedcom {

QString eventLabel(quint16 id, bool family)
{
    if (id > tagId(Tag::LastNamed))
        return QString();
    const auto tag = static_cast<Tag>(id);
    if (family) {
        switch (tag) {
        case Tag::MARR:
            return QStringLiteral("Marriage");
        case Tag::DIV:
            return QStringLiteral("Divorce");
        case Tag::DIVF:
            return QStringLiteral("Divorce filed");
        case Tag::ENGA:
            return QStringLiteral("Engagement");
        case Tag::MARB:
            return QStringLiteral("Marriage banns");
        case Tag::MARC:
            return QStringLiteral("Marriage contract");
        case Tag::MARL:
            return QStringLiteral("Marriage licence");
        case Tag::MARS:
            return QStringLiteral("Marriage settlement");
        case Tag::ANUL:
            return QStringLiteral("Annulment");
        case Tag::CENS:
            return QStringLiteral("Census");
        case Tag::RESI:
            return QStringLiteral("Residence");
        case Tag::NCHI:
            return QStringLiteral("Children");
        case Tag::EVEN:
            return QStringLiteral("Event");
        case Tag::FACT:
            return QStringLiteral("Fact");
        default:
            return QString();
        }
    }
    switch (tag) {
    case Tag::BIRT:
        return QStringLiteral("Birth");
    case Tag::DEAT:
        return QStringLiteral("Death");
    case Tag::BURI:
        return QStringLiteral("Burial");
    case Tag::CREM:
        return QStringLiteral("Cremation");
    case Tag::CHR:
        return QStringLiteral("Christening");
    case Tag::CHRA:
        return QStringLiteral("Adult christening");
    case Tag::BAPM:
        return QStringLiteral("Baptism");
    case Tag::BARM:
        return QStringLiteral("Bar mitzvah");
    case Tag::BASM:
        return QStringLiteral("Bat mitzvah");
    case Tag::BLES:
        return QStringLiteral("Blessing");
    case Tag::ADOP:
        return QStringLiteral("Adoption");
    case Tag::CONF:
        return QStringLiteral("Confirmation");
    case Tag::FCOM:
        return QStringLiteral("First communion");
    case Tag::ORDN:
        return QStringLiteral("Ordination");
    case Tag::NATU:
        return QStringLiteral("Naturalization");
    case Tag::EMIG:
        return QStringLiteral("Emigration");
    case Tag::IMMI:
        return QStringLiteral("Immigration");
    case Tag::CENS:
        return QStringLiteral("Census");
    case Tag::PROB:
        return QStringLiteral("Probate");
    case Tag::WILL:
        return QStringLiteral("Will");
    case Tag::GRAD:
        return QStringLiteral("Graduation");
    case Tag::RETI:
        return QStringLiteral("Retirement");
    case Tag::RESI:
        return QStringLiteral("Residence");
    case Tag::EVEN:
        return QStringLiteral("Event");
    case Tag::OCCU:
        return QStringLiteral("Occupation");
    case Tag::TITL:
        return QStringLiteral("Title");
    case Tag::EDUC:
        return QStringLiteral("Education");
    case Tag::RELI:
        return QStringLiteral("Religion");
    case Tag::NATI:
        return QStringLiteral("Nationality");
    case Tag::CAST:
        return QStringLiteral("Caste");
    case Tag::DSCR:
        return QStringLiteral("Description");
    case Tag::PROP:
        return QStringLiteral("Property");
    case Tag::NCHI:
        return QStringLiteral("Children");
    case Tag::NMR:
        return QStringLiteral("Marriages");
    case Tag::SSN:
        return QStringLiteral("Social security number");
    case Tag::IDNO:
        return QStringLiteral("Identification number");
    case Tag::FACT:
        return QStringLiteral("Fact");
    default:
        return QString();
    }
}

} // namespace Gedcom
