#include "Vocabulary.h"

#include <QList>

namespace Genealogy::Vocabulary {

namespace {

bool same(QByteArrayView a, const char *b)
{
    return a.compare(QByteArrayView(b), Qt::CaseInsensitive) == 0;
}

bool same(QStringView a, const char *b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

const char *const kNameTypes[] = {"",       "aka",     "birth",       "immigrant",
                                  "maiden", "married", "professional"};
const char *const kRelations[] = {"", "birth", "adopted", "foster", "sealing"};

} // namespace

bool readSex(QByteArrayView value, Sex &sex)
{
    const QByteArrayView v = value.trimmed();
    if (v.size() != 1)
        return false;
    switch (v[0]) {
    case 'M':
    case 'm':
        sex = Sex::Male;
        return true;
    case 'F':
    case 'f':
        sex = Sex::Female;
        return true;
    case 'U':
    case 'u':
        sex = Sex::Unknown;
        return true;
    case 'X':
    case 'x':
        sex = Sex::Intersex;
        return true;
    default:
        return false;
    }
}

QByteArrayView sexWord(Sex sex)
{
    switch (sex) {
    case Sex::Male:
        return "M";
    case Sex::Female:
        return "F";
    case Sex::Unknown:
        return "U";
    case Sex::Intersex:
        return "X";
    default:
        return {};
    }
}

bool readPrivacy(QByteArrayView value, quint8 &privacy)
{
    quint8 bits = 0;
    qsizetype start = 0;
    while (start <= value.size()) {
        qsizetype end = value.indexOf(',', start);
        if (end < 0)
            end = value.size();
        const QByteArrayView w = value.sliced(start, end - start).trimmed();
        start = end + 1;
        if (same(w, "confidential"))
            bits |= Privacy::Confidential;
        else if (same(w, "locked"))
            bits |= Privacy::Locked;
        else if (same(w, "privacy"))
            bits |= Privacy::Private;
        else
            return false;
    }
    privacy = bits;
    return bits != 0;
}

QByteArray privacyWords(quint8 privacy, bool version7)
{
    QByteArray out;
    auto add = [&](quint8 bit, const char *word) {
        if (!(privacy & bit))
            return;
        if (!out.isEmpty())
            out += ", ";
        out += version7 ? QByteArray(word).toUpper() : QByteArray(word);
    };
    add(Privacy::Confidential, "confidential");
    add(Privacy::Locked, "locked");
    add(Privacy::Private, "privacy");
    return out;
}

NameType readNameType(QStringView value)
{
    const QStringView v = value.trimmed();
    if (v.isEmpty())
        return NameType::None;
    for (int i = 1; i < 7; ++i) {
        if (same(v, kNameTypes[i]))
            return NameType(i);
    }
    return NameType::Other;
}

QString nameTypeWord(NameType type, bool version7)
{
    if (type == NameType::None)
        return QString();
    if (type == NameType::Other)
        return version7 ? QStringLiteral("OTHER") : QString();
    const QString word = QLatin1String(kNameTypes[int(type)]);
    return version7 ? word.toUpper() : word;
}

ChildRelation readChildRelation(QStringView value)
{
    const QStringView v = value.trimmed();
    if (v.isEmpty())
        return ChildRelation::None;
    for (int i = 1; i < 5; ++i) {
        if (same(v, kRelations[i]))
            return ChildRelation(i);
    }
    return ChildRelation::Other;
}

QString childRelationWord(ChildRelation relation, bool version7)
{
    if (relation == ChildRelation::None)
        return QString();
    if (relation == ChildRelation::Other)
        return version7 ? QStringLiteral("OTHER") : QString();
    const QString word = QLatin1String(kRelations[int(relation)]);
    return version7 ? word.toUpper() : word;
}

bool readFamilyRelation(QByteArrayView value, FamilyRelation &relation)
{
    const QByteArrayView v = value.trimmed();
    if (same(v, "MARRIED"))
        relation = FamilyRelation::Married;
    else if (same(v, "UNMARRIED"))
        relation = FamilyRelation::Unmarried;
    else if (same(v, "CIVIL_UNION"))
        relation = FamilyRelation::CivilUnion;
    else
        return false;
    return true;
}

QByteArrayView familyRelationWord(FamilyRelation relation)
{
    switch (relation) {
    case FamilyRelation::Married:
        return "MARRIED";
    case FamilyRelation::Unmarried:
        return "UNMARRIED";
    case FamilyRelation::CivilUnion:
        return "CIVIL_UNION";
    default:
        return {};
    }
}

QString sexLabel(Sex sex)
{
    switch (sex) {
    case Sex::Male:
        return QStringLiteral("male");
    case Sex::Female:
        return QStringLiteral("female");
    case Sex::Unknown:
        return QStringLiteral("unknown");
    case Sex::Intersex:
        return QStringLiteral("intersex");
    default:
        return QString();
    }
}

QString childRelationLabel(ChildRelation relation)
{
    switch (relation) {
    case ChildRelation::Birth:
        return QStringLiteral("birth");
    case ChildRelation::Adopted:
        return QStringLiteral("adopted");
    case ChildRelation::Foster:
        return QStringLiteral("foster");
    case ChildRelation::Sealing:
        return QStringLiteral("sealing");
    case ChildRelation::Other:
        return QStringLiteral("other");
    default:
        return QString();
    }
}

QString familyRelationLabel(FamilyRelation relation)
{
    switch (relation) {
    case FamilyRelation::Married:
        return QStringLiteral("married");
    case FamilyRelation::Unmarried:
        return QStringLiteral("unmarried");
    case FamilyRelation::CivilUnion:
        return QStringLiteral("civil union");
    default:
        return QStringLiteral("unknown");
    }
}

QString nameTypeLabel(NameType type)
{
    switch (type) {
    case NameType::None:
        return QString();
    case NameType::Other:
        return QStringLiteral("other");
    default:
        return QLatin1String(kNameTypes[int(type)]);
    }
}

} // namespace Genealogy::Vocabulary
