#include "StructWriter.h"

namespace Gedcom::Model {

using namespace Genealogy;

namespace {

// Whether a kept structure's path lies under a binding's base: a base names a line by its tag
// alone ("CHIL"); path elements always carry a number ("PLAC:0").
bool belongs(const QByteArray &path, QByteArrayView base)
{
    if (base.isEmpty()) {
        const qsizetype slash = path.indexOf('/');
        const QByteArrayView first =
            slash < 0 ? QByteArrayView(path) : QByteArrayView(path).first(slash);
        return first.isEmpty() || first.contains(':');
    }
    return path == base ||
           (path.startsWith(base) && path.size() > base.size() && path[base.size()] == '/');
}

} // namespace

StructWriter::StructWriter(LineWriter &out, const TreeModel &model, Version, IdOf idOf)
    : m_out(out), m_model(model), m_idOf(std::move(idOf))
{
    m_out.setKeepEscapes(true);
    m_frames.reserve(32);
}

void StructWriter::writeLine(int level, QByteArrayView tag, const QString &value)
{
    if (value.isEmpty())
        m_out.plain(level, tag, {});
    else
        m_out.text(level, tag, value);
}

void StructWriter::beforeChild()
{
    if (m_depth == 0)
        return;
    Frame &parent = top();
    if (parent.next < parent.here.size())
        flush(parent, parent.children);
}

void StructWriter::flush(Frame &frame, quint32 upTo)
{
    const int level = int(&frame - m_frames.data()) + 1; // the frame's line is at its index
    std::vector<Pending> &pending = m_frames[size_t(frame.ownerFrame)].pending;
    while (frame.next < frame.here.size()) {
        Pending &item = pending[frame.here[frame.next]];
        if (upTo != quint32(-1) && (item.position > upTo || item.after > written(frame, item.tag)))
            break;
        ++frame.next;
        if (item.done)
            continue;
        item.done = true;
        writeKept(item.kept, level);
        ++frame.children;
        if (upTo != quint32(-1))
            upTo = frame.children;
    }
}

quint32 StructWriter::written(const Frame &frame, QByteArrayView tag)
{
    for (const auto &count : frame.tagCounts) {
        if (count.first == tag)
            return count.second;
    }
    return 0;
}

void StructWriter::push(QByteArrayView tag, Ref owner, QByteArrayView base)
{
    const int index = m_depth;
    // The line's number among the model's lines of its tag under a parent that needs paths.
    quint32 number = 0;
    int parentOwner = -1;
    if (index > 0) {
        Frame &parent = m_frames[size_t(index - 1)];
        if (parent.ownerFrame >= 0) {
            parentOwner = parent.ownerFrame;
            bool found = false;
            for (auto &count : parent.tagCounts) {
                if (count.first == tag) {
                    number = count.second++;
                    found = true;
                    break;
                }
            }
            if (!found)
                parent.tagCounts.append({tag, 1});
        }
    }
    if (size_t(m_depth) == m_frames.size())
        m_frames.emplace_back();
    ++m_depth;
    Frame &frame = m_frames[size_t(index)];
    frame.tag = tag;
    frame.ownerFrame = -1;
    frame.children = 0;
    frame.next = 0;
    // Most frames had none of these: clearing what is empty is not free (a QVarLengthArray
    // reallocates, a QByteArray is cleared out of line).
    if (!frame.tagCounts.isEmpty())
        frame.tagCounts.clear();
    frame.pending.clear();
    frame.here.clear();
    if (!frame.path.isEmpty())
        frame.path.clear();
    if (!owner.isNull()) {
        // A record's line: its kept structures go under it; its parent's never do.
        for (quint32 k : m_model.keptOf(owner)) {
            const Kept &kept = m_model.kept[k];
            QByteArray path = m_model.utf8(kept.path).toByteArray();
            if (!belongs(path, base))
                continue;
            const QByteArrayView tag = m_model.keptTagName(m_model.keptLines[kept.firstLine].tag);
            frame.pending.push_back({k, kept.position, std::move(path), tag, kept.after});
        }
        if (!frame.pending.empty()) {
            frame.ownerFrame = index;
            frame.path = base.toByteArray();
        }
    } else if (parentOwner >= 0) {
        const Frame &parent = m_frames[size_t(index - 1)];
        frame.ownerFrame = parentOwner;
        frame.path = parent.path;
        if (!frame.path.isEmpty())
            frame.path.append('/');
        frame.path.append(tag);
        frame.path.append(':');
        frame.path.append(QByteArray::number(number));
    }
    if (frame.ownerFrame >= 0) {
        const std::vector<Pending> &pending = m_frames[size_t(frame.ownerFrame)].pending;
        for (size_t i = 0; i < pending.size(); ++i) {
            if (!pending[i].done && pending[i].path == frame.path)
                frame.here.push_back(i);
        }
    }
}

void StructWriter::record(QByteArrayView id, QByteArrayView tag, const QString &value, Ref owner)
{
    while (m_depth > 0)
        close();
    if (value.isEmpty()) {
        m_out.record(id, tag);
    } else {
        QByteArray head = id.toByteArray();
        if (!head.isEmpty())
            head.append(' ');
        head.append(tag);
        m_out.text(0, head, value);
    }
    push(tag, owner, {});
}

void StructWriter::open(QByteArrayView tag, const QString &value, Ref owner, QByteArrayView base)
{
    beforeChild();
    writeLine(m_depth, tag, value);
    if (m_depth > 0)
        ++top().children;
    push(tag, owner, base);
}

void StructWriter::openText(QByteArrayView tag, QByteArrayView utf8, Ref owner)
{
    beforeChild();
    if (utf8.isEmpty())
        m_out.plain(m_depth, tag, {});
    else
        m_out.text(m_depth, tag, utf8);
    if (m_depth > 0)
        ++top().children;
    push(tag, owner, {});
}

void StructWriter::openPlain(QByteArrayView tag, QByteArrayView value, Ref owner)
{
    beforeChild();
    m_out.plain(m_depth, tag, value);
    if (m_depth > 0)
        ++top().children;
    push(tag, owner, {});
}

void StructWriter::openPointer(QByteArrayView tag, QByteArrayView id, Ref owner,
                               QByteArrayView base)
{
    beforeChild();
    m_out.pointer(m_depth, tag, id);
    if (m_depth > 0)
        ++top().children;
    push(tag, owner, base);
}

void StructWriter::close()
{
    const int index = m_depth - 1;
    Frame &frame = top();
    if (frame.next < frame.here.size())
        flush(frame, quint32(-1));
    if (frame.ownerFrame == index) {
        // Kept structures whose line was not written: at the end of the owner's line.
        for (Pending &item : frame.pending) {
            if (item.done)
                continue;
            item.done = true;
            writeKept(item.kept, index + 1);
        }
    }
    --m_depth;
}

void StructWriter::writeValueLine(int level, QByteArrayView tag, const KeptLine &line)
{
    switch (line.kind) {
    case KeptLine::Value::Pointer:
        m_out.pointer(level, tag, m_idOf(line.target));
        break;
    case KeptLine::Value::Text:
        m_out.text(level, tag, m_model.utf8(line.value));
        break;
    case KeptLine::Value::None:
        m_out.plain(level, tag, {});
        break;
    }
}

void StructWriter::writeKept(quint32 keptIndex, int level, QByteArrayView id)
{
    const Kept &kept = m_model.kept[keptIndex];
    const std::span<const KeptLine> lines = m_model.linesOf(kept);
    for (size_t i = 0; i < lines.size(); ++i) {
        const KeptLine &line = lines[i];
        const QByteArrayView tag = m_model.keptTagName(line.tag);
        if (i == 0 && !id.isEmpty()) {
            QByteArray head = id.toByteArray();
            head.append(' ');
            head.append(tag);
            writeValueLine(level, head, line);
        } else {
            writeValueLine(level + line.level, tag, line);
        }
    }
}

void StructWriter::keptRecord(quint32 kept, QByteArrayView id)
{
    while (m_depth > 0)
        close();
    writeKept(kept, 0, id);
}

} // namespace Gedcom::Model
