#include "StoreExport.h"

#include "Gedzip.h"
#include "ModelExport.h"
#include "ModelStore.h"
#include "ReplacingFile.h"
#include "WriteFailure.h"
#include "mDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUrl>

#include <new>

#include <sys/stat.h>

namespace Gedcom {

namespace {

bool isGedzip(const QString &path)
{
    return path.endsWith(QLatin1String(".gdz"), Qt::CaseInsensitive);
}

// A file of this computer a FILE value names: its path, and its bytes when they are not valid
// UTF-8 (a file: URL of a photo whose name came from an old disk).
struct LocalFile
{
    QString path;
    QByteArray bytes;
    bool isEmpty() const { return path.isEmpty(); }
};

bool isUtf8(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// A name of such bytes that an archive can hold: each byte that is not UTF-8 as \xNN.
QString readableName(const QByteArray &bytes)
{
    QString name;
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar lead = uchar(bytes[i]);
        const qsizetype length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        const QByteArray sequence = bytes.mid(i, length);
        if (lead < 0x80 || (lead >= 0xC2 && sequence.size() == length && isUtf8(sequence))) {
            name += QString::fromUtf8(sequence);
            i += length;
        } else {
            name += QStringLiteral("\\x") +
                    QStringLiteral("%1").arg(lead, 2, 16, QLatin1Char('0')).toUpper();
            ++i;
        }
    }
    return name;
}

// The local file a FILE value names (a file: URL or an absolute path), or none.
LocalFile localFileOf(const QByteArray &value)
{
    const QString text = QString::fromUtf8(value);
    QString local;
    if (text.startsWith(QLatin1String("file:"))) {
        const QUrl url(text);
        const QByteArray bytes =
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        if (url.isLocalFile() && url.host().isEmpty() && !isUtf8(bytes)) {
            struct stat info;
            if (::stat(bytes.constData(), &info) != 0 || !S_ISREG(info.st_mode))
                return {};
            return {readableName(bytes), bytes};
        }
        local = url.toLocalFile();
    } else if (QFileInfo(text).isAbsolute()) {
        local = text;
    }
    if (local.isEmpty() || !QFileInfo(local).isFile())
        return {};
    return {local, {}};
}

// The GEDCOM text of an archive: every FILE that names a local file (a photo of a person, a
// medium the tree names by its full path) names instead the archive's entry the file goes into.
QByteArray withEntryNames(const QByteArray &text, QList<GedzipMedia> &media)
{
    GedzipNames names;
    QHash<QByteArray, QString> entryOf;
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray &line : lines) {
        const qsizetype tag = line.indexOf(" FILE ");
        if (tag < 0 || tag > 3)
            continue;
        QByteArray value = line.mid(tag + 6);
        const bool cr = value.endsWith('\r');
        if (cr)
            value.chop(1);
        const LocalFile local = localFileOf(value);
        if (local.isEmpty())
            continue;
        QString &entry =
            entryOf[local.bytes.isEmpty() ? QFile::encodeName(local.path) : local.bytes];
        if (entry.isEmpty()) {
            entry = names.add(local.path);
            media.append({entry, local.path, local.bytes});
        }
        line = line.left(tag + 6) + gedzipFileValue(entry).toUtf8() + (cr ? "\r" : "");
    }
    return lines.join('\n');
}

// For an archive: a medium a person links that is a file of the person's photo folder (the
// import copied it there) names that file, so that it goes into the archive.
void linkPhotoFiles(const QList<PersonRecord> &rows, Genealogy::TreeModel &model,
                    const ExportOptions &options)
{
    using namespace Genealogy;
    if (!options.photosOf || model.personCount() != quint32(rows.size()))
        return;
    for (quint32 p = 0; p < model.personCount(); ++p) {
        const std::span<const quint32> links = model.mediaLinksOf(Ref(Kind::Person, p));
        if (links.empty())
            continue;
        QHash<QString, QString> byName;
        for (const QString &file : options.photosOf(rows[qsizetype(p)].ID))
            byName.insert(QFileInfo(file).fileName().toCaseFolded(), file);
        if (byName.isEmpty())
            continue;
        std::vector<quint32> media;
        for (quint32 l : links)
            media.push_back(model.mediaLinks[l].media);
        for (quint32 m : media) {
            const QString file = model.string(model.media[m].file);
            if (!localFileOf(file.toUtf8()).isEmpty())
                continue;
            const QString name = file.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
            const auto found = byName.constFind(name.toCaseFolded());
            if (found != byName.cend())
                model.media.edit(m).file = model.text(QStringView(*found));
        }
    }
}

} // namespace

StoreExport exportFromStore(const mDatabase &store, const QString &tree, const QString &path,
                            const ExportOptions &options)
{
    StoreExport result;
    if (!IsListedTreeName(tree) || store.StoredTreeName(tree).isEmpty()) {
        result.error = Error(ErrorCode::InvalidInput,
                             QStringLiteral("There is no tree named '%1'.").arg(tree));
        return result;
    }
    // A GEDZIP archive is always GEDCOM 7.0 and written whole by the archive library.
    const bool archive = isGedzip(path);
    ExportOptions chosen = options;
    if (archive)
        chosen.version = Version::Gedcom70;
    // Opened first: a file that cannot be written (a pipe, a device, a missing folder) is
    // refused before the tree is read.
    ReplacingFile file(path);
    if (!archive && !file.open(QIODevice::WriteOnly)) {
        result.error = WriteFailure(file);
        return result;
    }
    if (archive && QFileInfo::exists(path) && !QFileInfo(path).isFile()) {
        result.error = Error(ErrorCode::InvalidInput,
                             QStringLiteral("'%1' is not a regular file: it was not replaced.")
                                 .arg(QDir::toNativeSeparators(path)),
                             path);
        return result;
    }
    try {
        // The rows and the family records kept beside them; a tree without such records (made
        // by hand, or imported by an older version) is written from its rows alone.
        Result<Genealogy::ModelSlice> read = ModelStore::readTree(store, tree);
        if (!read) {
            result.error =
                read.error().withText(QStringLiteral("The tree '%1' could not be read: %2")
                                          .arg(tree, read.error().text()));
            return result;
        }
        if (!chosen.privacy.changesNothing()) {
            Genealogy::PrivacyView view =
                Genealogy::applyPrivacy(read->rows, read->model, chosen.privacy);
            // A living person's photos stay at home too.
            QSet<QString> hidden;
            for (size_t i = 0; i < view.persons.size(); ++i) {
                if (view.persons[i] != Genealogy::PersonShown::AsStored)
                    hidden.insert(read->rows[i].ID);
            }
            if (chosen.photosOf && !hidden.isEmpty())
                chosen.photosOf = [hidden, photos = chosen.photosOf](const QString &id) {
                    return hidden.contains(id) ? QStringList() : photos(id);
                };
            *read = std::move(view.slice);
        }
        // Moved, not copied: a copy of every text of every row is as long to make as to free.
        QList<PersonRecord> rows;
        rows.reserve(qsizetype(read->rows.size()));
        for (PersonRecord &row : read->rows)
            rows.append(std::move(row));
        read->rows = {};
        if (archive)
            linkPhotoFiles(rows, read->model, chosen);
        else // the text goes to the file as it is written, not whole into memory first
            chosen.sink = [&file](QByteArrayView bytes) {
                return file.write(bytes.data(), bytes.size()) == bytes.size();
            };
        const ExportResult written = read->model.personCount() > 0
                                         ? writeTree(rows, read->model, chosen)
                                         : exportRows(rows, chosen);
        if (archive) {
            QList<GedzipMedia> media;
            const QByteArray text = withEntryNames(written.data, media);
            if (const QString why = writeGedzip(path, text, media); !why.isEmpty()) {
                result.error = Error(ErrorCode::Failed,
                                     QStringLiteral("'%1' could not be written: %2")
                                         .arg(QDir::toNativeSeparators(path), why),
                                     path);
                return result;
            }
        } else if (written.sinkFailed || !file.commit()) {
            result.error = WriteFailure(file);
            return result;
        }
        result.rows = written.rows;
        result.persons = written.persons;
    } catch (const std::bad_alloc &) {
        result.error = Error(ErrorCode::Failed,
                             QStringLiteral("'%1' could not be written: there is not enough memory "
                                            "to write the tree '%2'. Nothing was changed.")
                                 .arg(QDir::toNativeSeparators(path), tree),
                             path);
    }
    return result;
}

} // namespace Gedcom
