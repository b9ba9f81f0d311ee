#include "Document.h"

#include "DocumentBuilder.h"

#include "RegularFile.h"

namespace Gedcom {

namespace {

constexpr qint64 kMaxFileSize = qint64(2) * 1024 * 1024 * 1024 - 1;

bool isVoid(QByteArrayView value)
{
    return value.size() == 6 && value.compare("@VOID@", Qt::CaseInsensitive) == 0;
}

} // namespace

Document Document::fromFile(const QString &path, const Progress &progress)
{
    RegularFile file = RegularFile::open(path, kMaxFileSize);
    Document failed;
    if (file.status() == RegularFile::Status::TooLarge) {
        failed.m_error =
            Error(ErrorCode::InvalidInput,
                  QStringLiteral("The file is too large to be read (more than 2 GB)."), path);
        return failed;
    }
    const Result<QByteArray> bytes = file.readAll();
    if (!bytes) {
        failed.m_error = Error(
            bytes.error().code(),
            QStringLiteral("The file %1 could not be read: %2.").arg(path, bytes.error().text()),
            path);
        return failed;
    }
    return fromBytes(*bytes, progress);
}

Document Document::fromBytes(const QByteArray &bytes, const Progress &progress)
{
    Document doc;
    if (bytes.trimmed().isEmpty()) {
        doc.m_error = Error(ErrorCode::InvalidInput, QStringLiteral("The file is empty."));
        return doc;
    }
    if (bytes.size() > kMaxFileSize) {
        doc.m_error = Error(ErrorCode::InvalidInput,
                            QStringLiteral("The file is too large to be read (more than 2 GB)."));
        return doc;
    }
    doc.m_encoding = decodeText(bytes);
    doc.m_text = std::move(doc.m_encoding.utf8);
    doc.m_encoding.utf8.clear();

    DocumentBuilder builder(doc);
    const bool built = builder.build(progress);
    if (built && (doc.m_records.empty() || !doc.is(int(doc.m_records.front().node), Tag::HEAD)))
        doc.m_error = Error(ErrorCode::InvalidInput,
                            QStringLiteral("This is not a GEDCOM file: it does not begin with a "
                                           "HEAD record."));
    if (doc.m_error) {
        Document failed;
        failed.m_error = doc.m_error;
        failed.m_encoding = doc.m_encoding;
        return failed;
    }
    doc.m_stats.trailerMissing = !doc.is(int(doc.m_records.back().node), Tag::TRLR);

    const int head = int(doc.m_records.front().node);
    if (const int sour = doc.child(head, Tag::SOUR); sour >= 0)
        doc.m_source = doc.text(sour).trimmed();
    if (const int gedc = doc.child(head, Tag::GEDC); gedc >= 0) {
        if (const int vers = doc.child(gedc, Tag::VERS); vers >= 0)
            doc.m_version = doc.text(vers).trimmed();
    }
    doc.m_version7 = doc.m_version.startsWith(QLatin1Char('7'));
    return doc;
}

QByteArrayView Document::rawValue(int i) const
{
    const Node &n = m_nodes[size_t(i)];
    if (n.joined)
        return QByteArrayView(m_joined.data() + n.offset, n.size);
    return QByteArrayView(m_text.constData() + n.offset, n.size);
}

QString Document::text(int i) const
{
    const QByteArrayView raw = rawValue(i);
    QString value = QString::fromUtf8(raw);
    if (!raw.contains('@'))
        return value;
    if (!m_version7)
        return value.replace(QLatin1String("@@"), QLatin1String("@"));
    // 7.0 escapes only an @ that begins a line of the value.
    if (value.startsWith(QLatin1String("@@")))
        value.remove(0, 1);
    return value.replace(QLatin1String("\n@@"), QLatin1String("\n@"));
}

bool Document::hasPointerValue(int i) const
{
    if (!m_nodes[size_t(i)].at)
        return false;
    const QByteArrayView v = rawValue(i);
    if (v.size() < 3 || v.front() != '@' || v.back() != '@' || v[1] == '@' || v[1] == '#')
        return false;
    for (qsizetype k = 1; k + 1 < v.size(); ++k) {
        if (v[k] == ' ' || v[k] == '@' || v[k] == '\n')
            return false;
    }
    return true;
}

QByteArrayView Document::pointer(int i) const
{
    if (!hasPointerValue(i))
        return {};
    const QByteArrayView v = rawValue(i);
    return isVoid(v) ? QByteArrayView() : v;
}

QByteArrayView Document::tagName(int i) const
{
    const Node &n = m_nodes[size_t(i)];
    if (n.tag < kFirstUnknownTag)
        return standardTagName(n.tag);
    const size_t unknown = size_t(n.tag - kFirstUnknownTag);
    if (unknown < m_unknownTagNames.size() &&
        m_unknownTagNames[unknown] != QByteArrayView("(other unknown tags)"))
        return m_unknownTagNames[unknown];
    // The last id stands for every further unknown tag: the line itself names it. A value lies
    // after the tag and one blank; a line without a value points just past its tag.
    if (!n.joined && n.offset <= quint32(m_text.size())) {
        const char *text = m_text.constData();
        qsizetype end = n.offset;
        if (end > 0 && (n.size > 0 || text[end - 1] == ' ' || text[end - 1] == '\t'))
            --end;
        qsizetype start = end;
        while (start > 0 && text[start - 1] != ' ' && text[start - 1] != '\t' &&
               text[start - 1] != '\n' && text[start - 1] != '\r')
            --start;
        if (end > start && end - start <= 64)
            return QByteArrayView(text + start, end - start);
    }
    return "_UNKNOWN";
}

int Document::child(int i, Tag tag) const
{
    for (int c = firstChild(i); c >= 0; c = nextSibling(i, c)) {
        if (is(c, tag))
            return c;
    }
    return -1;
}

QByteArrayView Document::xref(const Record &record) const
{
    return QByteArrayView(m_text.constData() + record.xrefOffset, record.xrefSize);
}

int Document::findRecord(QByteArrayView id) const
{
    return m_index.find(id, m_text.constData());
}

void Document::findRecords(const QByteArrayView *ids, int *records, size_t count) const
{
    m_index.findAll(ids, records, count, m_text.constData());
}

} // namespace Gedcom
