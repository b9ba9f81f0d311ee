#include "CommandLine.h"

#include "NativeNames.h"
#include "ServerPassword.h"
#include "SharedPhotos.h"
#include "mDatabase.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace Cli {

namespace {

QString dashed(const QCommandLineOption &option)
{
    return QStringLiteral("--") + option.names().constFirst();
}

bool isSet(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    return parser.isSet(option.names().constFirst());
}

} // namespace

bool Context::OpenStore(mDatabase &store, bool create) const
{
    store.BuildConnectionString(dataPath);
    if (server) {
        const PasswordKeyring::State keyring = SetServer(store, *server);
        store.SetCreateTables(create);
        if (const Result<void> opened = store.OpenDatabase(); !opened) {
            Fail(PasswordKeyring::OpenFailureText(opened.error(), keyring));
            return false;
        }
        if (!store.OpenNotice().isEmpty())
            err << store.OpenNotice() << Qt::endl;
        // The photos are kept where the database names them (or, naming none, in the data
        // folder); unreachable, what needs them is refused.
        if (const QString photos = SharedPhotos::Apply(store, QString(), dataPath);
            !photos.isEmpty())
            err << photos << Qt::endl;
        return true;
    }
    if (!create && !QFileInfo::exists(store.DatabasePath())) {
        Fail(QStringLiteral("There is no database in '%1'.")
                 .arg(QDir::toNativeSeparators(dataPath)));
        return false;
    }
    if (const Result<void> opened = store.OpenDatabase(); !opened) {
        Fail(QStringLiteral("The database '%1' could not be opened.\n%2")
                 .arg(QDir::toNativeSeparators(store.DatabasePath()), opened.error().text()));
        return false;
    }
    if (!store.OpenNotice().isEmpty())
        err << store.OpenNotice() << Qt::endl;
    return true;
}

int Context::Fail(const QString &message) const
{
    err << message << Qt::endl;
    return 1;
}

const QCommandLineOption &DatabaseOption()
{
    static const QCommandLineOption option(
        QStringLiteral("database"),
        QStringLiteral("Use the shared database at <address> instead of the data folder's: "
                       "postgresql://user@host:port/database (with ?sslmode=require or "
                       "verify-full for TLS, ?host=/socket/folder for a local server) or "
                       "host=... port=... dbname=... user=... sslmode=... . Never with a "
                       "password: it is read from the desktop keyring (kept there by the "
                       "window's Connect to Shared Database...), else from ~/.pgpass (or the "
                       "file PGPASSFILE names)."),
        QStringLiteral("address"));
    return option;
}

void AddOptions(QCommandLineParser &parser)
{
    parser.addOption(DatabaseOption());
    // An option several commands share (--person, --privacy) is added once.
    QStringList added;
    for (const Command &command : Commands()) {
        parser.addOption(command.trigger);
        for (const QCommandLineOption &option : command.options) {
            if (added.contains(option.names().constFirst()))
                continue;
            added << option.names().constFirst();
            parser.addOption(option);
        }
    }
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("A GEDCOM file to import: the import dialog opens for it once the window "
                       "is up. With --export-gedcom or --export-chart, the file to write; with "
                       "--person-facts, the person's key."),
        QStringLiteral("[file]"));
}

bool Requested(const QCommandLineParser &parser)
{
    for (const Command &command : Commands()) {
        if (isSet(parser, command.trigger))
            return true;
        for (const QCommandLineOption &option : command.options) {
            if (isSet(parser, option))
                return true;
        }
    }
    return false;
}

int Run(const QCommandLineParser &parser, const QString &dataPath, QTextStream &out,
        QTextStream &err, const SliceSourceFor &slices)
{
    Context context{parser, dataPath, out, err, slices};
    if (parser.isSet(DatabaseOption().names().constFirst())) {
        const Result<ServerAddress> address =
            ParseServerAddress(parser.value(DatabaseOption().names().constFirst()));
        if (!address)
            return context.Fail(address.error().text());
        context.server = *address;
    }
    const Command *chosen = nullptr;
    for (const Command &command : Commands()) {
        if (!isSet(parser, command.trigger))
            continue;
        if (chosen)
            return context.Fail(QStringLiteral("%1 and %2 cannot be given together: one command "
                                               "at a time.")
                                    .arg(dashed(chosen->trigger), dashed(command.trigger)));
        chosen = &command;
    }
    // An option of a command that was not given (and that the chosen one does not share).
    QStringList ownOptions;
    if (chosen) {
        for (const QCommandLineOption &option : chosen->options)
            ownOptions << option.names().constFirst();
    }
    for (const Command &command : Commands()) {
        if (&command == chosen)
            continue;
        for (const QCommandLineOption &option : command.options) {
            if (isSet(parser, option) && !ownOptions.contains(option.names().constFirst()))
                return context.Fail(QStringLiteral("%1 is used with %2.")
                                        .arg(dashed(option), dashed(command.trigger)));
        }
    }
    if (!chosen)
        return context.Fail(QStringLiteral("No command was given."));
    return chosen->run(context);
}

int Run(const QCommandLineParser &parser, const QString &dataPath, const SliceSourceFor &slices)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    return Run(parser, dataPath, out, err, slices);
}

QString ArgumentNotUtf8(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        if (QString::fromLocal8Bit(bytes).toLocal8Bit() != bytes)
            return NativeNames::Display(NativeNames::Decode(bytes));
    }
    return QString();
}

QString NotUtf8Text(const QString &shownArgument)
{
    return QStringLiteral("The argument '%1' is not valid UTF-8 (the bytes shown as \\xNN), so it "
                          "would be read as another name: a file, folder or tree other than the "
                          "one given. Nothing was done. Give the name in UTF-8 (rename the file "
                          "or folder if need be).")
        .arg(shownArgument);
}

void PrepareEnvironment(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    // The help and the version are printed without a window too.
    static const QStringList printing{"-h", "-?", "--help", "-v", "--version"};
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--"))
            return;
        if (printing.contains(argument)) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            return;
        }
        for (const Command &command : Commands()) {
            for (const QCommandLineOption &option : QList{command.trigger} + command.options) {
                const QString name = dashed(option);
                if (argument == name || argument.startsWith(name + QLatin1Char('='))) {
                    qputenv("QT_QPA_PLATFORM", "offscreen");
                    return;
                }
            }
        }
    }
}

} // namespace Cli
