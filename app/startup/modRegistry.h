#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class QSettings;
class SettingsFiles;

// The settings store, addressed by full key paths such as
// "HKEY_CURRENT_USER\Software\Quillmar\Velkin Tree". Each root key is kept in an INI file:
// HKEY_CURRENT_USER in the user's file, HKEY_LOCAL_MACHINE in the installation's file; other
// roots have no file and every operation on them fails. Sub-keys are groups of the file; key
// and value names compare without regard to case, as in the store this stands in for.
//
// Text values are stored and read back exactly: Unicode, leading and trailing blanks and any
// length are kept; only a NUL character ends a text (what follows it is not kept).
//
// The files are read and written through SettingsFiles, opened once and kept open. On the
// program's settings files a batch of changes is written to disk by SettingsFiles::Sync(), not
// value by value; a write whose file or key cannot be written still fails at once with its code.
// A module on files of its own writes each value to disk at once.
//
// Failures never throw: they show as the results documented with each operation, and the last
// result code is kept in LastResult().
class modRegistry
{
public:
    // Root key handles.
    static constexpr quint32 HKEY_CLASSES_ROOT = 0x80000000u;
    static constexpr quint32 HKEY_CURRENT_USER = 0x80000001u;
    static constexpr quint32 HKEY_LOCAL_MACHINE = 0x80000002u;
    static constexpr quint32 HKEY_USERS = 0x80000003u;
    static constexpr quint32 HKEY_PERFORMANCE_DATA = 0x80000004u;
    static constexpr quint32 HKEY_CURRENT_CONFIG = 0x80000005u;
    static constexpr quint32 HKEY_DYN_DATA = 0x80000006u;

    // Result codes of the module.
    static constexpr int ERROR_NONE = 0;
    static constexpr int ERROR_BADKEY = 2;
    static constexpr int ERROR_ACCESS_DENIED = 5;
    static constexpr int ERROR_CANNOT_SET_DWORD = 992;
    static constexpr int ERROR_CANNOT_SET_STRING = 994;
    static constexpr int ERROR_CANNOT_CREATE_KEY = 995;

    // The user key's file and the machine key's file, on settings files of its own (written when
    // the module goes).
    modRegistry(const QString &userFile, const QString &machineFile);
    // The same, on the program's settings files (written by their Sync()).
    modRegistry(SettingsFiles &files, const QString &userFile, const QString &machineFile);
    ~modRegistry();
    modRegistry(const modRegistry &) = delete;
    modRegistry &operator=(const modRegistry &) = delete;

    static quint32 RootKeyFromName(const QString &name);
    // Splits "HKEY_…\sub\key" into the root handle and "sub\key". A path that does not begin
    // with "HKEY_" or that ends with "\" leaves both arguments unchanged.
    static void ParseKey(QString &path, quint32 &root);

    // True when the key exists (it was created, or holds values or sub-keys).
    bool KeyExists(const QString &path);
    // Creates the key and every key above it; 0, or 995 when it cannot be created.
    int CreateKey(const QString &path);
    // The value as a 32-bit number (QVariant of int), or the text "Error" when the key or the
    // value cannot be read or is not a number.
    QVariant GetDword(const QString &path, const QString &name);
    // 0, or 992 when the key does not exist or the value cannot be written.
    int SetDword(const QString &path, const QString &name, qint32 value);
    // The text up to its first NUL; "Error" when the value cannot be read; "" when the key
    // cannot be opened.
    QString GetString(const QString &path, const QString &name);
    // 0, or 994 when the key does not exist or the value cannot be written.
    int SetString(const QString &path, const QString &name, const QString &text);

    static QString ErrorText(int code);

    int LastResult() const { return m_result; }
    quint32 LastRoot() const { return m_root; }
    QString FileForRoot(quint32 root) const;

private:
    // Parses the path into m_root (kept from the previous call when the path is malformed) and
    // returns the sub-key; false when there is no usable root.
    bool parse(const QString &path, QString &subKey);
    // After a change: writes it at once on files of the module's own (`failure` when that
    // fails); on the program's files leaves it to their Sync().
    int written(int failure);
    // The settings of the current root's file.
    QSettings &rootSettings();
    // True when the store holds anything for the current root: its file exists, or values were
    // written to it in this run.
    bool rootHeld();
    // The group of the existing key, spelled as stored; false when the key does not exist.
    static bool findGroup(QSettings &settings, const QString &subKey, QString &group);
    // The stored spelling of a value name within the current group, or `name` when new.
    static QString findValue(QSettings &settings, const QString &name);

    std::unique_ptr<SettingsFiles> m_ownFiles;
    SettingsFiles &m_files;
    QString m_userFile;
    QString m_machineFile;
    quint32 m_root = 0;
    int m_result = 0;
};
