#include "ServerErrors.h"

#include <QSqlError>

#include <algorithm>
#include <iterator>

namespace Store::ServerErrors {

bool IsServerCode(const QString &nativeCode)
{
    return nativeCode.size() == 5;
}

ErrorCode ForState(const QString &state)
{
    if (state == QLatin1String("23505"))
        return ErrorCode::Taken;
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01") ||
        state == QLatin1String("40001") || state == QLatin1String("55006"))
        return ErrorCode::Busy;
    if (state == QLatin1String("53100"))
        return ErrorCode::Full;
    if (state == QLatin1String("42501"))
        return ErrorCode::NoPermission;
    if (state == QLatin1String("25006"))
        return ErrorCode::ReadOnly;
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P")) ||
        state == QLatin1String("28P01") || state == QLatin1String("28000"))
        return ErrorCode::Unreachable;
    if (state.startsWith(QLatin1String("XX")))
        return ErrorCode::Damaged;
    // Syntax errors and rule violations: the statement could not run.
    if (state.startsWith(QLatin1String("42")) || state.startsWith(QLatin1String("22")))
        return ErrorCode::InvalidInput;
    return ErrorCode::Failed;
}

bool IsLostConnection(const QString &text)
{
    static const char *const lostTexts[] = {
        "server closed the connection", "no connection to the server",
        "could not send data to server", "could not receive data from server",
        "terminating connection due to"};
    return std::any_of(std::begin(lostTexts), std::end(lostTexts), [&text](const char *lost) {
        return text.contains(QLatin1String(lost), Qt::CaseInsensitive);
    });
}

Error LostConnection(const QString &text)
{
    const QString first = text.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
    return Error(ErrorCode::Unreachable,
                 QStringLiteral("The connection to the shared database was lost (%1). Nothing "
                                "was changed.\r\n\r\nCheck that the server is running and can "
                                "be reached, then try again.")
                     .arg(first));
}

Error FromSql(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("The database server reported an unknown error.");
    const ErrorCode code = ForState(error.nativeErrorCode());
    // The server names the table or policy; the user is told what to do about it.
    if (code == ErrorCode::NoPermission)
        text += QStringLiteral("\r\n\r\nYour role on the shared database does not have the right "
                               "to do this. Nothing was changed; ask the family's administrator "
                               "for the right to edit this tree.");
    return Error(code, text);
}

} // namespace Store::ServerErrors
