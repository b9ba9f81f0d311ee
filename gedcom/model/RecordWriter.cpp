#include "ModelWriter.h"

#include <QFileInfo>

namespace Gedcom::Model {

using namespace Genealogy;

QByteArray ModelWriter::mediaTypeOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") ||
        suffix == QLatin1String("jpe"))
        return "image/jpeg";
    for (const char *type : {"png", "gif", "bmp", "tiff", "webp"}) {
        if (suffix == QLatin1String(type))
            return QByteArray("image/") + type;
    }
    if (suffix == QLatin1String("tif"))
        return "image/tiff";
    return "application/octet-stream";
}

void ModelWriter::family(quint32 f)
{
    const Family &family = m_model.families[f];
    const Ref self(Kind::Family, f);
    m_w.record(Id('F', quint64(f) + 1), "FAM", QString(), self);
    for (int s = 0; s < 2; ++s) {
        if (family.partner[s] == kNoIndex)
            continue;
        m_w.leafPointer((family.wifeSlots & (1 << s)) ? "WIFE" : "HUSB",
                        Id('I', quint64(family.partner[s]) + 1));
    }
    if (family.relation != FamilyRelation::Unknown)
        m_w.leafPlain("_RELTYPE", Vocabulary::familyRelationWord(family.relation));
    privacy(family.privacy);
    for (quint32 e : m_model.eventsOf(self))
        event(e);
    for (quint32 l : m_model.childLinksOf(f)) {
        m_w.openPointer("CHIL", Id('I', quint64(m_model.childLinks[l].child) + 1),
                        Ref(Kind::ChildLink, l), "CHIL");
        m_w.close();
    }
    noteLinks(self);
    citations(self);
    mediaLinks(self);
    m_w.close();
}

void ModelWriter::madeFamily(size_t index)
{
    const MadeFamily &made = m_made[index];
    m_w.record(Id('F', quint64(m_model.families.size()) + index + 1), "FAM");
    m_w.leafPointer("HUSB", Id('I', quint64(made.parent) + 1));
    if (made.partnerId)
        m_w.leafPointer("WIFE", Id('I', made.partnerId));
    for (int child : made.children)
        m_w.leafPointer("CHIL", Id('I', quint64(child) + 1));
    m_w.close();
}

void ModelWriter::source(quint32 s)
{
    const Source &source = m_model.sources[s];
    const Ref self(Kind::Source, s);
    m_w.record(Id('S', quint64(s) + 1), "SOUR", QString(), self);
    if (!source.author.isEmpty())
        m_w.leafText("AUTH", m_model.utf8(source.author));
    if (!source.title.isEmpty())
        m_w.leafText("TITL", m_model.utf8(source.title));
    if (!source.abbreviation.isEmpty())
        m_w.leafText("ABBR", m_model.utf8(source.abbreviation));
    if (!source.publication.isEmpty())
        m_w.leafText("PUBL", m_model.utf8(source.publication));
    if (!source.text.isEmpty())
        m_w.leafText("TEXT", m_model.utf8(source.text));
    for (quint32 l : m_model.repositoryLinksOf(s)) {
        const RepositoryLink &link = m_model.repositoryLinks[l];
        if (link.repository != kNoIndex)
            m_w.openPointer("REPO", Id('R', quint64(link.repository) + 1));
        else
            m_w.openPointer("REPO", "@VOID@");
        const QString numbers = text(link.callNumbers);
        if (!numbers.isEmpty()) {
            for (const QString &number : numbers.split(QLatin1Char('\n')))
                m_w.leaf("CALN", number);
        }
        m_w.close();
    }
    noteLinks(self);
    mediaLinks(self);
    m_w.close();
}

void ModelWriter::repository(quint32 r)
{
    const Repository &repository = m_model.repositories[r];
    const Ref self(Kind::Repository, r);
    m_w.record(Id('R', quint64(r) + 1), "REPO", QString(), self);
    if (!repository.name.isEmpty())
        m_w.leafText("NAME", m_model.utf8(repository.name));
    if (repository.address != kNoIndex)
        address(m_model.addresses[repository.address], nullptr, nullptr, nullptr);
    noteLinks(self);
    m_w.close();
}

void ModelWriter::sharedNote(quint32 n)
{
    m_w.record(Id('N', m_noteNumber[n]), v7() ? "SNOTE" : "NOTE", text(m_model.notes[n].text),
               Ref(Kind::Note, n));
    m_w.close();
}

void ModelWriter::mediaRecord(quint32 m)
{
    const Media &media = m_model.media[m];
    const Ref self(Kind::Media, m);
    m_w.record(Id('O', m_mediaNumber[m]), "OBJE", QString(), self);
    if (!media.file.isEmpty() || !media.format.isEmpty() || !media.title.isEmpty()) {
        m_w.openText("FILE", m_model.utf8(media.file));
        if (!media.format.isEmpty())
            m_w.leafText("FORM", m_model.utf8(media.format));
        if (!media.title.isEmpty())
            m_w.leafText("TITL", m_model.utf8(media.title));
        m_w.close();
    }
    noteLinks(self);
    m_w.close();
}

void ModelWriter::keptRecords()
{
    for (quint32 k : m_model.keptOf(Ref())) {
        if (m_keptNumber[k])
            m_w.keptRecord(k, Id('X', m_keptNumber[k]));
        else
            m_w.keptRecord(k, {});
    }
}

// This program's submitter, numbered as the next record kept as read: read again, it is one of
// them and keeps its id.
void ModelWriter::submitter()
{
    m_w.record(Id('X', quint64(m_keptIds) + 1), "SUBM");
    m_w.leaf("NAME", m_options.submitter);
    m_w.close();
}

} // namespace Gedcom::Model
