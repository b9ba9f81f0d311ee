#include "FileErrors.h"

#include <QDir>
#include <QSqlError>

namespace Store::FileErrors {
namespace {

// The engine's primary result codes this file tells apart.
enum : int {
    kBusy = 5,
    kLocked = 6,
    kReadOnly = 8,
    kIoError = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kNotADatabase = 26,
};
// Extended codes of kIoError that are failures to read.
constexpr int kIoErrRead = kIoError | (1 << 8);
constexpr int kIoErrShortRead = kIoError | (2 << 8);
// The file the connection has open is no longer the one at the database's path.
constexpr int kReadOnlyDbMoved = kReadOnly | (4 << 8);

} // namespace

int EngineCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    if (ok && code != 0)
        return code;
    // The engine's own texts for its result codes, as it reports them.
    static const struct
    {
        const char *text;
        int code;
    } known[] = {
        {"database is locked", kBusy},
        {"database table is locked", kLocked},
        {"attempt to write a readonly database", kReadOnly},
        {"disk I/O error", kIoError},
        {"database disk image is malformed", kCorrupt},
        {"database or disk is full", kFull},
        {"unable to open database file", kCantOpen},
        {"file is not a database", kNotADatabase},
    };
    const QString text = error.databaseText();
    for (const auto &entry : known) {
        if (text.contains(QLatin1String(entry.text), Qt::CaseInsensitive))
            return entry.code;
    }
    return 0;
}

QString DatabaseName(const QString &databasePath)
{
    return databasePath.isEmpty()
               ? QStringLiteral("The database")
               : QStringLiteral("The database '%1'").arg(QDir::toNativeSeparators(databasePath));
}

Error Named(Error error, const QString &databasePath)
{
    if (!error.isFileFailure() || databasePath.isEmpty() || !error.where().isEmpty())
        return error;
    const QString unnamed = DatabaseName(QString());
    QString text = error.text();
    if (text.startsWith(unnamed))
        text.replace(0, unnamed.size(), DatabaseName(databasePath));
    return Error(error.code(), text, databasePath);
}

Error ForEngineCode(int code, const QString &databasePath)
{
    const QString name = DatabaseName(databasePath);
    const auto failure = [&databasePath](ErrorCode what, const QString &text) {
        return Error(what, text, databasePath);
    };
    switch (code & 0xFF) {
    case kBusy:
    case kLocked:
        return failure(
            ErrorCode::Busy,
            name + QStringLiteral(" is in use by another program. Nothing was changed.\r\n\r\n"
                                  "Close the other program, or wait until it has finished, "
                                  "and try again."));
    case kFull:
        return failure(ErrorCode::Full,
                       name +
                           QStringLiteral(" could not be written: the disk is full. Nothing was "
                                          "changed.\r\n\r\nMake room on the disk and try again."));
    case kIoError:
        if (code == kIoErrRead || code == kIoErrShortRead)
            return failure(ErrorCode::NoPermission,
                           name + QStringLiteral(" could not be read: the disk reported an error. "
                                                 "Nothing was changed."));
        return failure(ErrorCode::Full,
                       name +
                           QStringLiteral(" could not be written: the disk is full, or the file "
                                          "would grow larger than the system allows. Nothing was "
                                          "changed.\r\n\r\nMake room on the disk and try again."));
    case kCorrupt:
    case kNotADatabase:
        return failure(ErrorCode::Damaged,
                       name + QStringLiteral(" is damaged: it can no longer be read as a database. "
                                             "Nothing was changed; the file has been left as it is."
                                             "\r\n\r\nRestore it from a backup copy."));
    case kReadOnly:
        if (code == kReadOnlyDbMoved)
            return failure(ErrorCode::ReadOnly,
                           name + QStringLiteral(" was moved, replaced or deleted by another "
                                                 "program while it was open here. Nothing was "
                                                 "changed.\r\n\r\nStart Velkin Tree again to go "
                                                 "on with the database as it is now."));
        return failure(ErrorCode::ReadOnly,
                       name + QStringLiteral(" cannot be written: the file or its folder is "
                                             "read-only. Nothing was changed."));
    case kCantOpen:
        return failure(ErrorCode::NoPermission,
                       name + QStringLiteral(" could not be opened: the file or its folder cannot "
                                             "be read or written. Nothing was changed."));
    default:
        return {};
    }
}

} // namespace Store::FileErrors
