#pragma once

#include <QByteArrayView>
#include <QString>

// The closed lists of the model and how GEDCOM writes them. Reading accepts any letter case;
// writing uses each version's own words (lower case in 5.5.1, upper case in 7.0).
namespace Genealogy {

// A person's sex as GEDCOM states it. None: the file says nothing (no SEX line).
enum class Sex : quint8 { None, Male, Female, Unknown, Intersex };

// A person's or a fact's restriction (GEDCOM RESN), a combination of these bits.
namespace Privacy {
enum : quint8 { Confidential = 1, Locked = 2, Private = 4 };
}

// The type of a name (GEDCOM NAME.TYPE); Other with a text for any other word.
enum class NameType : quint8 { None, Aka, Birth, Immigrant, Maiden, Married, Professional, Other };

// A child's relation to one partner of a family (GEDCOM PEDI); None: not stated.
enum class ChildRelation : quint8 { None, Birth, Adopted, Foster, Sealing, Other };

// What a family's partners are to each other; Unknown: not stated.
enum class FamilyRelation : quint8 { Unknown, Married, Unmarried, CivilUnion };

// An association (ASSO: a godparent, a witness...) or an alias (ALIA: the same person in another
// record).
enum class AssociationKind : quint8 { Association, Alias };

namespace Vocabulary {

// "M", "F", "U", "X" (any case); false for any other value.
bool readSex(QByteArrayView value, Sex &sex);
QByteArrayView sexWord(Sex sex); // "" for None

// "confidential", "locked", "privacy", several separated by commas (7.0); false when a word is
// none of them.
bool readPrivacy(QByteArrayView value, quint8 &privacy);
QByteArray privacyWords(quint8 privacy, bool version7);

// A NAME.TYPE value: the known words give their type, any other word Other with the word as
// text (7.0 OTHER gives Other with no text; its PHRASE is the text).
NameType readNameType(QStringView value);
QString nameTypeWord(NameType type, bool version7); // "" for None and, in 5.5.1, Other

// A PEDI value: known words give their relation, any other word Other.
ChildRelation readChildRelation(QStringView value);
QString childRelationWord(ChildRelation relation, bool version7); // "" for None and 5.5.1 Other

// MARRIED, UNMARRIED, CIVIL_UNION (the extension that carries a family's relation); false for
// any other value.
bool readFamilyRelation(QByteArrayView value, FamilyRelation &relation);
QByteArrayView familyRelationWord(FamilyRelation relation); // "" for Unknown

// English labels for the panel.
QString sexLabel(Sex sex);
QString childRelationLabel(ChildRelation relation);
QString familyRelationLabel(FamilyRelation relation);
QString nameTypeLabel(NameType type);

} // namespace Vocabulary

} // namespace Genealogy
