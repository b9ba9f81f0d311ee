#pragma once

#include <QString>

// What went wrong, for every failure of the store, the GEDCOM library and the program. The
// windows choose their messages by it, never by the text.
enum class ErrorCode {
    None,             // no failure
    Taken,            // the name or key is in use already (a tree name, a person's key)
    Missing,          // what was asked for is not there (a person's row, a file)
    ReadOnly,         // it may only be read: the database was opened for reading, or the file
                      // or its folder cannot be written
    Busy,             // another program holds it and did not let go in time
    Full,             // the disk is full, or the file would grow larger than the system allows
    Damaged,          // the file is damaged, cut off or not what it should be
    InvalidInput,     // what was given cannot be used: a name the rules refuse, a file that is
                      // not GEDCOM, a name that is no tree
    Cancelled,        // the user stopped it
    ChangedElsewhere, // another program changed it after it was read here
    NoPermission,     // the system does not let it be read or written (permissions, a failing
                      // disk, a folder that cannot be made)
    Unreachable,      // the server cannot be reached
    TreeMissing,      // the tree's table is gone: another program deleted or renamed it
    Failed,           // any other failure (not open, out of memory, the engine's own)
};

// The numbers the user sees in the title of the usual error report ("Error: <number>"), one for
// each code (ErrorNumber). Beside them, the numbers of the program's own reports that are not
// failures of the store (a type mismatch at start-up, a duplicate key in a chart collection).
constexpr long long kErrStatementFailed = -2147217900LL; // 0x80040E14: taken, invalid input
constexpr long long kErrGeneralFailure = -2147467259LL;  // 0x80004005: any other failure
constexpr long long kErrTypeMismatch = 13;
constexpr long long kErrDatabaseBusy = -2147287007LL;    // 0x80030021: busy
constexpr long long kErrDiskFull = -2147286928LL;        // 0x80030070: full
constexpr long long kErrDatabaseDamaged = -2147286775LL; // 0x80030109: damaged
constexpr long long kErrFileAccess = -2147287035LL;      // 0x80030005: read-only, no permission
constexpr long long kErrTreeMissing = -2147217865LL;     // 0x80040E37: tree missing
constexpr long long kErrRowChanged = -2147217864LL;      // 0x80040E38: changed elsewhere
constexpr long long kErrRowMissing = -2147217885LL;      // 0x80040E23: missing
constexpr long long kErrCancelled = -2147023673LL;       // 0x800704C7: cancelled
constexpr long long kErrUnreachable = -2147012867LL;     // 0x80072EFD: unreachable

// The number of the usual error report for a code; 0 for None.
constexpr long long ErrorNumber(ErrorCode code)
{
    switch (code) {
    case ErrorCode::None:
        return 0;
    case ErrorCode::Taken:
    case ErrorCode::InvalidInput:
        return kErrStatementFailed;
    case ErrorCode::Missing:
        return kErrRowMissing;
    case ErrorCode::ReadOnly:
    case ErrorCode::NoPermission:
        return kErrFileAccess;
    case ErrorCode::Busy:
        return kErrDatabaseBusy;
    case ErrorCode::Full:
        return kErrDiskFull;
    case ErrorCode::Damaged:
        return kErrDatabaseDamaged;
    case ErrorCode::Cancelled:
        return kErrCancelled;
    case ErrorCode::ChangedElsewhere:
        return kErrRowChanged;
    case ErrorCode::Unreachable:
        return kErrUnreachable;
    case ErrorCode::TreeMissing:
        return kErrTreeMissing;
    case ErrorCode::Failed:
        break;
    }
    return kErrGeneralFailure;
}

// One failure as the user is told of it: what went wrong (the code), the text to show, and the
// path or server at fault (empty when none is). A default Error is no failure.
class Error
{
public:
    Error() = default;
    Error(ErrorCode code, QString text, QString where = QString())
        : m_code(code), m_text(std::move(text)), m_where(std::move(where))
    {
    }

    ErrorCode code() const { return m_code; }
    const QString &text() const { return m_text; }
    const QString &where() const { return m_where; }
    // The number in the title of the usual error report.
    long long number() const { return ErrorNumber(m_code); }

    bool isError() const { return m_code != ErrorCode::None; }
    explicit operator bool() const { return isError(); }
    bool is(ErrorCode code) const { return m_code == code; }

    // The failures of the file itself rather than of what was asked (busy, full, damaged, not
    // writable or readable): the text says what happened and that nothing was changed, so the
    // windows show it as it is.
    bool isFileFailure() const
    {
        return m_code == ErrorCode::Busy || m_code == ErrorCode::Full ||
               m_code == ErrorCode::Damaged || m_code == ErrorCode::ReadOnly ||
               m_code == ErrorCode::NoPermission;
    }

    // The same failure with another text, or naming another place.
    Error withText(QString text) const { return Error(m_code, std::move(text), m_where); }
    Error at(QString where) const { return Error(m_code, m_text, std::move(where)); }

    bool operator==(const Error &) const = default;

private:
    ErrorCode m_code = ErrorCode::None;
    QString m_text;
    QString m_where;
};
