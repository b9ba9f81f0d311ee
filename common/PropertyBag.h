#pragma once

#include <QString>
#include <QVariant>

class QSettings;

// The saved design of a control: values kept under one group of a settings file.
// A value equal to its default is not stored, and a missing value reads as its default.
class PropertyBag
{
public:
    // The bag works on `settings` (not owned) under `group` ("" for the top level).
    PropertyBag(QSettings &settings, const QString &group);

    // The stored value converted to the default's type; the default when it is missing or
    // cannot be converted.
    QVariant ReadProperty(const QString &name, const QVariant &defaultValue) const;
    // Stores the value, or removes it when it equals the default.
    void WriteProperty(const QString &name, const QVariant &value, const QVariant &defaultValue);

    bool contains(const QString &name) const;
    QString group() const { return m_group; }
    QSettings &settings() const { return m_settings; }

    // Typed shortcuts.
    int readInt(const QString &name, int defaultValue) const;
    qint64 readLong(const QString &name, qint64 defaultValue) const;
    bool readBool(const QString &name, bool defaultValue) const;
    QString readString(const QString &name, const QString &defaultValue) const;

private:
    QString key(const QString &name) const;

    QSettings &m_settings;
    QString m_group;
};
