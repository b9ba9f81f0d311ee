#include "ModelMapper.h"

namespace Gedcom::Model {

using namespace Genealogy;

namespace {

bool hasText(const Document &doc, int node)
{
    return node >= 0 && !doc.rawValue(node).isEmpty();
}

} // namespace

void ModelMapper::mapKeptRecord(int record)
{
    const Document::Record &r = m_doc.records()[size_t(record)];
    m_c.keep(int(r.node), Ref(), QByteArray(), quint32(record));
    if (r.xrefSize && !m_result.model.kept.isEmpty())
        m_result.model.kept.edit(m_result.model.kept.size() - 1).flags |= Kept::HasId;
}

// The header is written anew (this program, the date, the version); what else it holds is kept,
// except the place form of the file (the model's default) and the extension tags it documents.
void ModelMapper::mapHeader(int node)
{
    TreeModel &model = m_result.model;
    const TagIds &t = m_c.tags;
    Walk walk(m_c, node, Ref(Kind::Header, 0));
    bool seenPlace = false;
    walk.each([&](int c) {
        const quint16 tag = m_doc.node(c).tag;
        if (tag == tagId(Tag::GEDC) || tag == tagId(Tag::CHAR) || tag == tagId(Tag::SOUR) ||
            tag == tagId(Tag::DATE) || tag == tagId(Tag::FILE))
            return true; // written anew
        if (tag == t.SCHMA) {
            for (int d = m_doc.firstChild(c); d >= 0; d = m_doc.nextSibling(c, d)) {
                if (!m_c.is(d, t.TAG))
                    continue;
                const QString value = m_doc.text(d).trimmed();
                const qsizetype blank = value.indexOf(QLatin1Char(' '));
                if (blank <= 0)
                    continue;
                model.extensionTags.push_back(
                    {model.text(QStringView(value).left(blank)),
                     model.text(QStringView(value).mid(blank + 1).trimmed())});
            }
            return true; // written anew from the tags documented
        }
        if (tag == tagId(Tag::PLAC) && !seenPlace) {
            const int form = m_doc.child(c, Tag::FORM);
            if (!hasText(m_doc, form))
                return false;
            seenPlace = true;
            model.defaultPlaceForm = m_c.text(form);
            Walk placeWalk = walk.enter(c);
            placeWalk.each([&](int d) {
                if (d == form) {
                    placeWalk.leaf(d);
                    return true;
                }
                return false;
            });
            return true;
        }
        return false;
    });
}

void ModelMapper::mapSource(quint32 index, int node)
{
    TreeModel &model = m_result.model;
    const TagIds &t = m_c.tags;
    const Ref self(Kind::Source, index);
    Source source;
    bool seen[5] = {};
    Walk walk(m_c, node, self);
    walk.each([&](int c) {
        const quint16 tag = m_doc.node(c).tag;
        auto field = [&](int which, Text &text) {
            if (seen[which] || !hasText(m_doc, c))
                return false;
            seen[which] = true;
            text = m_c.text(c);
            walk.leaf(c);
            return true;
        };
        if (tag == tagId(Tag::TITL))
            return field(0, source.title);
        if (tag == t.AUTH)
            return field(1, source.author);
        if (tag == t.PUBL)
            return field(2, source.publication);
        if (tag == t.ABBR)
            return field(3, source.abbreviation);
        if (tag == t.TEXT)
            return field(4, source.text);
        if (tag == t.REPO) {
            const Ref target = m_c.target(c);
            if (!target.is(Kind::Repository) && !target.is(Kind::Void))
                return false;
            RepositoryLink link;
            link.source = index;
            link.repository = target.is(Kind::Repository) ? target.index() : kNoIndex;
            QByteArray numbers;
            Walk repoWalk = walk.enter(c);
            repoWalk.each([&](int d) {
                if (!m_c.is(d, t.CALN) || !hasText(m_doc, d) || m_doc.rawValue(d).contains('\n'))
                    return false;
                if (!numbers.isEmpty())
                    numbers.append('\n');
                numbers.append(m_doc.text(d).toUtf8());
                repoWalk.leaf(d);
                return true;
            });
            link.callNumbers = model.text(QByteArrayView(numbers));
            model.repositoryLinks.add(link);
            return true;
        }
        if (tag == tagId(Tag::NOTE) || tag == tagId(Tag::SNOTE))
            return m_s.noteLink(walk, c, self);
        if (tag == tagId(Tag::OBJE))
            return m_s.mediaLink(walk, c, self);
        return false;
    });
    model.sources.edit(index) = source;
}

void ModelMapper::mapRepository(quint32 index, int node)
{
    TreeModel &model = m_result.model;
    const Ref self(Kind::Repository, index);
    Repository repository;
    bool seenName = false, seenAddress = false;
    Walk walk(m_c, node, self);
    walk.each([&](int c) {
        if (m_doc.is(c, Tag::NAME) && !seenName && hasText(m_doc, c)) {
            seenName = true;
            repository.name = m_c.text(c);
            walk.leaf(c);
            return true;
        }
        if (m_doc.is(c, Tag::ADDR) && !seenAddress) {
            seenAddress = true;
            repository.address = m_s.address(walk, c);
            return true;
        }
        if (m_doc.is(c, Tag::NOTE) || m_doc.is(c, Tag::SNOTE))
            return m_s.noteLink(walk, c, self);
        return false;
    });
    model.repositories.edit(index) = repository;
}

void ModelMapper::mapSharedNote(quint32 index, int node)
{
    Note note;
    note.text = m_c.text(node);
    note.flags = Note::Shared;
    m_result.model.notes.edit(index) = note;
    Walk walk(m_c, node, Ref(Kind::Note, index));
    walk.each([](int) { return false; });
}

void ModelMapper::mapMedia(quint32 index, int node)
{
    const Ref self(Kind::Media, index);
    Media media;
    bool seenFile = false;
    Walk walk(m_c, node, self);
    walk.each([&](int c) {
        if (m_doc.is(c, Tag::FILE) && !seenFile && hasText(m_doc, c)) {
            seenFile = true;
            media.file = m_c.text(c);
            bool seenForm = false, seenTitle = false;
            Walk fileWalk = walk.enter(c);
            fileWalk.each([&](int d) {
                if (m_doc.is(d, Tag::FORM) && !seenForm && hasText(m_doc, d)) {
                    seenForm = true;
                    media.format = m_c.text(d);
                    fileWalk.leaf(d);
                    return true;
                }
                if (m_doc.is(d, Tag::TITL) && !seenTitle && hasText(m_doc, d)) {
                    seenTitle = true;
                    media.title = m_c.text(d);
                    fileWalk.leaf(d);
                    return true;
                }
                return false;
            });
            return true;
        }
        if (m_doc.is(c, Tag::NOTE) || m_doc.is(c, Tag::SNOTE))
            return m_s.noteLink(walk, c, self);
        return false;
    });
    m_result.model.media.edit(index) = media;
}

} // namespace Gedcom::Model
