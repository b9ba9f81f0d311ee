#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace Pixtile {

// The text keys of a PNG file (its tEXt, zTXt and iTXt chunks), read from the file's bytes
// without decoding the picture. The bytes are untrusted: thumbnail cache entries may have been
// written by any program. A malformed file gives the keys read before the fault and is never
// read past its end; a compressed value is unpacked only up to kMaxValueBytes (longer ones are
// left out), and compressed chunks larger than kMaxCompressedBytes are skipped.
namespace PngTextKeys {

constexpr int kMaxValueBytes = 64 * 1024;
constexpr int kMaxCompressedBytes = 64 * 1024;

QMap<QString, QString> Read(const QByteArray &png);

} // namespace PngTextKeys

} // namespace Pixtile
