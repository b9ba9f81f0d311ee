#include "TreeCopy.h"

#include "FoldedKeySet.h"
#include "KeyAssigner.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "PhotoFolders.h"
#include "PhotoStage.h"
#include "StoreImport.h"
#include "mDatabase.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The names of a folder's regular files whose bytes are not valid UTF-8 (photos copied from an
// old disk): Qt's listing leaves them out and cannot reach them by name.
QList<QByteArray> rawNames(const QByteArray &folder)
{
    QList<QByteArray> names;
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.constData()), ::closedir);
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (QFile::encodeName(QFile::decodeName(name)) == name)
            continue;
        struct stat info;
        if (::stat((folder + '/' + name).constData(), &info) == 0 && S_ISREG(info.st_mode))
            names.append(name);
    }
    return names;
}

// Copies a file by the bytes of its paths; a copy that fails part-way is removed.
bool copyByBytes(const QByteArray &from, const QByteArray &to)
{
    const int in = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    QFile source;
    if (!source.open(in, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(in);
        return false;
    }
    const int out = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (out < 0)
        return false;
    QFile target;
    if (!target.open(out, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(out);
        ::unlink(to.constData());
        return false;
    }
    bool done = false;
    for (;;) {
        const QByteArray chunk = source.read(qint64(1) << 20);
        if (chunk.isEmpty()) {
            done = source.atEnd();
            break;
        }
        if (target.write(chunk) != chunk.size())
            break;
    }
    done = done && target.flush();
    target.close();
    if (!done)
        ::unlink(to.constData());
    return done;
}

// The photo files of one key in the source, copied into the stage under the key the target
// gives it (also those whose names are not valid UTF-8). Returns how many could not be copied.
qsizetype stagePhotos(const QString &from, const QString &to, qsizetype &copied)
{
    const QDir source(from);
    if (from.isEmpty() || !source.exists())
        return 0;
    qsizetype failed = 0;
    const QStringList files = source.entryList(QDir::Files | QDir::Hidden);
    const QByteArray fromBytes = QFile::encodeName(source.absolutePath());
    const QList<QByteArray> raw = rawNames(fromBytes);
    if (files.isEmpty() && raw.isEmpty())
        return 0;
    if (!QDir().mkpath(to))
        return files.size() + raw.size();
    for (const QString &file : files) {
        if (QFile::copy(source.filePath(file), to + file))
            ++copied;
        else
            ++failed;
    }
    const QByteArray toBytes = QFile::encodeName(to);
    for (const QByteArray &name : raw) {
        if (copyByBytes(fromBytes + '/' + name, toBytes + name))
            ++copied;
        else
            ++failed;
    }
    return failed;
}

// The keys the rows get in the target: their own where free there, else as an import makes
// them. Parent keys follow; a parent outside the tree keeps its key.
qsizetype rekey(QList<Genealogy::PersonRow> &rows, const Gedcom::KeyTest &taken)
{
    Gedcom::KeyAssigner keys(taken);
    keys.reserve(rows.size());
    QHash<QString, QString> renamed; // the old key as it was, folded, to the new
    qsizetype changed = 0;
    for (Genealogy::PersonRow &row : rows) {
        const QString key = keys.assign(row.ID);
        if (key != row.ID) {
            renamed.insert(row.ID.toUpper(), key);
            ++changed;
        }
        row.ID = key;
    }
    if (!renamed.isEmpty()) {
        for (Genealogy::PersonRow &row : rows) {
            if (IsRootKey(row.PrntKey))
                continue;
            if (const auto found = renamed.constFind(row.PrntKey.toUpper());
                found != renamed.cend())
                row.PrntKey = *found;
        }
    }
    return changed;
}

} // namespace

namespace TreeCopy {

QString Outcome::Summary() const
{
    QString text = QStringLiteral("copied %1 persons into '%2' (%3 with a new key), %4 families, "
                                  "%5 photos")
                       .arg(persons)
                       .arg(tree)
                       .arg(rekeyed)
                       .arg(families)
                       .arg(photos);
    if (photosLeft > 0)
        text += QStringLiteral("; %1 photos could not be copied").arg(photosLeft);
    if (photosUnavailable)
        text += QStringLiteral("; the photos of the source could not be reached and were not "
                               "copied");
    return text;
}

Result<Outcome> Copy(const mDatabase &source, const QString &tree, mDatabase &target,
                     const Progress &progress)
{
    const QString stored = source.StoredTreeName(tree);
    if (stored.isEmpty())
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("There is no tree named '%1'.").arg(tree));
    if (const Result<void> free = NewTreeWriter::Check(target, stored); !free) {
        if (free.error().is(ErrorCode::Taken))
            return free.error().withText(
                QStringLiteral("%1 already holds a tree named '%2'. Rename one of them first.")
                    .arg(target.DatabaseDisplayName(), stored));
        return free.error();
    }
    Result<Genealogy::ModelSlice> whole = ModelStore::readTree(source, stored);
    if (!whole)
        return whole.error();
    QList<Genealogy::PersonRow> rows(whole->rows.begin(), whole->rows.end());
    const QList<Genealogy::PersonRow> original = rows;
    const qint64 total = rows.size() + 2;
    const auto going = [&](qint64 done) { return !progress || progress(done, total); };
    const Error cancelled(ErrorCode::Cancelled, QStringLiteral("The copy was cancelled."));

    Outcome outcome;
    outcome.tree = stored;
    outcome.persons = rows.size();
    outcome.photosUnavailable = source.DataPath().isEmpty();

    // Another program may take a key between reading the keys and the write lock: then again.
    for (int attempt = 0;; ++attempt) {
        rows = original;
        const qint64 version = target.DataVersion();
        Result<Gedcom::KeyTest> taken = Gedcom::takenKeys(target);
        if (!taken)
            return taken.error();
        outcome.rekeyed = rekey(rows, *taken);

        // The photos first, into a stage of the target: nothing shows of them before the commit.
        std::unique_ptr<PhotoStage> stage;
        qsizetype staged = 0;
        outcome.photosLeft = 0;
        for (qsizetype i = 0; i < rows.size() && !outcome.photosUnavailable; ++i) {
            const QString from = PhotoFolders::FolderOf(source.DataPath(), original[i].ID);
            if (from.isEmpty() || (QDir(from).isEmpty(QDir::Files | QDir::Hidden) &&
                                   rawNames(QFile::encodeName(from)).isEmpty()))
                continue;
            if (!stage) {
                Result<std::unique_ptr<PhotoStage>> made =
                    PhotoStage::Create(target.DataPath(), stored);
                if (!made)
                    return made.error();
                stage = std::move(*made);
            }
            outcome.photosLeft +=
                stagePhotos(from, stage->Folder() + rows[i].ID + QLatin1Char('/'), staged);
        }

        NewTreeWriter writer(target);
        if (const Result<void> begun = writer.Begin(stored); !begun)
            return begun.error();
        if (target.DataVersion() != version && attempt < 3)
            continue; // the writer rolls back, the stage goes
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (const Result<void> added = writer.Add(rows[i]); !added)
                return added.error();
            if (i % 256 == 0 && !going(i))
                return cancelled;
        }
        if (whole->model.personCount() > 0) {
            if (const Result<void> model = ModelStore::writeModelInTransaction(
                    target, stored, std::span<const Genealogy::PersonRow>(rows.data(), rows.size()),
                    whole->model);
                !model)
                return model.error();
        }
        if (!going(rows.size()))
            return cancelled;
        if (const Result<void> committed = writer.Commit(); !committed)
            return committed.error();
        if (stage) {
            const qsizetype left = stage->Place();
            outcome.photosLeft += left;
            outcome.photos = staged - left;
        }
        outcome.families = whole->model.families.size();
        going(total);
        return outcome;
    }
}

} // namespace TreeCopy
