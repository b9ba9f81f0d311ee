#include "SettingsFiles.h"

#include "MessageService.h"
#include "PropertyBag.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray keptName(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : path.left(slash);
    return folder + "/." + path.mid(slash + 1).left(200) + ".kept-" +
           QByteArray::number(QRandomGenerator::global()->generate(), 36);
}

// A second name for the file as it is, taking no room on the disk; empty when none could be
// made (no file, or a disk without links).
QByteArray keepOldFile(const QByteArray &path)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        const QByteArray kept = keptName(path);
        if (::link(path.constData(), kept.constData()) == 0)
            return kept;
        if (errno != EEXIST)
            break;
    }
    return QByteArray();
}

bool sameValue(const QVariant &held, const QVariant &read)
{
    if (held == read)
        return true;
    // Numbers, truth values and lists of one text come back from the file as text.
    return held.canConvert<QString>() && read.canConvert<QString>() &&
           held.toString() == read.toString();
}

// Leaves the groups a caller has entered for as long as it lives, then enters them again as they
// were entered.
class TopLevel
{
public:
    explicit TopLevel(QSettings &settings) : m_settings(settings)
    {
        while (!m_settings.group().isEmpty()) {
            m_levels.append(m_settings.group());
            m_settings.endGroup();
        }
    }
    ~TopLevel()
    {
        QString at;
        for (auto level = m_levels.crbegin(); level != m_levels.crend(); ++level) {
            m_settings.beginGroup(at.isEmpty() ? *level : level->mid(at.size() + 1));
            at = *level;
        }
    }
    TopLevel(const TopLevel &) = delete;
    TopLevel &operator=(const TopLevel &) = delete;

private:
    QSettings &m_settings;
    QStringList m_levels; // the group at each depth, the innermost first
};

// Whether the file now holds every value of the settings (at their top level), as written.
bool fileHolds(const QString &file, const QSettings &settings)
{
    QSettings written(file, QSettings::IniFormat);
    if (written.status() != QSettings::NoError)
        return false;
    QStringList expected = settings.allKeys();
    QStringList found = written.allKeys();
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    if (expected != found)
        return false;
    for (const QString &key : std::as_const(expected)) {
        if (!sameValue(settings.value(key), written.value(key)))
            return false;
    }
    return true;
}

} // namespace

SettingsFiles::SettingsFiles(Report report) : m_report(report) {}

SettingsFiles::~SettingsFiles()
{
    // No message from here: the windows may be gone.
    syncAll(Report::Silent);
}

SettingsFiles::SettingsFiles(SettingsFiles &&other)
    : m_files(std::move(other.m_files)), m_reported(std::move(other.m_reported)),
      m_report(other.m_report), m_lastError(std::move(other.m_lastError))
{
}

SettingsFiles &SettingsFiles::operator=(SettingsFiles &&other)
{
    if (this != &other) {
        syncAll(Report::Silent);
        m_files = std::move(other.m_files);
        m_reported = std::move(other.m_reported);
        m_report = other.m_report;
        m_lastError = std::move(other.m_lastError);
    }
    return *this;
}

QSettings &SettingsFiles::File(const QString &file)
{
    std::unique_ptr<QSettings> &settings = m_files[file];
    if (!settings)
        settings = std::make_unique<QSettings>(file, QSettings::IniFormat);
    return *settings;
}

PropertyBag SettingsFiles::Design(const QString &file, const QString &group)
{
    return PropertyBag(File(file), group);
}

bool SettingsFiles::Sync()
{
    return syncAll(m_report);
}

bool SettingsFiles::Sync(const QString &file)
{
    const auto found = m_files.find(file);
    if (found == m_files.end())
        return true;
    m_lastError.clear();
    return write(found->first, *found->second, m_report);
}

bool SettingsFiles::syncAll(Report report)
{
    m_lastError.clear();
    bool written = true;
    for (auto &[name, settings] : m_files)
        written = write(name, *settings, report) && written;
    return written;
}

// QSettings writes a file through a temporary file and a rename, but does not notice when the
// last of the data cannot be written (a full disk): it renames the short or empty file over the
// good one and reports success. So the old file keeps a second name until the new one has been
// read back and found to hold every value, and is put back otherwise.
bool SettingsFiles::write(const QString &file, QSettings &settings, Report report)
{
    // A link is followed, as QSettings follows it: the file it leads to is the one written.
    const QString real = QFileInfo(file).canonicalFilePath();
    const QByteArray path = QFile::encodeName(real.isEmpty() ? file : real);
    struct stat before
    {
    };
    const bool existed = ::stat(path.constData(), &before) == 0 && S_ISREG(before.st_mode);
    const QByteArray kept = existed ? keepOldFile(path) : QByteArray();

    TopLevel top(settings);
    settings.sync();
    struct stat after
    {
    };
    const bool exists = ::stat(path.constData(), &after) == 0;
    const bool rewritten =
        exists && (!existed || after.st_ino != before.st_ino || after.st_dev != before.st_dev);
    // What the file holds is the test: the status keeps the first error it ever met, and knows
    // nothing of a short write.
    const bool ok = fileHolds(file, settings);
    if (!ok && rewritten) {
        // Whatever was written is not the settings: the old file goes back, or a new one goes.
        if (kept.isEmpty() || ::rename(kept.constData(), path.constData()) != 0) {
            if (!existed)
                ::unlink(path.constData());
        }
    }
    if (!kept.isEmpty())
        ::unlink(kept.constData()); // gone already when it was put back

    if (ok) {
        m_reported.erase(file);
        return true;
    }
    m_lastError = QStringLiteral("The settings could not be saved to '%1': the disk may be full, "
                                 "or the file or its folder cannot be written. The file was left "
                                 "as it was.")
                      .arg(QDir::toNativeSeparators(file));
    if (report == Report::Message && m_reported.insert(file).second)
        ShowMessage(m_lastError, QStringLiteral("Settings"), MsgIcon::Exclamation);
    return false;
}
