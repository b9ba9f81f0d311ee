#include "StructureMapper.h"

#include "GedcomDate.h"

namespace Gedcom::Model {

using namespace Genealogy;

namespace {

bool hasText(const Document &doc, int node)
{
    return node >= 0 && !doc.rawValue(node).isEmpty();
}

// A date says something when it has more than blanks (the model keeps it trimmed).
bool hasDate(const Document &doc, int node)
{
    return node >= 0 && !doc.rawValue(node).trimmed().isEmpty();
}

// A 5.5.1 value that already holds its phrase in parentheses ("(in the war)", "INT 1850 (about
// then)"): a PHRASE line under it is no second phrase of the date and stays as read. Were it taken,
// a value written as "(a)" with a kept "PHRASE b" under it would read back as "(a) (b)".
bool holdsPhrase(QStringView value)
{
    if (!value.trimmed().endsWith(QLatin1Char(')')))
        return false;
    const DateValue parsed = GedcomDate::parse(value);
    return parsed.kind == DateKind::Phrase || !parsed.phrase.isEmpty();
}

bool isEmpty(const EventDetail &d)
{
    return d.type.isEmpty() && d.datePhrase.isEmpty() && d.age.isEmpty() && d.agePhrase.isEmpty() &&
           d.cause.isEmpty() && d.agency.isEmpty() && d.religion.isEmpty() && d.address == kNoIndex;
}

} // namespace

const StructureMapper::ReadDate &StructureMapper::readDate(const QString &text)
{
    if (const auto known = m_dates.constFind(text); known != m_dates.cend())
        return *known;
    if (m_dates.size() >= kDatesKept)
        m_dates.clear();
    QString normal;
    const DateValue parsed = GedcomDate::parse(text, normal);
    const DateRange range = GedcomDate::range(parsed);
    // Events of one date share its text in the model.
    return *m_dates.insert(
        text, ReadDate{m_c.model.text(QStringView(normal)), parsed.kind, range.from, range.to});
}

QString StructureMapper::rowDate(const QString &text)
{
    if (const auto known = m_rowDates.constFind(text); known != m_rowDates.cend())
        return *known;
    if (m_rowDates.size() >= kDatesKept)
        m_rowDates.clear();
    return *m_rowDates.insert(text, GedcomDate::rowText(text, {}));
}

void StructureMapper::date(Walk &parent, int node, Text &value, Text *phrase, Event *event)
{
    const QString written = m_c.doc.text(node);
    const ReadDate &read = readDate(written);
    value = read.value;
    if (event) {
        event->dateKind = read.kind;
        event->sortFrom = read.sortFrom;
        event->sortTo = read.sortTo;
    }
    bool phraseSeen = phrase && holdsPhrase(written);
    Walk walk = parent.enter(node);
    walk.each([&](int c) {
        if (phrase && !phraseSeen && m_c.is(c, Tag::PHRASE)) {
            phraseSeen = true;
            *phrase = m_c.text(c);
            walk.leaf(c);
            return true;
        }
        return false;
    });
    if (event && value.isEmpty() && phrase && !phrase->isEmpty())
        event->dateKind = DateKind::Phrase;
}

quint32 StructureMapper::place(Walk &parent, int node, RowEvent *row)
{
    const Document &doc = m_c.doc;
    const TagIds &t = m_c.tags;
    // The place record first (its name and coordinates), then the lines: FORM and MAP are
    // consumed when the record says what they say.
    const int form = doc.child(node, Tag::FORM);
    // The first MAP that gives both coordinates; any other is kept.
    int map = -1, lati = -1, longi = -1;
    for (int c = doc.firstChild(node); c >= 0 && map < 0; c = doc.nextSibling(node, c)) {
        if (!m_c.is(c, t.MAP))
            continue;
        int la = -1, lo = -1;
        for (int d = doc.firstChild(c); d >= 0; d = doc.nextSibling(c, d)) {
            if (m_c.is(d, t.LATI) && la < 0)
                la = d;
            else if (m_c.is(d, t.LONG) && lo < 0)
                lo = d;
        }
        if (hasText(doc, la) && hasText(doc, lo)) {
            map = c;
            lati = la;
            longi = lo;
        }
    }
    QByteArrayView name = doc.rawValue(node);
    QByteArray unescaped;
    if (name.contains('@')) {
        unescaped = doc.text(node).toUtf8();
        name = unescaped;
    }
    const QByteArray latitude = map >= 0 ? doc.text(lati).toUtf8() : QByteArray();
    const QByteArray longitude = map >= 0 ? doc.text(longi).toUtf8() : QByteArray();
    TreeModel &model = m_c.model;
    const quint32 index = model.place(name, latitude, longitude);
    bool formConsumed = false;
    if (index != kNoIndex && hasText(doc, form)) {
        const Place &p = model.places[index];
        const QByteArray formText = doc.text(form).toUtf8();
        if (p.form.isEmpty())
            model.places.edit(index).form = model.text(QByteArrayView(formText));
        formConsumed = model.utf8(model.places[index].form) == QByteArrayView(formText);
    }
    if (row) {
        if (index == kNoIndex) {
            row->place = QString::fromUtf8(name);
        } else {
            if (index >= m_rowPlaces.size())
                m_rowPlaces.resize(size_t(index) + 1);
            if (m_rowPlaces[index].isNull())
                m_rowPlaces[index] = QString::fromUtf8(name);
            row->place = m_rowPlaces[index];
        }
        row->placePresent = true;
    }
    Walk walk = parent.enter(node);
    walk.each([&](int c) {
        if (c == form && formConsumed) {
            walk.leaf(c);
            return true;
        }
        if (c == map) {
            Walk mapWalk = walk.enter(c);
            mapWalk.each([&](int d) {
                if (d == lati || d == longi) {
                    mapWalk.leaf(d);
                    return true;
                }
                return false;
            });
            return true;
        }
        return false;
    });
    return index;
}

quint32 StructureMapper::address(Walk &parent, int node, RowAddress *row)
{
    Address a;
    a.present = true;
    const Document &doc = m_c.doc;
    const bool rowLine = row && hasText(doc, node);
    if (row)
        row->line = doc.text(node);
    else
        a.line = m_c.text(node);
    QStringList rowLines; // ADR1..3 as the row's line when the ADDR has no value
    Walk walk = parent.enter(node);
    walk.each([&](int c) {
        const quint16 tag = doc.node(c).tag;
        auto set = [&](Text &field) {
            if (!field.isEmpty() || !hasText(doc, c))
                return false;
            field = m_c.text(c);
            walk.leaf(c);
            return true;
        };
        if (tag == tagId(Tag::ADR1) || tag == tagId(Tag::ADR2) || tag == tagId(Tag::ADR3)) {
            if (row && !rowLine) {
                const QString line = doc.text(c);
                if (line.trimmed().isEmpty())
                    return false;
                rowLines.append(line);
                walk.leaf(c);
                return true;
            }
            Text &field =
                tag == tagId(Tag::ADR1) ? a.line1 : (tag == tagId(Tag::ADR2) ? a.line2 : a.line3);
            return set(field);
        }
        if (tag == tagId(Tag::CITY)) {
            if (row) {
                if (!row->city.isEmpty() || !hasText(doc, c))
                    return false;
                row->city = doc.text(c);
                walk.leaf(c);
                return true;
            }
            return set(a.city);
        }
        if (tag == tagId(Tag::CTRY)) {
            if (row) {
                if (!row->country.isEmpty() || !hasText(doc, c))
                    return false;
                row->country = doc.text(c);
                walk.leaf(c);
                return true;
            }
            return set(a.country);
        }
        if (tag == tagId(Tag::STAE))
            return set(a.state);
        if (tag == tagId(Tag::POST))
            return set(a.postalCode);
        return false;
    });
    if (row && !rowLine && !rowLines.isEmpty())
        row->line = rowLines.join(QLatin1Char('\n'));
    // The row's residence needs no record of its address when the row holds all of it.
    if (row && a.isEmpty())
        return kNoIndex;
    return m_c.model.addresses.add(a);
}

void StructureMapper::event(Walk &parent, int node, EventTypes::Id type, Ref owner, RowEvent *row,
                            bool keepRecord, RowAddress *rowAddress)
{
    TreeModel &model = m_c.model;
    const Document &doc = m_c.doc;
    const TagIds &t = m_c.tags;
    const quint32 index = model.events.add(Event());
    if (index == kNoIndex)
        return;
    parent.counted(node);
    const Ref self(Kind::Event, index);
    Event ev;
    ev.owner = owner;
    ev.type = type;
    if (rowAddress)
        ev.flags |= Event::RowResidence;
    ev.value = m_c.text(node);
    EventDetail detail;
    const quint32 keptBefore = model.kept.size();
    const quint32 citationsBefore = model.citations.size();
    const quint32 notesBefore = model.noteLinks.size();
    const quint32 mediaBefore = model.mediaLinks.size();
    bool seenType = false, seenDate = false, seenPlace = false, seenAddress = false,
         seenAge = false, seenCause = false, seenAgency = false, seenReligion = false,
         seenPrivacy = false;

    Walk walk(m_c, node, self);
    walk.each([&](int c) {
        const quint16 tag = doc.node(c).tag;
        // The first line of each that says something; empty ones stay as read.
        auto single = [&](bool &seen, Text &field) {
            if (seen || !hasText(doc, c))
                return false;
            seen = true;
            field = m_c.text(c);
            walk.leaf(c);
            return true;
        };
        if (tag == tagId(Tag::TYPE))
            return single(seenType, detail.type);
        if (tag == tagId(Tag::DATE)) {
            if (seenDate || (!hasDate(doc, c) && doc.child(c, Tag::PHRASE) < 0))
                return false;
            seenDate = true;
            if (row) {
                int phrase = -1;
                const QString dateText = doc.text(c);
                const bool ownPhrase = holdsPhrase(dateText);
                Walk dateWalk = walk.enter(c);
                dateWalk.each([&](int d) {
                    if (!ownPhrase && phrase < 0 && m_c.is(d, Tag::PHRASE)) {
                        phrase = d;
                        dateWalk.leaf(d);
                        return true;
                    }
                    return false;
                });
                const QString phraseText = m_c.string(phrase);
                row->date = phraseText.isEmpty() ? rowDate(dateText)
                                                 : GedcomDate::rowText(dateText, phraseText);
                row->datePresent = true;
                return true;
            }
            date(walk, c, ev.date, &detail.datePhrase, &ev);
            return true;
        }
        if (tag == tagId(Tag::PLAC)) {
            if (seenPlace || !hasText(doc, c))
                return false;
            seenPlace = true;
            const quint32 p = place(walk, c, row);
            if (!row)
                ev.place = p;
            return true;
        }
        if (tag == tagId(Tag::ADDR)) {
            if (seenAddress)
                return false;
            seenAddress = true;
            detail.address = address(walk, c, rowAddress);
            return true;
        }
        if (tag == t.AGE) {
            if (seenAge || (!hasText(doc, c) && doc.child(c, Tag::PHRASE) < 0))
                return false;
            seenAge = true;
            detail.age = m_c.text(c);
            bool phrase = false;
            Walk ageWalk = walk.enter(c);
            ageWalk.each([&](int d) {
                if (!phrase && m_c.is(d, Tag::PHRASE)) {
                    phrase = true;
                    detail.agePhrase = m_c.text(d);
                    ageWalk.leaf(d);
                    return true;
                }
                return false;
            });
            return true;
        }
        if (tag == t.CAUS)
            return single(seenCause, detail.cause);
        if (tag == t.AGNC)
            return single(seenAgency, detail.agency);
        if (tag == tagId(Tag::RELI))
            return single(seenReligion, detail.religion);
        if (tag == t.RESN) {
            if (seenPrivacy || !Vocabulary::readPrivacy(doc.rawValue(c), ev.privacy))
                return false;
            seenPrivacy = true;
            walk.leaf(c);
            return true;
        }
        if (tag == tagId(Tag::NOTE) || tag == tagId(Tag::SNOTE))
            return noteLink(walk, c, self);
        if (tag == tagId(Tag::SOUR))
            return citation(walk, c, self);
        if (tag == tagId(Tag::OBJE))
            return mediaLink(walk, c, self);
        return false;
    });

    if (row) {
        // The row holds the date and place; the record is made for anything else.
        const bool rest =
            !ev.value.isEmpty() || !isEmpty(detail) || ev.privacy ||
            model.kept.size() != keptBefore || model.citations.size() != citationsBefore ||
            model.noteLinks.size() != notesBefore || model.mediaLinks.size() != mediaBefore;
        // An event the row says nothing of ("1 DEAT" alone: died, date unknown) is a record.
        const bool bare = row->date.isEmpty() && row->place.isEmpty();
        if (!rest && !bare && !keepRecord && index + 1 == model.events.size()) {
            model.events.removeLast();
            ++m_eventsOnRows;
            return;
        }
    }
    if (!isEmpty(detail))
        ev.detail = model.eventDetails.add(detail);
    model.events.edit(index) = ev;
}

bool StructureMapper::citation(Walk &parent, int node, Ref owner)
{
    const Ref target = m_c.target(node);
    if (!target.is(Kind::Source) && !target.is(Kind::Void))
        return false;
    TreeModel &model = m_c.model;
    const Document &doc = m_c.doc;
    const TagIds &t = m_c.tags;
    const quint32 index = model.citations.add(Citation());
    if (index == kNoIndex)
        return false;
    Citation cit;
    cit.owner = owner;
    cit.source = target.is(Kind::Source) ? target.index() : kNoIndex;
    const Ref self(Kind::Citation, index);
    bool seenPage = false, seenQuality = false, seenData = false;
    parent.counted(node);
    Walk walk(m_c, node, self);
    walk.each([&](int c) {
        const quint16 tag = doc.node(c).tag;
        if (tag == t.PAGE && !seenPage && hasText(doc, c)) {
            seenPage = true;
            cit.page = m_c.text(c);
            walk.leaf(c);
            return true;
        }
        if (tag == t.QUAY && !seenQuality) {
            const QByteArrayView v = doc.rawValue(c).trimmed();
            if (v.size() != 1 || v[0] < '0' || v[0] > '3')
                return false;
            seenQuality = true;
            cit.quality = quint8(v[0] - '0');
            walk.leaf(c);
            return true;
        }
        if (tag == t.DATA && !seenData) {
            // Consumed when it brings a date or a text: the export writes DATA only then.
            const int dataDate = doc.child(c, Tag::DATE);
            int dataText = -1;
            for (int d = doc.firstChild(c); d >= 0 && dataText < 0; d = doc.nextSibling(c, d)) {
                if (m_c.is(d, t.TEXT))
                    dataText = d;
            }
            if (!hasDate(doc, dataDate) && !hasText(doc, dataText))
                return false;
            seenData = true;
            bool seenDataDate = false, seenText = false;
            Walk dataWalk = walk.enter(c);
            dataWalk.each([&](int d) {
                if (d == dataDate && hasDate(doc, d) && !seenDataDate) {
                    seenDataDate = true;
                    date(dataWalk, d, cit.date, nullptr, nullptr);
                    return true;
                }
                if (m_c.is(d, t.TEXT) && !seenText && hasText(doc, d)) {
                    seenText = true;
                    cit.text = m_c.text(d);
                    dataWalk.leaf(d);
                    return true;
                }
                return false;
            });
            return true;
        }
        if (tag == tagId(Tag::NOTE) || tag == tagId(Tag::SNOTE))
            return noteLink(walk, c, self);
        if (tag == tagId(Tag::OBJE))
            return mediaLink(walk, c, self);
        return false;
    });
    model.citations.edit(index) = cit;
    return true;
}

bool StructureMapper::noteLink(Walk &parent, int node, Ref owner)
{
    TreeModel &model = m_c.model;
    const Ref target = m_c.target(node);
    if (!target.isNull()) {
        if (!target.is(Kind::Note))
            return false;
        model.noteLinks.add(NoteLink{owner, target.index()});
        parent.leaf(node);
        return true;
    }
    // SNOTE always names a shared note: one with a text of its own stays as read.
    if (m_c.is(node, Tag::SNOTE))
        return false;
    Note note;
    note.text = m_c.text(node);
    const quint32 index = model.notes.add(note);
    if (index == kNoIndex)
        return false;
    model.noteLinks.add(NoteLink{owner, index});
    parent.counted(node);
    // Substructures of an inline note (7.0 MIME, LANG, TRAN, SOUR) are the note's.
    Walk walk(m_c, node, Ref(Kind::Note, index));
    walk.each([](int) { return false; });
    return true;
}

bool StructureMapper::mediaLink(Walk &parent, int node, Ref owner)
{
    TreeModel &model = m_c.model;
    const Document &doc = m_c.doc;
    const Ref target = m_c.target(node);
    if (!target.isNull()) {
        if (!target.is(Kind::Media))
            return false;
        model.mediaLinks.add(MediaLink{owner, target.index()});
        parent.leaf(node);
        return true;
    }
    // An inline object (5.5.1): a media record of its own, written inline again.
    const int file = doc.child(node, Tag::FILE);
    if (!hasText(doc, file) || hasText(doc, node))
        return false;
    const quint32 index = model.media.add(Media());
    if (index == kNoIndex)
        return false;
    Media media;
    media.flags = Media::Inline;
    model.mediaLinks.add(MediaLink{owner, index});
    parent.counted(node);
    Walk walk(m_c, node, Ref(Kind::Media, index));
    bool seenTitle = false;
    walk.each([&](int c) {
        if (c == file) {
            media.file = m_c.text(c);
            bool seenForm = false;
            Walk fileWalk = walk.enter(c);
            fileWalk.each([&](int d) {
                if (!seenForm && m_c.is(d, Tag::FORM) && hasText(doc, d)) {
                    seenForm = true;
                    media.format = m_c.text(d);
                    fileWalk.leaf(d);
                    return true;
                }
                return false;
            });
            return true;
        }
        if (!seenTitle && m_c.is(c, Tag::TITL)) {
            seenTitle = true;
            media.title = m_c.text(c);
            walk.leaf(c);
            return true;
        }
        return false;
    });
    model.media.edit(index) = media;
    return true;
}

} // namespace Gedcom::Model
