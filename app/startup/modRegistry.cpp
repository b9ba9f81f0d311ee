#include "modRegistry.h"

#include "FileHelpers.h"
#include "SettingsFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {

// A created key with no values yet is remembered by this entry in its group.
const QString kKeyMarker = QStringLiteral(".key");

QStringList splitKey(const QString &subKey)
{
    return subKey.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

bool writable(const QString &file)
{
    const QFileInfo info(file);
    if (info.exists())
        return info.isFile() && info.isWritable();
    return MakePath(info.absolutePath()) && QFileInfo(info.absolutePath()).isWritable();
}

// Enters a group of the settings for one operation and leaves it again: the settings are shared.
class GroupScope
{
public:
    GroupScope(QSettings &settings, const QString &group) : m_settings(settings)
    {
        m_settings.beginGroup(group);
    }
    ~GroupScope() { m_settings.endGroup(); }
    GroupScope(const GroupScope &) = delete;
    GroupScope &operator=(const GroupScope &) = delete;

private:
    QSettings &m_settings;
};

} // namespace

modRegistry::modRegistry(const QString &userFile, const QString &machineFile)
    : m_ownFiles(std::make_unique<SettingsFiles>(SettingsFiles::Report::Silent)),
      m_files(*m_ownFiles), m_userFile(userFile), m_machineFile(machineFile)
{
}

modRegistry::modRegistry(SettingsFiles &files, const QString &userFile, const QString &machineFile)
    : m_files(files), m_userFile(userFile), m_machineFile(machineFile)
{
}

modRegistry::~modRegistry() = default;

quint32 modRegistry::RootKeyFromName(const QString &name)
{
    static const struct
    {
        const char *name;
        quint32 handle;
    } roots[] = {{"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                 {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                 {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                 {"HKEY_USERS", HKEY_USERS},
                 {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
                 {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
                 {"HKEY_DYN_DATA", HKEY_DYN_DATA}};
    for (const auto &root : roots) {
        if (name == QLatin1String(root.name))
            return root.handle;
    }
    return 0;
}

void modRegistry::ParseKey(QString &path, quint32 &root)
{
    if (!path.startsWith(QLatin1String("HKEY_")) || path.endsWith(QLatin1Char('\\')))
        return;
    const qsizetype p = path.indexOf(QLatin1Char('\\'));
    if (p > 0) {
        root = RootKeyFromName(path.left(p));
        path = path.mid(p + 1);
    } else {
        root = RootKeyFromName(path);
        path.clear();
    }
}

QString modRegistry::FileForRoot(quint32 root) const
{
    switch (root) {
    case HKEY_CURRENT_USER:
        return m_userFile;
    case HKEY_LOCAL_MACHINE:
        return m_machineFile;
    default:
        return {};
    }
}

bool modRegistry::parse(const QString &path, QString &subKey)
{
    subKey = path;
    ParseKey(subKey, m_root);
    return m_root != 0 && !FileForRoot(m_root).isEmpty();
}

QSettings &modRegistry::rootSettings()
{
    return m_files.File(FileForRoot(m_root));
}

bool modRegistry::rootHeld()
{
    return QFileInfo::exists(FileForRoot(m_root)) || !rootSettings().allKeys().isEmpty();
}

int modRegistry::written(int failure)
{
    if (!m_ownFiles)
        return ERROR_NONE; // the program's SettingsFiles::Sync() writes the batch
    // Through the settings files, which keep the old file when the new one cannot be written.
    return m_files.Sync(FileForRoot(m_root)) ? ERROR_NONE : failure;
}

bool modRegistry::findGroup(QSettings &settings, const QString &subKey, QString &group)
{
    group.clear();
    const QStringList parts = splitKey(subKey);
    for (const QString &part : parts) {
        QStringList children;
        {
            GroupScope scope(settings, group);
            children = settings.childGroups();
        }
        QString match;
        for (const QString &child : children) {
            if (child.compare(part, Qt::CaseInsensitive) == 0) {
                match = child;
                break;
            }
        }
        if (match.isEmpty())
            return false;
        group = group.isEmpty() ? match : group + QLatin1Char('/') + match;
    }
    return true;
}

QString modRegistry::findValue(QSettings &settings, const QString &name)
{
    if (settings.contains(name))
        return name;
    const QStringList keys = settings.childKeys();
    for (const QString &key : keys) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return key;
    }
    return name;
}

bool modRegistry::KeyExists(const QString &path)
{
    QString subKey;
    if (!parse(path, subKey))
        return false;
    if (!rootHeld())
        return splitKey(subKey).isEmpty();
    QSettings &settings = rootSettings();
    QString group;
    const bool found = findGroup(settings, subKey, group);
    m_result = found ? ERROR_NONE : ERROR_BADKEY;
    return found;
}

int modRegistry::CreateKey(const QString &path)
{
    QString subKey;
    if (!parse(path, subKey))
        return m_result = ERROR_CANNOT_CREATE_KEY;
    const QString file = FileForRoot(m_root);
    if (!writable(file))
        return m_result = ERROR_CANNOT_CREATE_KEY;
    QSettings &settings = rootSettings();
    // Reuse the stored spelling of every part that exists already.
    QString group;
    for (const QString &part : splitKey(subKey)) {
        QStringList children;
        {
            GroupScope scope(settings, group);
            children = settings.childGroups();
        }
        QString match = part;
        for (const QString &child : children) {
            if (child.compare(part, Qt::CaseInsensitive) == 0) {
                match = child;
                break;
            }
        }
        group = group.isEmpty() ? match : group + QLatin1Char('/') + match;
    }
    if (!group.isEmpty()) {
        GroupScope scope(settings, group);
        if (settings.allKeys().isEmpty())
            settings.setValue(kKeyMarker, 1);
    }
    return m_result = written(ERROR_CANNOT_CREATE_KEY);
}

QVariant modRegistry::GetDword(const QString &path, const QString &name)
{
    const QVariant error = QStringLiteral("Error");
    QString subKey;
    if (!parse(path, subKey) || !rootHeld()) {
        m_result = ERROR_BADKEY;
        return error;
    }
    QSettings &settings = rootSettings();
    QString group;
    if (!findGroup(settings, subKey, group) && !splitKey(subKey).isEmpty()) {
        m_result = ERROR_BADKEY;
        return error;
    }
    GroupScope scope(settings, group);
    const QString key = findValue(settings, name);
    if (!settings.contains(key)) {
        m_result = ERROR_BADKEY;
        return error;
    }
    bool ok = false;
    const qlonglong number = settings.value(key).toString().trimmed().toLongLong(&ok);
    if (!ok || number < -2147483648LL || number > 4294967295LL) {
        m_result = ERROR_BADKEY;
        return error;
    }
    m_result = ERROR_NONE;
    return QVariant(qint32(quint32(number))); // a DWORD read as the signed 32-bit number
}

int modRegistry::SetDword(const QString &path, const QString &name, qint32 value)
{
    QString subKey;
    if (!parse(path, subKey) || !rootHeld() || !writable(FileForRoot(m_root)))
        return m_result = ERROR_CANNOT_SET_DWORD;
    QSettings &settings = rootSettings();
    QString group;
    if (!findGroup(settings, subKey, group) && !splitKey(subKey).isEmpty())
        return m_result = ERROR_CANNOT_SET_DWORD;
    GroupScope scope(settings, group);
    settings.setValue(findValue(settings, name), value);
    settings.remove(kKeyMarker);
    return m_result = written(ERROR_CANNOT_SET_DWORD);
}

QString modRegistry::GetString(const QString &path, const QString &name)
{
    QString subKey;
    if (!parse(path, subKey) || !rootHeld()) {
        m_result = ERROR_BADKEY;
        return {};
    }
    QSettings &settings = rootSettings();
    QString group;
    if (!findGroup(settings, subKey, group) && !splitKey(subKey).isEmpty()) {
        m_result = ERROR_BADKEY;
        return {};
    }
    GroupScope scope(settings, group);
    const QString key = findValue(settings, name);
    if (!settings.contains(key)) {
        m_result = ERROR_BADKEY;
        return QStringLiteral("Error");
    }
    QString text = settings.value(key).toString();
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    m_result = ERROR_NONE;
    return text;
}

int modRegistry::SetString(const QString &path, const QString &name, const QString &text)
{
    QString subKey;
    if (!parse(path, subKey) || !rootHeld() || !writable(FileForRoot(m_root)))
        return m_result = ERROR_CANNOT_SET_STRING;
    QSettings &settings = rootSettings();
    QString group;
    if (!findGroup(settings, subKey, group) && !splitKey(subKey).isEmpty())
        return m_result = ERROR_CANNOT_SET_STRING;
    QString value = text;
    const qsizetype nul = value.indexOf(QChar(0));
    if (nul >= 0)
        value.truncate(nul);
    GroupScope scope(settings, group);
    // Stored as a QString variant, so that texts such as "1, 2" or "true" come back as written.
    settings.setValue(findValue(settings, name), QVariant(value));
    settings.remove(kKeyMarker);
    return m_result = written(ERROR_CANNOT_SET_STRING);
}

QString modRegistry::ErrorText(int code)
{
    switch (code) {
    case 2:
        return QStringLiteral("Bad Key Name");
    case 4:
        return QStringLiteral("Can't Read Key");
    case 5:
        return QStringLiteral("Access to this key is denied");
    case 8:
    case 14:
        return QStringLiteral("Out of memory");
    case 87:
        return QStringLiteral("Invalid Parameter");
    case 234:
        return QStringLiteral("There is more data than the buffer has been allocated to hold.");
    case 259:
        return QStringLiteral("No more items to enumarate.");
    case 990:
        return QStringLiteral("The key Value could not be deleted. The value may not exists.");
    case 991:
        return QStringLiteral("Cannot retrieve the Shortname.");
    case 992:
        return QStringLiteral("Cannot set the Dword value.");
    case 993:
        return QStringLiteral("Cannot set the Binary value.");
    case 994:
        return QStringLiteral("Cannot set the String value.");
    case 995:
        return QStringLiteral("The key could not be created.");
    case 996:
        return QStringLiteral("The key could not be deleted. The key may not exists.");
    case 997:
        return QStringLiteral("Cannot import the file.");
    case 998:
        return QStringLiteral("Cannot export the file.");
    case 999:
        return QStringLiteral("Finished enumarating subkeys. This is mostly a notification.");
    case 1009:
    case 1015:
        return QStringLiteral("The Registry Database is corrupt!");
    case 1010:
        return QStringLiteral("Bad Key Name");
    case 1011:
        return QStringLiteral("Can't Open Key");
    case 1012:
        return QStringLiteral("Can't Read Key");
    case 1013:
        return QStringLiteral("Can't Write Key");
    default:
        return QStringLiteral("Undefined Error Code:  ") + QString::number(code);
    }
}
