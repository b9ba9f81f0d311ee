#include "ModelMapper.h"

#include "NameText.h"
#include "RowRules.h"

namespace Gedcom::Model {

using namespace Genealogy;

namespace {

bool hasText(const Document &doc, int node)
{
    return node >= 0 && !doc.rawValue(node).isEmpty();
}

// The parts of a NAME value: the given names before the first slash, the surname between the
// slashes (as the rows have always read them).
void splitName(const QString &value, QString &given, QString &surname)
{
    const qsizetype first = value.indexOf(QLatin1Char('/'));
    if (first < 0) {
        given = value.trimmed();
        surname.clear();
        return;
    }
    given = value.left(first).trimmed();
    const qsizetype second = value.indexOf(QLatin1Char('/'), first + 1);
    surname =
        (second < 0 ? value.mid(first + 1) : value.mid(first + 1, second - first - 1)).trimmed();
}

bool same(QByteArrayView a, const char *b)
{
    return a.compare(QByteArrayView(b), Qt::CaseInsensitive) == 0;
}

} // namespace

void ModelMapper::mapName(Walk &walk, int node, quint32 person, bool primary)
{
    TreeModel &model = m_result.model;
    const quint32 index = model.names.add(Name());
    if (index == kNoIndex)
        return;
    walk.counted(node);
    const Ref self(Kind::Name, index);
    Name name;
    name.person = person;
    if (primary)
        name.flags |= Name::Primary;
    const quint32 keptBefore = model.kept.size();
    const quint32 citationsBefore = model.citations.size();
    const quint32 notesBefore = model.noteLinks.size();
    int given = -1, surname = -1;
    bool seenType = false;
    Walk nameWalk(m_c, node, self);
    nameWalk.each([&](int c) {
        const quint16 tag = m_doc.node(c).tag;
        auto piece = [&](Text &field) {
            if (!field.isEmpty() || !hasText(m_doc, c))
                return false;
            field = m_c.text(c);
            nameWalk.leaf(c);
            return true;
        };
        // The first GIVN and SURN that say something are the name's (an empty one says nothing).
        if (tag == tagId(Tag::GIVN) && given < 0 && hasText(m_doc, c)) {
            given = c;
            if (!primary)
                name.given = m_c.text(c);
            nameWalk.leaf(c);
            return true;
        }
        if (tag == tagId(Tag::SURN) && surname < 0 && hasText(m_doc, c)) {
            surname = c;
            if (!primary)
                name.surname = m_c.text(c);
            nameWalk.leaf(c);
            return true;
        }
        if (tag == tagId(Tag::NPFX))
            return piece(name.prefix);
        if (tag == tagId(Tag::NICK))
            return piece(name.nickname);
        if (tag == tagId(Tag::SPFX))
            return piece(name.surnamePrefix);
        if (tag == tagId(Tag::NSFX))
            return piece(name.suffix);
        if (tag == tagId(Tag::TYPE) && !seenType && hasText(m_doc, c)) {
            seenType = true;
            const QString word = m_doc.text(c);
            name.type = Vocabulary::readNameType(word);
            if (name.type == NameType::Other &&
                word.trimmed().compare(QLatin1String("OTHER"), Qt::CaseInsensitive) != 0)
                name.typeText = m_c.text(c);
            Walk typeWalk = nameWalk.enter(c);
            typeWalk.each([&](int d) {
                if (name.typeText.isEmpty() && m_doc.is(d, Tag::PHRASE) && hasText(m_doc, d)) {
                    name.typeText = m_c.text(d);
                    typeWalk.leaf(d);
                    return true;
                }
                return false;
            });
            return true;
        }
        if (tag == tagId(Tag::NOTE) || tag == tagId(Tag::SNOTE))
            return m_s.noteLink(nameWalk, c, self);
        if (tag == tagId(Tag::SOUR))
            return m_s.citation(nameWalk, c, self);
        return false;
    });

    if (!primary) {
        name.value = m_c.text(node);
        name.flags |= Name::HasValue;
        model.names.edit(index) = name;
        return;
    }
    PersonRecord &row = m_result.rows[qsizetype(person)].record;
    const QString value = m_doc.text(node);
    QString splitGiven, splitSurname;
    if (given < 0 || surname < 0)
        splitName(value, splitGiven, splitSurname);
    row.Fname = intern(given >= 0 ? m_doc.text(given) : splitGiven);
    row.Sname = intern(surname >= 0 ? m_doc.text(surname) : splitSurname);
    PersonSide &side = model.persons.edit(person);
    if (given < 0)
        side.flags |= PersonSide::NoGivenLine;
    if (surname < 0)
        side.flags |= PersonSide::NoSurnameLine;
    // The row's two columns say the name unless the line says more, or nothing at all.
    if (!isComposedName(value, row.Fname, row.Sname) ||
        (row.Fname.isEmpty() && row.Sname.isEmpty())) {
        name.flags |= Name::HasValue;
        name.value = m_c.text(node);
    }
    const bool needed =
        (name.flags & Name::HasValue) || name.type != NameType::None || !name.typeText.isEmpty() ||
        !name.prefix.isEmpty() || !name.nickname.isEmpty() || !name.surnamePrefix.isEmpty() ||
        !name.suffix.isEmpty() || model.kept.size() != keptBefore ||
        model.citations.size() != citationsBefore || model.noteLinks.size() != notesBefore;
    if (!needed && index + 1 == model.names.size()) {
        model.names.removeLast();
        return;
    }
    model.names.edit(index) = name;
}

bool ModelMapper::mapChildLink(Walk &walk, int node, quint32 person, std::vector<quint32> &seen)
{
    const Ref target = m_c.target(node);
    if (!target.is(Kind::Family))
        return false;
    const quint32 link = childLink(person, target.index());
    if (link == kNoIndex || std::find(seen.begin(), seen.end(), link) != seen.end())
        return false;
    seen.push_back(link);
    walk.counted(node);
    TreeModel &model = m_result.model;
    ChildLink childLink = model.childLinks[link];
    const Ref self(Kind::ChildLink, link);
    bool seenPedigree = false, seenSecond = false;
    ChildRelation second = ChildRelation::None;
    Walk linkWalk(m_c, node, self);
    linkWalk.each([&](int c) {
        if (m_doc.is(c, Tag::PEDI) && !seenPedigree && hasText(m_doc, c)) {
            seenPedigree = true;
            const QString word = m_doc.text(c);
            const ChildRelation relation = Vocabulary::readChildRelation(word);
            childLink.relation[0] = childLink.relation[1] = relation;
            if (relation == ChildRelation::Other &&
                word.trimmed().compare(QLatin1String("OTHER"), Qt::CaseInsensitive) != 0)
                childLink.phrase = m_c.text(c);
            Walk pediWalk = linkWalk.enter(c);
            pediWalk.each([&](int d) {
                if (childLink.phrase.isEmpty() && m_doc.is(d, Tag::PHRASE) && hasText(m_doc, d)) {
                    childLink.phrase = m_c.text(d);
                    pediWalk.leaf(d);
                    return true;
                }
                return false;
            });
            return true;
        }
        if (!seenSecond && m_doc.tagName(c) == QByteArrayView("_PEDI2")) {
            const ChildRelation relation = Vocabulary::readChildRelation(m_doc.text(c));
            if (relation == ChildRelation::None || relation == ChildRelation::Other)
                return false;
            seenSecond = true;
            second = relation;
            linkWalk.leaf(c);
            return true;
        }
        if (m_doc.is(c, Tag::SOUR))
            return m_s.citation(linkWalk, c, self);
        if (m_doc.is(c, Tag::NOTE) || m_doc.is(c, Tag::SNOTE))
            return m_s.noteLink(linkWalk, c, self);
        return false;
    });
    if (seenSecond)
        childLink.relation[1] = second;
    model.childLinks.edit(link) = childLink;
    return true;
}

bool ModelMapper::mapAssociation(Walk &walk, int node, quint32 person, bool alias)
{
    const Ref target = m_c.target(node);
    if (!target.is(Kind::Person) && !target.is(Kind::Void))
        return false;
    TreeModel &model = m_result.model;
    Association association;
    association.person = person;
    association.target = target.is(Kind::Person) ? target.index() : kNoIndex;
    association.kind = alias ? AssociationKind::Alias : AssociationKind::Association;
    const quint32 index = model.associations.add(association);
    if (index == kNoIndex)
        return false;
    walk.counted(node);
    const Ref self(Kind::Association, index);
    bool seenRelation = false;
    Walk assoWalk(m_c, node, self);
    assoWalk.each([&](int c) {
        if (alias)
            return false;
        const quint16 tag = m_doc.node(c).tag;
        if ((tag == m_c.tags.RELA || tag == m_c.tags.ROLE) && !seenRelation && hasText(m_doc, c)) {
            // RELA in 5.5.1 and ROLE in 7.0 say the same; the export writes its version's.
            seenRelation = true;
            association.relation = m_c.text(c);
            Walk roleWalk = assoWalk.enter(c);
            roleWalk.each([&](int d) {
                if (tag == m_c.tags.ROLE && association.phrase.isEmpty() &&
                    m_doc.is(d, Tag::PHRASE) && hasText(m_doc, d)) {
                    association.phrase = m_c.text(d);
                    roleWalk.leaf(d);
                    return true;
                }
                return false;
            });
            return true;
        }
        if (tag == tagId(Tag::SOUR))
            return m_s.citation(assoWalk, c, self);
        if (tag == tagId(Tag::NOTE) || tag == tagId(Tag::SNOTE))
            return m_s.noteLink(assoWalk, c, self);
        return false;
    });
    model.associations.edit(index) = association;
    return true;
}

// The REFN that holds the key in a file this program wrote (with its TYPE).
bool ModelMapper::mapKey(Walk &walk, int node, quint32 person)
{
    m_wantedKeys[qsizetype(person)] = m_doc.text(node);
    Walk keyWalk = walk.enter(node);
    keyWalk.each([&](int c) {
        if (m_doc.is(c, Tag::TYPE) && same(m_doc.rawValue(c), "VelkinTree")) {
            keyWalk.leaf(c);
            return true;
        }
        return false;
    });
    return true;
}

void ModelMapper::mapPerson(quint32 p)
{
    TreeModel &model = m_result.model;
    const int node = m_personNode[p];
    const Ref self(Kind::Person, p);
    PlannedRow &planned = m_result.rows[qsizetype(p)];
    PersonRecord &row = planned.record;

    // What the rules need to know before the lines are read: how many births and deaths, the
    // last residence with an address, the REFN that holds the key of a file of ours.
    int births = 0, deaths = 0, residence = -1, keyRefn = -1, firstRefn = -1;
    for (int c = m_doc.firstChild(node); c >= 0; c = m_doc.nextSibling(node, c)) {
        const quint16 tag = m_doc.node(c).tag;
        if (tag == tagId(Tag::BIRT))
            ++births;
        else if (tag == tagId(Tag::DEAT))
            ++deaths;
        else if (tag == tagId(Tag::RESI) && m_doc.child(c, Tag::ADDR) >= 0)
            residence = c;
        else if (m_ownFile && tag == tagId(Tag::REFN)) {
            if (firstRefn < 0)
                firstRefn = c;
            const int type = m_doc.child(c, Tag::TYPE);
            if (keyRefn < 0 && type >= 0 && same(m_doc.rawValue(type), "VelkinTree"))
                keyRefn = c;
        }
    }
    if (m_ownFile && keyRefn < 0)
        keyRefn = firstRefn; // written before the REFN said whose it is

    RowEvent birth, death;
    RowAddress address;
    QString notes;
    std::vector<quint32> parentsSeen, familiesSeen;
    bool firstName = true, seenSex = false, seenPrivacy = false, birthDone = false,
         deathDone = false, parentKeySeen = false;
    Walk walk(m_c, node, self);
    walk.each([&](int c) {
        const quint16 tag = m_doc.node(c).tag;
        if (tag == tagId(Tag::NAME)) {
            mapName(walk, c, p, firstName);
            firstName = false;
            return true;
        }
        if (tag == tagId(Tag::SEX)) {
            Sex sex = Sex::None;
            if (seenSex || !Vocabulary::readSex(m_doc.rawValue(c), sex))
                return false;
            seenSex = true;
            model.persons.edit(p).sex = sex;
            walk.leaf(c);
            return true;
        }
        if (tag == m_c.tags.RESN) {
            quint8 privacy = 0;
            if (seenPrivacy || !Vocabulary::readPrivacy(m_doc.rawValue(c), privacy))
                return false;
            seenPrivacy = true;
            model.persons.edit(p).privacy = privacy;
            walk.leaf(c);
            return true;
        }
        if (const EventTypes::Id type = eventType(c, false); type != EventTypes::kNone) {
            if (type == EventTypes::birth() && !birthDone) {
                birthDone = true;
                m_s.event(walk, c, type, self, &birth, births > 1);
            } else if (type == EventTypes::death() && !deathDone) {
                deathDone = true;
                m_s.event(walk, c, type, self, &death, deaths > 1);
            } else if (c == residence) {
                m_s.event(walk, c, type, self, nullptr, false, &address);
            } else {
                m_s.event(walk, c, type, self);
            }
            return true;
        }
        if (tag == tagId(Tag::FAMC))
            return mapChildLink(walk, c, p, parentsSeen);
        if (tag == tagId(Tag::FAMS)) {
            const Ref target = m_c.target(c);
            if (!target.is(Kind::Family) || !model.isPartner(target.index(), p) ||
                std::find(familiesSeen.begin(), familiesSeen.end(), target.index()) !=
                    familiesSeen.end())
                return false;
            familiesSeen.push_back(target.index());
            walk.leaf(c);
            return true;
        }
        if (tag == m_c.tags.ASSO)
            return mapAssociation(walk, c, p, false);
        if (tag == m_c.tags.ALIA)
            return mapAssociation(walk, c, p, true);
        if (tag == tagId(Tag::NOTE) || tag == tagId(Tag::SNOTE)) {
            // The person's own plain notes are the row's; notes with more are the model's.
            if (tag == tagId(Tag::NOTE) && !m_doc.hasPointerValue(c) && m_doc.firstChild(c) < 0 &&
                hasText(m_doc, c)) {
                if (!notes.isEmpty()) {
                    model.noteBreaks.add(NoteBreak{p, quint32(notes.size())});
                    notes += RowRules::kNoteSeparator;
                }
                notes += m_doc.text(c);
                walk.counted(c);
                return true;
            }
            return m_s.noteLink(walk, c, self);
        }
        if (tag == tagId(Tag::SOUR))
            return m_s.citation(walk, c, self);
        if (tag == tagId(Tag::OBJE))
            return m_s.mediaLink(walk, c, self);
        if (c == keyRefn)
            return mapKey(walk, c, p);
        if (m_ownFile && tag == tagId(Tag::PRNTKEY) && !parentKeySeen) {
            parentKeySeen = true;
            m_writtenParentKeys[qsizetype(p)] = m_doc.text(c);
            if (m_writtenParentKeys[qsizetype(p)].isNull())
                m_writtenParentKeys[qsizetype(p)] = QLatin1String("");
            walk.leaf(c);
            return true;
        }
        return false;
    });

    row.Bdate = birth.date;
    row.Bplace = intern(birth.place);
    row.Ddate = death.date;
    row.Dplace = intern(death.place);
    row.Laddress = address.line;
    row.Lcity = intern(address.city);
    row.Lcountry = intern(address.country);
    row.Notes = notes;
    findPhotos(node, planned.photos);
}

} // namespace Gedcom::Model
