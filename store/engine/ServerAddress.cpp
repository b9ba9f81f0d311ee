#include "ServerAddress.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <libpq-fe.h>

#include <algorithm>
#include <memory>

namespace {

struct OptionsDeleter
{
    void operator()(PQconninfoOption *options) const { PQconninfoFree(options); }
};
struct MessageDeleter
{
    void operator()(char *message) const { PQfreemem(message); }
};

// A value as a quoted word of the keyword form.
QString quotedValue(const QString &value)
{
    QString text = value;
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

} // namespace

bool LooksLikeServerAddress(const QString &text)
{
    static const QRegularExpression keyword(QStringLiteral("^\\s*[A-Za-z_]+\\s*="));
    return text.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive) ||
           keyword.match(text).hasMatch();
}

Result<ServerAddress> ParseServerAddress(const QString &text)
{
    const auto refused = [](const QString &why) { return Error(ErrorCode::InvalidInput, why); };
    if (!LooksLikeServerAddress(text))
        return refused(QStringLiteral("'%1' is not a database address: give it as "
                                      "postgresql://user@host:port/database or as "
                                      "host=... port=... dbname=... user=...")
                           .arg(text));
    char *message = nullptr;
    const QByteArray utf8 = text.toUtf8();
    std::unique_ptr<PQconninfoOption, OptionsDeleter> options(
        PQconninfoParse(utf8.constData(), &message));
    const std::unique_ptr<char, MessageDeleter> messageGuard(message);
    if (!options)
        return refused(QStringLiteral("The database address '%1' cannot be read: %2")
                           .arg(text, message ? QString::fromUtf8(message).trimmed()
                                              : QStringLiteral("out of memory")));
    ServerAddress address;
    for (const PQconninfoOption *option = options.get(); option->keyword; ++option) {
        if (!option->val)
            continue;
        const QString key = QString::fromUtf8(option->keyword);
        const QString value = QString::fromUtf8(option->val);
        if (key == QLatin1String("password"))
            return refused(QStringLiteral(
                "The database address holds a password, which would show in the list of "
                "running programs. Give the address without it: the password is read from the "
                "password file (~/.pgpass, or the file PGPASSFILE names), or asked for in the "
                "window's \"Connect to Shared Database\" dialog."));
        if (value.contains(QLatin1Char(';')))
            return refused(QStringLiteral("The setting %1 of the database address cannot hold "
                                          "';'.")
                               .arg(key));
        if (key == QLatin1String("host"))
            address.host = value;
        else if (key == QLatin1String("port"))
            address.port = value;
        else if (key == QLatin1String("dbname"))
            address.database = value;
        else if (key == QLatin1String("user"))
            address.user = value;
        else
            address.settings.append({key, value});
    }
    if (!address.port.isEmpty()) {
        bool ok = false;
        const int port = address.port.toInt(&ok);
        if (!ok || port <= 0 || port > 65535)
            return refused(QStringLiteral("The port '%1' of the database address is not a "
                                          "number from 1 to 65535.")
                               .arg(address.port));
    }
    return address;
}

QString ServerAddress::Display() const
{
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        text += user + QLatin1Char('@');
    text += host.startsWith(QLatin1Char('/'))
                ? QStringLiteral("[%1]").arg(host)
                : (host.isEmpty() ? QStringLiteral("localhost") : host);
    if (!port.isEmpty())
        text += QLatin1Char(':') + port;
    text += QLatin1Char('/') + database;
    for (const auto &[key, value] : settings) {
        if (key == QLatin1String("sslmode"))
            text += QStringLiteral(" (TLS: %1)").arg(value);
    }
    return text;
}

ServerAddress ServerAddress::WithSystemCertificates() const
{
    QString mode = qEnvironmentVariable("PGSSLMODE");
    bool rootNamed = !qEnvironmentVariableIsEmpty("PGSSLROOTCERT") ||
                     QFileInfo::exists(QDir::homePath() + QStringLiteral("/.postgresql/root.crt"));
    for (const auto &[key, value] : settings) {
        if (key == QLatin1String("sslmode"))
            mode = value;
        else if (key == QLatin1String("sslrootcert"))
            rootNamed = true;
    }
    ServerAddress address = *this;
    if (rootNamed || (mode != QLatin1String("verify-full") && mode != QLatin1String("verify-ca")))
        return address;
    // Debian's bundle, and the other common places of the same.
    for (const char *bundle : {"/etc/ssl/certs/ca-certificates.crt",
                               "/etc/pki/tls/certs/ca-bundle.crt", "/etc/ssl/cert.pem"}) {
        if (QFileInfo::exists(QLatin1String(bundle))) {
            address.settings.append({QStringLiteral("sslrootcert"), QLatin1String(bundle)});
            break;
        }
    }
    return address;
}

ServerAddress ServerAddress::ForConnecting() const
{
    ServerAddress address = WithSystemCertificates();
    const auto set = [&address](const char *key) {
        return std::any_of(
            address.settings.begin(), address.settings.end(),
            [key](const auto &setting) { return setting.first == QLatin1String(key); });
    };
    if (!set("connect_timeout") && qEnvironmentVariableIsEmpty("PGCONNECT_TIMEOUT"))
        address.settings.append({QStringLiteral("connect_timeout"), QStringLiteral("10")});
    if (!set("tcp_user_timeout"))
        address.settings.append({QStringLiteral("tcp_user_timeout"), QStringLiteral("10000")});
    return address;
}

QString ServerAddress::DriverOptions() const
{
    QStringList parts;
    for (const auto &[key, value] : settings)
        parts << key + QLatin1Char('=') + quotedValue(value);
    return parts.join(QLatin1Char(';'));
}

QString ServerAddress::Keywords() const
{
    QStringList parts;
    const auto add = [&parts](const QString &key, const QString &value) {
        if (!value.isEmpty())
            parts << key + QLatin1Char('=') + quotedValue(value);
    };
    add(QStringLiteral("host"), host);
    add(QStringLiteral("port"), port);
    add(QStringLiteral("dbname"), database);
    add(QStringLiteral("user"), user);
    for (const auto &[key, value] : settings)
        add(key, value);
    return parts.join(QLatin1Char(' '));
}
