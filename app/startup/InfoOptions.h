#pragma once

#include <QCommandLineOption>
#include <QString>

class QCommandLineParser;

// The options --help (-h, -?) and --version (-v). They print what a start of this copy would use
// as its data folder besides the usual texts, which the parser's own versions of these options
// cannot do.
class InfoOptions
{
public:
    // Adds both options to `parser` (in place of addHelpOption and addVersionOption).
    explicit InfoOptions(QCommandLineParser &parser);

    // After the parser has processed the arguments: prints the help or the version when asked for
    // and returns true (the program then ends); false when neither was given.
    bool Print(const QCommandLineParser &parser, const QString &programDir,
               const QString &dataOverride) const;

    // The lines naming the data folder and the settings files, each ending with a line break.
    static QString DataFolderText(const QString &programDir, const QString &dataOverride);

private:
    QCommandLineOption m_help;
    QCommandLineOption m_version;
};
