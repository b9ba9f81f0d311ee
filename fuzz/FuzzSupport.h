#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// What the fuzz targets share: the application object some readers need, and a scratch folder
// (in memory where the system has one) for readers that take a file name.
namespace FuzzSupport {

// Creates the application object once: a GUI one (offscreen) when `gui`, else a core one.
void InitApplication(int *argc, char ***argv, bool gui);

// Writes the bytes to a file named `name` in the scratch folder and returns its path.
QString WriteScratchFile(const QString &name, const QByteArray &bytes);

// The scratch folder, ending with '/'.
QString ScratchFolder();

inline QByteArray Bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace FuzzSupport
