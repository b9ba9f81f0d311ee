#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

// Writes the new content of a file without ever damaging the one that is there: everything goes
// into a temporary file beside the target, every write is checked, the data is flushed to the
// disk, and only then is the temporary file renamed over the target in one step. On any failure
// (a full disk, a size limit, a folder that cannot be written, a write error) the temporary file
// is removed and the target is exactly as it was.
//
// The target:
// - a symbolic link is followed: the file it points to is replaced, in that file's folder, and the
//   link stays a link;
// - an existing target that is not a regular file (a pipe, a device, a socket, a folder) is
//   refused before anything is written: it is never replaced, nor written into;
// - an existing file that this user may not write is refused as well;
// - a replaced file keeps its permissions (and, where allowed, its owner); a new file gets 0666
//   less the umask; with Access::Private every file is 0600.
//
// Use it as a write-only QIODevice (for picture, PDF and SVG writers), then commit(); a device
// destroyed or closed without a successful commit() leaves the target untouched. Not for several
// threads at once, but any number of them may each use their own.
class ReplacingFile : public QIODevice
{
public:
    enum class Access { Shared, Private };

    explicit ReplacingFile(const QString &target, Access access = Access::Shared);
    ~ReplacingFile() override;
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    // Whether commit() waits until the data is on the disk before the rename (the default). A
    // cache whose entries may be lost in a crash, but never be found half written, turns it off.
    void setSyncToDisk(bool sync) { m_sync = sync; }

    // Checks the target and makes the temporary file; only WriteOnly (Truncate implied) is
    // accepted. False with the reason in errorString().
    bool open(OpenMode mode = WriteOnly) override;
    // Writes what is held back, flushes everything to the disk and renames the temporary file
    // over the target. False with the reason in errorString(), the target untouched.
    bool commit();
    // Discards what was written; the target stays as it was.
    void cancel();
    // The same as cancel() unless commit() succeeded.
    void close() override;

    bool isSequential() const override { return false; }
    bool seek(qint64 pos) override;
    qint64 size() const override { return m_size; }

    // The path as given, and the file that is replaced (a link's target).
    const QString &target() const { return m_target; }
    QString destination() const;
    // Whether the target existed (as a regular file) when the device was opened.
    bool replacesExisting() const { return m_existed; }
    // What went wrong, as a clause for a sentence ("the disk is full"); empty when nothing did.
    // errorString() is the whole sentence, naming the path.
    const QString &reason() const { return m_reason; }
    // The system's error number (errno) of that failure; 0 when it was none of the system's (a
    // target that is not a regular file, a device used the wrong way).
    int systemError() const { return m_systemError; }

    // Why the path cannot be replaced by a file at all ("it is a pipe, not a regular file"), or
    // an empty text: checks what open() checks first, without making anything. For asking
    // before the work of an export is done.
    static QString TargetProblem(const QString &path);

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override;

private:
    bool fail(const QString &reason);
    bool failErrno(int error);
    bool flushBuffer();
    bool writeAll(const char *data, qint64 length);
    void discard();

    QString m_target;
    QByteArray m_destination; // the file replaced, in the system's encoding
    QByteArray m_temporary;   // the temporary file beside it, while it exists
    Access m_access;
    int m_fd = -1;
    bool m_existed = false;
    bool m_committed = false;
    bool m_sync = true;
    qint64 m_size = 0;    // the length of the new content so far
    qint64 m_filePos = 0; // where the next write to the file lands
    QByteArray m_buffer;  // writes held back, to go out at m_filePos
    QString m_reason;
    int m_systemError = 0;
};

// Replaces the file at `path` with `data` as ReplacingFile does. False with a sentence naming the
// path in `error` on failure, the file untouched.
bool ReplaceFileContents(const QString &path, QByteArrayView data, QString *error = nullptr,
                         ReplacingFile::Access access = ReplacingFile::Access::Shared);
