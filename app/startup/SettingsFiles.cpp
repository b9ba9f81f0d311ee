#include "SettingsFiles.h"

#include "PropertyBag.h"

#include <QSettings>

SettingsFiles::SettingsFiles() = default;

SettingsFiles::~SettingsFiles()
{
    Sync();
}

SettingsFiles::SettingsFiles(SettingsFiles &&other) : m_files(std::move(other.m_files)) {}

SettingsFiles &SettingsFiles::operator=(SettingsFiles &&other)
{
    if (this != &other) {
        Sync();
        m_files = std::move(other.m_files);
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
    bool written = true;
    for (auto &[name, settings] : m_files) {
        settings->sync();
        written = written && settings->status() == QSettings::NoError;
    }
    return written;
}
