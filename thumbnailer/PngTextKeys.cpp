#include "PngTextKeys.h"

#include <zlib.h>

#include <cstring>

namespace Pixtile {

namespace PngTextKeys {

namespace {

quint32 be32(const char *p)
{
    const auto *u = reinterpret_cast<const uchar *>(p);
    return (quint32(u[0]) << 24) | (quint32(u[1]) << 16) | (quint32(u[2]) << 8) | quint32(u[3]);
}

// Inflates a zlib stream; false when it is broken or unpacks to more than kMaxValueBytes.
bool inflated(const char *data, qsizetype size, QByteArray &out)
{
    if (size <= 0 || size > kMaxCompressedBytes)
        return false;
    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    if (inflateInit(&stream) != Z_OK)
        return false;
    out.resize(kMaxValueBytes + 1);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
    stream.avail_in = uInt(size);
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const qsizetype produced = out.size() - qsizetype(stream.avail_out);
    inflateEnd(&stream);
    if (result != Z_STREAM_END || produced > kMaxValueBytes)
        return false;
    out.resize(produced);
    return true;
}

// The text up to the next NUL from `pos` (advanced past the NUL); false when there is none.
bool nulTerminated(const QByteArray &chunk, qsizetype &pos, QByteArray &text)
{
    const qsizetype end = chunk.indexOf('\0', pos);
    if (end < 0)
        return false;
    text = chunk.mid(pos, end - pos);
    pos = end + 1;
    return true;
}

void readChunk(const QByteArray &type, const QByteArray &chunk, QMap<QString, QString> &keys)
{
    qsizetype pos = 0;
    QByteArray key;
    if (!nulTerminated(chunk, pos, key) || key.isEmpty() || key.size() > 79)
        return;
    const QString name = QString::fromLatin1(key);
    if (type == "tEXt") {
        keys.insert(name, QString::fromLatin1(chunk.mid(pos)));
    } else if (type == "zTXt") {
        // compression method (0 = zlib), then the compressed text
        QByteArray text;
        if (pos < chunk.size() && chunk[pos] == 0 &&
            inflated(chunk.constData() + pos + 1, chunk.size() - pos - 1, text))
            keys.insert(name, QString::fromLatin1(text));
    } else if (type == "iTXt") {
        // compression flag, method, language tag, translated keyword, then UTF-8 text
        if (pos + 2 > chunk.size())
            return;
        const bool compressed = chunk[pos] != 0;
        const char method = chunk[pos + 1];
        pos += 2;
        QByteArray language, translated;
        if (!nulTerminated(chunk, pos, language) || !nulTerminated(chunk, pos, translated))
            return;
        QByteArray text = chunk.mid(pos);
        if (compressed && (method != 0 || !inflated(text.constData(), text.size(), text)))
            return;
        if (text.size() <= kMaxValueBytes)
            keys.insert(name, QString::fromUtf8(text));
    }
}

} // namespace

QMap<QString, QString> Read(const QByteArray &png)
{
    static const char signature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
    QMap<QString, QString> keys;
    if (png.size() < 8 || std::memcmp(png.constData(), signature, 8) != 0)
        return keys;
    qsizetype pos = 8;
    // Each chunk: length, type, data, CRC.
    while (png.size() - pos >= 12) {
        const quint32 length = be32(png.constData() + pos);
        const QByteArray type = png.mid(pos + 4, 4);
        if (length > quint32(png.size() - pos - 12))
            break;
        if (type == "IEND")
            break;
        if (type == "tEXt" || type == "zTXt" || type == "iTXt")
            readChunk(type, png.mid(pos + 8, qsizetype(length)), keys);
        pos += 12 + qsizetype(length);
    }
    return keys;
}

} // namespace PngTextKeys

} // namespace Pixtile
