#include "FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
FileDialog::Driver g_driver;
}

FileDialog::FileDialog(QObject *parent) : QObject(parent) {}

QStringList FileDialog::qtNameFilters() const
{
    QStringList result;
    const QStringList parts = m_filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            // Offer both spellings so that "*.JPG" also finds "a.jpg" on a case-sensitive disk.
            for (const QString &variant : {p, p.toLower(), p.toUpper()}) {
                if (!patterns.contains(variant))
                    patterns.append(variant);
            }
        }
        // Qt lists the patterns in brackets itself and reads the last bracketed part as the
        // patterns, so a description that already ends with its patterns drops them.
        QString description = parts.at(i);
        description.remove(QRegularExpression(QStringLiteral("\\s*\\([^()]*\\)\\s*$")));
        result.append(description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')'));
    }
    return result;
}

QString FileDialog::selectionResult(const QStringList &paths)
{
    if (paths.isEmpty())
        return QString();
    if (paths.size() == 1)
        return paths.first();
    QStringList pieces;
    pieces.append(QFileInfo(paths.first()).absolutePath());
    for (const QString &path : paths)
        pieces.append(QFileInfo(path).fileName());
    return pieces.join(QChar(u'\0'));
}

bool FileDialog::ShowOpen(QWidget *parent)
{
    if (g_driver) {
        const Driver driver = g_driver;
        const std::optional<QString> answer = driver(*this);
        if (!answer)
            return false;
        m_fileName = *answer;
        return true;
    }

    QFileDialog dialog(parent, m_title, m_initDir);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((m_flags & OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles
                                                        : QFileDialog::ExistingFile);
    const QStringList filters = qtNameFilters();
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = qBound(1, m_filterIndex, int(filters.size()));
        dialog.selectNameFilter(filters.at(index - 1));
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return false;
    m_fileName = selectionResult(chosen);
    return true;
}

void FileDialog::setDriver(Driver driver)
{
    g_driver = std::move(driver);
}

bool FileDialog::hasDriver()
{
    return bool(g_driver);
}
