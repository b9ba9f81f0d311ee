#include "InfoOptions.h"

#include "DataFolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

InfoOptions::InfoOptions(QCommandLineParser &parser)
    : m_help({QStringLiteral("?"), QStringLiteral("h"), QStringLiteral("help")},
             QStringLiteral("Displays help on commandline options and the data folder.")),
      m_version({QStringLiteral("v"), QStringLiteral("version")},
                QStringLiteral("Displays version information and the data folder."))
{
    parser.addOption(m_help);
    parser.addOption(m_version);
}

QString InfoOptions::DataFolderText(const QString &programDir, const QString &dataOverride)
{
    const QString folder = QDir::toNativeSeparators(PreviewDataFolder(programDir, dataOverride));
    QString kind;
    if (!dataOverride.isEmpty())
        kind = QStringLiteral("given by --data");
    else if (IsPortableCopy(programDir))
        kind = QStringLiteral("portable copy");
    else
        kind = QStringLiteral("installed copy");
    const bool hasDatabase = QFileInfo(QDir(folder).filePath(QStringLiteral("people.db"))).isFile();
    return QStringLiteral("Data folder: %1 (%2%3)\nSettings: %4\n")
        .arg(folder, kind,
             hasDatabase ? QString() : QStringLiteral("; no database yet, made on the first start"),
             QDir::toNativeSeparators(DefaultUserSettingsFile()));
}

bool InfoOptions::Print(const QCommandLineParser &parser, const QString &programDir,
                        const QString &dataOverride) const
{
    QString text;
    if (parser.isSet(m_help))
        text = parser.helpText() + QLatin1Char('\n');
    else if (parser.isSet(m_version))
        text = QCoreApplication::applicationName() + QLatin1Char(' ') +
               QCoreApplication::applicationVersion() + QLatin1Char('\n');
    else
        return false;
    text += DataFolderText(programDir, dataOverride);
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    return true;
}
