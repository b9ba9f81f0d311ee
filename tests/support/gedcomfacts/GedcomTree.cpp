#include "GedcomTree.h"

#include "LineReader.h"
#include "TextDecoder.h"

#include <QFile>

namespace GedcomFacts {

namespace {

bool isPointer(QByteArrayView value)
{
    if (value.size() < 3 || value.front() != '@' || value.back() != '@')
        return false;
    if (value[1] == '#' || value[1] == '@')
        return false;
    return !value.sliced(1, value.size() - 2).contains('@');
}

} // namespace

bool GedcomTree::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        return false;
    }
    return loadBytes(file.readAll(), error);
}

bool GedcomTree::loadBytes(const QByteArray &bytes, QString *error)
{
    *this = GedcomTree();
    const Gedcom::DecodedText decoded = Gedcom::decodeText(bytes);
    Gedcom::LineReader reader(decoded.utf8);
    Gedcom::Line line;
    while (reader.next(line)) {
        const QByteArray tag = line.tag.toByteArray().toUpper();
        const bool joined = tag == "CONC" || tag == "CONT";
        if (joined && line.level > 0 && int(m_open.size()) >= line.level) {
            Node &continued = m_nodes[size_t(m_open[size_t(line.level - 1)])];
            if (tag == "CONT")
                continued.value += QLatin1Char('\n');
            continued.value +=
                QString::fromUtf8(line.value).replace(QLatin1String("@@"), QLatin1String("@"));
            continue;
        }
        if (joined)
            continue; // nothing to continue
        if (!isPointer(line.value)) {
            add(line.level, line.xref.toByteArray(), tag,
                QString::fromUtf8(line.value).replace(QLatin1String("@@"), QLatin1String("@")));
            continue;
        }
        add(line.level, line.xref.toByteArray(), tag, QString());
        if (line.value.compare("@VOID@", Qt::CaseInsensitive) != 0)
            m_nodes.back().pointer = line.value.toByteArray();
    }
    if (m_records.empty() || m_nodes[size_t(m_records.front())].tag != "HEAD") {
        *error = QStringLiteral("not a GEDCOM file: it does not begin with a HEAD record");
        return false;
    }
    const int head = m_records.front();
    const int gedc = child(head, "GEDC");
    m_version7 = gedc >= 0 && childValue(gedc, "VERS").trimmed().startsWith(QLatin1Char('7'));
    m_open.clear();
    m_lastChild.clear();
    return true;
}

void GedcomTree::add(int level, const QByteArray &xref, const QByteArray &tag, const QString &value)
{
    // A level more than one below the line before is read as one below it.
    const size_t depth = std::min(size_t(level), m_open.size());
    m_open.resize(depth);
    m_lastChild.resize(depth);
    const int index = int(m_nodes.size());
    Node node;
    node.tag = tag;
    node.value = value;
    node.depth = int(depth);
    if (depth == 0) {
        node.xref = xref;
        m_records.push_back(index);
        if (!xref.isEmpty() && !m_index.contains(xref))
            m_index.insert(xref, index);
    } else {
        node.parent = m_open.back();
        const int previous = m_lastChild.back();
        if (previous < 0)
            m_nodes[size_t(node.parent)].firstChild = index;
        else
            m_nodes[size_t(previous)].nextSibling = index;
        m_lastChild.back() = index;
    }
    m_nodes.push_back(std::move(node));
    m_open.push_back(index);
    m_lastChild.push_back(-1);
}

int GedcomTree::child(int i, const char *tag) const
{
    for (int c = m_nodes[size_t(i)].firstChild; c >= 0; c = m_nodes[size_t(c)].nextSibling) {
        if (m_nodes[size_t(c)].tag == tag)
            return c;
    }
    return -1;
}

QString GedcomTree::childValue(int i, const char *tag) const
{
    const int c = child(i, tag);
    return c < 0 ? QString() : m_nodes[size_t(c)].value;
}

} // namespace GedcomFacts
