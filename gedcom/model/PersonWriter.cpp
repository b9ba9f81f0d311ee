#include "ModelWriter.h"

#include "NameText.h"
#include "RowRules.h"

#include <QFileInfo>

#include <algorithm>

namespace Gedcom::Model {

using namespace Genealogy;

namespace {

QString fileNameOf(const QString &reference)
{
    const qsizetype slash =
        std::max(reference.lastIndexOf(QLatin1Char('/')), reference.lastIndexOf(QLatin1Char('\\')));
    return reference.mid(slash + 1).toCaseFolded();
}

} // namespace

// composedName() (NameText.h) as UTF-8, in a buffer that is kept: valid until the next call.
QByteArrayView ModelWriter::composedName(const QString &given, const QString &surname)
{
    m_name.resize(0); // keeps its capacity
    if (!given.isEmpty()) {
        LineWriter::appendUtf8(m_name, given);
        m_name.append(" /");
    } else {
        m_name.append('/');
    }
    LineWriter::appendUtf8(m_name, surname);
    m_name.append('/');
    return m_name;
}

void ModelWriter::person(int r)
{
    const PersonRecord &row = m_rows[r];
    const quint32 p = quint32(r);
    const bool modelled = m_model.personCount() > 0;
    const PersonSide side = modelled ? m_model.persons[p] : PersonSide();
    const Ref self = modelled ? Ref(Kind::Person, p) : Ref();
    m_w.record(Id('I', quint64(r) + 1), "INDI", QString(), self);
    names(r);
    if (side.sex != Sex::None)
        m_w.leafPlain("SEX", Vocabulary::sexWord(side.sex));
    privacy(side.privacy);

    // Events: a birth or death the row has and the model keeps no record of comes first (a death
    // right after a birth with a record, so that the two keep their order), a residence the row
    // has without a record last.
    const Ref owner(Kind::Person, p);
    const quint32 birth =
        modelled ? RowRules::firstEvent(m_model, owner, EventTypes::birth()) : kNoIndex;
    const quint32 death =
        modelled ? RowRules::firstEvent(m_model, owner, EventTypes::death()) : kNoIndex;
    const quint32 residence = modelled ? RowRules::rowResidence(m_model, p) : kNoIndex;
    if (birth == kNoIndex && (!row.Bdate.isEmpty() || !row.Bplace.isEmpty()))
        rowEvent(EventTypes::birth(), row.Bdate, row.Bplace, kNoIndex);
    const bool rowDeath = death == kNoIndex && (!row.Ddate.isEmpty() || !row.Dplace.isEmpty());
    if (rowDeath && birth == kNoIndex)
        rowEvent(EventTypes::death(), row.Ddate, row.Dplace, kNoIndex);
    if (modelled) {
        for (quint32 e : m_model.eventsOf(owner)) {
            if (e == birth) {
                rowEvent(EventTypes::birth(), row.Bdate, row.Bplace, e);
                if (rowDeath)
                    rowEvent(EventTypes::death(), row.Ddate, row.Dplace, kNoIndex);
            } else if (e == death)
                rowEvent(EventTypes::death(), row.Ddate, row.Dplace, e);
            else if (e == residence)
                rowResidence(r, e);
            else
                event(e);
        }
    }
    if (residence == kNoIndex &&
        (!row.Laddress.isEmpty() || !row.Lcity.isEmpty() || !row.Lcountry.isEmpty()))
        rowResidence(r, kNoIndex);

    childLinks(r);
    if (modelled) {
        for (quint32 l : m_model.partnershipsOf(p))
            m_w.leafPointer("FAMS", Id('F', quint64(m_model.partnerships[l].family) + 1));
    }
    if (const int made = m_madeHeadOf[size_t(r)]; made >= 0)
        m_w.leafPointer("FAMS", Id('F', quint64(m_model.families.size()) + quint64(made) + 1));
    associations(r);
    notes(r);
    if (modelled) {
        citations(owner);
        mediaLinks(owner);
    }
    photos(r);
    m_w.open("REFN", row.ID);
    m_w.leafPlain("TYPE", "VelkinTree");
    m_w.close();
    if (m_writeParentKey[size_t(r)])
        m_w.leaf("_PRNTKEY", row.PrntKey);
    m_w.close();
}

void ModelWriter::names(int r)
{
    const PersonRecord &row = m_rows[r];
    const quint32 p = quint32(r);
    const bool modelled = m_model.personCount() > 0;
    const PersonSide side = modelled ? m_model.persons[p] : PersonSide();
    const quint32 primary = modelled ? RowRules::primaryName(m_model, p) : kNoIndex;
    auto pieces = [&](const Name *name, bool isPrimary) {
        if (name) {
            if (name->type != NameType::None || !name->typeText.isEmpty()) {
                const QString typeText = text(name->typeText);
                if (v7()) {
                    const QString word = Vocabulary::nameTypeWord(
                        name->type == NameType::None ? NameType::Other : name->type, true);
                    m_w.openPlain("TYPE", word.toUtf8());
                    if (!typeText.isEmpty())
                        m_w.leaf("PHRASE", typeText);
                    m_w.close();
                } else {
                    const QString word =
                        name->type == NameType::Other || name->type == NameType::None
                            ? typeText
                            : Vocabulary::nameTypeWord(name->type, false);
                    if (!word.isEmpty())
                        m_w.leaf("TYPE", word);
                }
            }
            if (!name->prefix.isEmpty())
                m_w.leafText("NPFX", m_model.utf8(name->prefix));
        }
        const QString given = isPrimary
                                  ? ((side.flags & PersonSide::NoGivenLine) ? QString() : row.Fname)
                                  : text(name->given);
        if (!given.isEmpty())
            m_w.leaf("GIVN", given);
        if (name && !name->nickname.isEmpty())
            m_w.leafText("NICK", m_model.utf8(name->nickname));
        if (name && !name->surnamePrefix.isEmpty())
            m_w.leafText("SPFX", m_model.utf8(name->surnamePrefix));
        const QString surname =
            isPrimary ? ((side.flags & PersonSide::NoSurnameLine) ? QString() : row.Sname)
                      : text(name->surname);
        if (!surname.isEmpty())
            m_w.leaf("SURN", surname);
        if (name && !name->suffix.isEmpty())
            m_w.leafText("NSFX", m_model.utf8(name->suffix));
    };
    if (primary != kNoIndex) {
        const Name &name = m_model.names[primary];
        const QByteArrayView value = (name.flags & Name::HasValue)
                                         ? m_model.utf8(name.value)
                                         : composedName(row.Fname, row.Sname);
        m_w.openText("NAME", value, Ref(Kind::Name, primary));
        pieces(&name, true);
        noteLinks(Ref(Kind::Name, primary));
        citations(Ref(Kind::Name, primary));
        m_w.close();
    } else if (!row.Fname.isEmpty() || !row.Sname.isEmpty()) {
        m_w.openText("NAME", composedName(row.Fname, row.Sname));
        pieces(nullptr, true);
        m_w.close();
    }
    if (!modelled)
        return;
    for (quint32 n : m_model.namesOf(p)) {
        if (n == primary)
            continue;
        const Name &name = m_model.names[n];
        // A name made or changed in the details window has its pieces, not a line as written
        // (a name changed there before keeps the line it kept, having no pieces).
        const bool asWritten =
            (name.flags & Name::HasValue) || (name.given.isEmpty() && name.surname.isEmpty());
        m_w.openText("NAME",
                     asWritten
                         ? m_model.utf8(name.value)
                         : composedName(m_model.string(name.given), m_model.string(name.surname)),
                     Ref(Kind::Name, n));
        pieces(&name, false);
        noteLinks(Ref(Kind::Name, n));
        citations(Ref(Kind::Name, n));
        m_w.close();
    }
}

void ModelWriter::childLinks(int r)
{
    const quint32 p = quint32(r);
    if (m_model.personCount() > 0) {
        for (quint32 l : m_model.parentLinksOf(p)) {
            const ChildLink &link = m_model.childLinks[l];
            const Ref self(Kind::ChildLink, l);
            m_w.openPointer("FAMC", Id('F', quint64(link.family) + 1), self);
            const ChildRelation first = link.relation[0];
            const QString phrase = text(link.phrase);
            if (first != ChildRelation::None) {
                if (first == ChildRelation::Other) {
                    if (v7() && phrase.startsWith(QLatin1Char('_')) &&
                        !phrase.contains(QLatin1Char(' '))) {
                        m_w.leafPlain("PEDI", phrase.toUtf8());
                    } else if (v7()) {
                        m_w.openPlain("PEDI", "OTHER");
                        if (!phrase.isEmpty())
                            m_w.leaf("PHRASE", phrase);
                        m_w.close();
                    } else {
                        m_w.leaf("PEDI", phrase.isEmpty() ? QStringLiteral("other") : phrase);
                    }
                } else {
                    m_w.openPlain("PEDI", Vocabulary::childRelationWord(first, v7()).toUtf8());
                    if (v7() && !phrase.isEmpty())
                        m_w.leaf("PHRASE", phrase);
                    m_w.close();
                }
            }
            const ChildRelation second = link.relation[1];
            if (second != first && second != ChildRelation::None && second != ChildRelation::Other)
                m_w.leafPlain("_PEDI2", Vocabulary::childRelationWord(second, v7()).toUtf8());
            citations(self);
            noteLinks(self);
            m_w.close();
        }
    }
    if (const int made = m_madeChildOf[size_t(r)]; made >= 0)
        m_w.leafPointer("FAMC", Id('F', quint64(m_model.families.size()) + quint64(made) + 1));
}

void ModelWriter::associations(int r)
{
    if (m_model.personCount() == 0)
        return;
    static const char *const kRoles[] = {"CHIL",   "CLERGY", "FATH",     "FRIEND", "GODP",
                                         "HUSB",   "MOTH",   "MULTIPLE", "NGHBR",  "OFFICIATOR",
                                         "PARENT", "SPOU",   "WIFE",     "WITN",   "OTHER"};
    for (quint32 a : m_model.associationsOf(quint32(r))) {
        const Association &association = m_model.associations[a];
        const bool alias = association.kind == AssociationKind::Alias;
        const Ref self(Kind::Association, a);
        if (association.target != kNoIndex)
            m_w.openPointer(alias ? "ALIA" : "ASSO", Id('I', quint64(association.target) + 1),
                            self);
        else
            m_w.openPointer(alias ? "ALIA" : "ASSO", "@VOID@", self);
        const QString relation = text(association.relation);
        const QString phrase = text(association.phrase);
        if (!alias && !relation.isEmpty()) {
            if (v7()) {
                const QByteArray word = relation.toUtf8();
                bool known = false;
                for (const char *role : kRoles)
                    known = known || word == role;
                // An extension value (7.0 allows them) stands as it is.
                known = known || (word.startsWith('_') && !word.contains(' '));
                m_w.openPlain("ROLE", known ? word : QByteArray("OTHER"));
                if (!known)
                    m_w.leaf("PHRASE", phrase.isEmpty() ? relation : phrase);
                else if (!phrase.isEmpty())
                    m_w.leaf("PHRASE", phrase);
                m_w.close();
            } else {
                const bool other =
                    relation.compare(QLatin1String("OTHER"), Qt::CaseInsensitive) == 0;
                m_w.leaf("RELA", other && !phrase.isEmpty() ? phrase : relation);
            }
        }
        citations(self);
        noteLinks(self);
        m_w.close();
    }
}

void ModelWriter::notes(int r)
{
    const PersonRecord &row = m_rows[r];
    const bool modelled = m_model.personCount() > 0;
    if (!row.Notes.isEmpty()) {
        const QStringList parts = modelled ? RowRules::splitNotes(m_model, quint32(r), row.Notes)
                                           : QStringList{row.Notes};
        for (const QString &part : parts)
            m_w.leaf("NOTE", part);
    }
    if (modelled)
        noteLinks(Ref(Kind::Person, quint32(r)));
}

void ModelWriter::photos(int r)
{
    if (!m_options.photosOf)
        return;
    QStringList files = m_options.photosOf(m_rows[r].ID);
    if (files.isEmpty())
        return;
    std::sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        return QFileInfo(a).fileName().compare(QFileInfo(b).fileName(), Qt::CaseInsensitive) < 0;
    });
    // A file a media link of the person names already is that link's.
    QStringList linked;
    if (m_model.personCount() > 0) {
        for (quint32 l : m_model.mediaLinksOf(Ref(Kind::Person, quint32(r))))
            linked.append(fileNameOf(text(m_model.media[m_model.mediaLinks[l].media].file)));
    }
    for (const QString &file : files) {
        if (linked.contains(QFileInfo(file).fileName().toCaseFolded()))
            continue;
        if (v7()) {
            m_photoFiles.append(file);
            m_w.leafPointer("OBJE",
                            Id('O', quint64(m_mediaRecords) + quint64(m_photoFiles.size())));
        } else {
            m_w.open("OBJE");
            m_w.open("FILE", file);
            m_w.leaf("FORM", QFileInfo(file).suffix().toLower());
            m_w.close();
            m_w.close();
        }
    }
}

void ModelWriter::madePartner(const MadeFamily &made)
{
    const PersonRecord &row = m_rows[made.parent];
    m_w.record(Id('I', made.partnerId), "INDI");
    m_w.openText("NAME", composedName(row.PrtFname, row.PrtSname));
    if (!row.PrtFname.isEmpty())
        m_w.leaf("GIVN", row.PrtFname);
    if (!row.PrtSname.isEmpty())
        m_w.leaf("SURN", row.PrtSname);
    m_w.close();
    const size_t index = size_t(&made - m_made.data());
    m_w.leafPointer("FAMS", Id('F', quint64(m_model.families.size()) + index + 1));
    m_w.close();
}

} // namespace Gedcom::Model
