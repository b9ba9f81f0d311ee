#pragma once

#include <QString>

#include <functional>

class QIODevice;

namespace Gedcom {

// Finds the image file an OBJE FILE reference names. 5.5.1 references are paths, absolute or
// relative to the GEDCOM file's folder (backslashes read as separators); 7.0 references are URIs:
// file: URIs and relative references (percent-encoded) name local files, web addresses are not
// fetched. When the path itself is not there, the file is looked for under the GEDCOM file's
// folder by the last parts of the path (the media folder often travels beside the file).
// Only a regular file of at most the size limit is opened, never a device, pipe or folder, and
// it counts only when the caller's test says it decodes as an image.
class PhotoLocator
{
public:
    using IsImage = std::function<bool(QIODevice &file)>;
    enum class Outcome { Found, Missing, Refused, NotImage, Remote };

    PhotoLocator(QString gedcomFolder, IsImage isImage, qint64 maxSize)
        : m_folder(std::move(gedcomFolder)), m_isImage(std::move(isImage)), m_maxSize(maxSize)
    {
    }

    // The outcome for one reference; `path` is set when the file was found.
    Outcome locate(const QString &reference, bool version7, QString &path) const;

private:
    Outcome check(const QString &candidate, QString &path) const;

    QString m_folder;
    IsImage m_isImage;
    qint64 m_maxSize;
};

} // namespace Gedcom
