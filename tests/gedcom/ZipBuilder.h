#pragma once

#include <QByteArray>
#include <QList>

#include <zlib.h>

// Builds zip archives byte by byte for the GEDZIP tests, including what no honest writer makes:
// names that leave the folder, links, sizes that lie, duplicate names, unknown methods.
namespace TestZip {

struct Entry
{
    QByteArray name;
    QByteArray data; // as stored (compressed when method is 8)
    quint32 crc = 0;
    quint64 size = 0;       // the uncompressed size the headers declare
    quint16 method = 0;     // 0 stored, 8 deflated
    quint16 flags = 0x0800; // names in UTF-8
    quint8 system = 3;      // Unix
    quint32 external = quint32(0100644) << 16;
};

inline void put16(QByteArray &out, quint32 value)
{
    out.append(char(value & 0xFF)).append(char((value >> 8) & 0xFF));
}

inline void put32(QByteArray &out, quint32 value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

inline quint32 crcOf(const QByteArray &bytes)
{
    return quint32(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(bytes.constData()),
                         uInt(bytes.size())));
}

// Raw deflate (no zlib header), as zip stores it.
inline QByteArray deflateRaw(const QByteArray &bytes)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(bytes.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

inline Entry stored(const QByteArray &name, const QByteArray &content)
{
    Entry e;
    e.name = name;
    e.data = content;
    e.crc = crcOf(content);
    e.size = quint64(content.size());
    return e;
}

inline Entry deflated(const QByteArray &name, const QByteArray &content)
{
    Entry e = stored(name, content);
    e.data = deflateRaw(content);
    e.method = 8;
    return e;
}

// A deflate stream of `mebibytes` MiB of zero bytes, about a thousandth of that in size: one
// MiB compressed and flushed so that it stands alone, repeated, then an empty final block.
inline QByteArray zeroBomb(int mebibytes)
{
    const QByteArray zeros(1024 * 1024, '\0');
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    QByteArray block(1 << 20, Qt::Uninitialized);
    const auto compress = [&](int flush) {
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
        stream.avail_in = flush == Z_FINISH ? 0 : uInt(zeros.size());
        stream.next_out = reinterpret_cast<Bytef *>(block.data());
        stream.avail_out = uInt(block.size());
        deflate(&stream, flush);
        return block.left(block.size() - qsizetype(stream.avail_out));
    };
    QByteArray out = compress(Z_FULL_FLUSH);
    const QByteArray repeated = compress(Z_FULL_FLUSH); // stands alone after a full flush
    for (int i = 2; i < mebibytes; ++i)
        out += repeated;
    out += compress(Z_FINISH);
    deflateEnd(&stream);
    return out;
}

inline QByteArray archive(const QList<Entry> &entries)
{
    QByteArray out;
    QList<quint32> offsets;
    const auto header = [](QByteArray &o, const Entry &e) {
        put16(o, e.flags);
        put16(o, e.method);
        put16(o, 0x6000); // 12:00
        put16(o, 0x5821); // 1 Jan 2024
        put32(o, e.crc);
        put32(o, quint32(e.data.size()));
        put32(o, quint32(std::min<quint64>(e.size, 0xFFFFFFFEu)));
        put16(o, quint32(e.name.size()));
        put16(o, 0); // extra field
    };
    for (const Entry &e : entries) {
        offsets.append(quint32(out.size()));
        put32(out, 0x04034b50);
        put16(out, 20);
        header(out, e);
        out += e.name;
        out += e.data;
    }
    const quint32 directory = quint32(out.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const Entry &e = entries[i];
        put32(out, 0x02014b50);
        put16(out, (quint32(e.system) << 8) | 20);
        put16(out, 20);
        header(out, e);
        put16(out, 0); // comment
        put16(out, 0); // disk
        put16(out, 0); // internal attributes
        put32(out, e.external);
        put32(out, offsets[i]);
        out += e.name;
    }
    const quint32 directorySize = quint32(out.size()) - directory;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, quint32(entries.size()));
    put16(out, quint32(entries.size()));
    put32(out, directorySize);
    put32(out, directory);
    put16(out, 0);
    return out;
}

} // namespace TestZip
