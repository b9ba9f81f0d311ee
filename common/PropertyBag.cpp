#include "PropertyBag.h"

#include <QSettings>

PropertyBag::PropertyBag(QSettings &settings, const QString &group)
    : m_settings(settings), m_group(group)
{
}

QString PropertyBag::key(const QString &name) const
{
    return m_group.isEmpty() ? name : m_group + QLatin1Char('/') + name;
}

bool PropertyBag::contains(const QString &name) const
{
    return m_settings.contains(key(name));
}

QVariant PropertyBag::ReadProperty(const QString &name, const QVariant &defaultValue) const
{
    const QVariant stored = m_settings.value(key(name));
    if (!stored.isValid() || !defaultValue.isValid())
        return stored.isValid() ? stored : defaultValue;
    if (stored.metaType() == defaultValue.metaType())
        return stored;
    // Booleans are written as true/false but may have been typed as numbers by hand.
    if (defaultValue.metaType().id() == QMetaType::Bool) {
        const QString text = stored.toString().trimmed().toLower();
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok);
        return ok ? QVariant(number != 0) : defaultValue;
    }
    QVariant converted = stored;
    if (!converted.convert(defaultValue.metaType()))
        return defaultValue;
    // Text that is not a number converts to 0 without complaint; keep the default instead.
    const int id = defaultValue.metaType().id();
    if (id == QMetaType::Int || id == QMetaType::LongLong || id == QMetaType::UInt ||
        id == QMetaType::ULongLong || id == QMetaType::Double) {
        bool ok = false;
        stored.toString().toDouble(&ok);
        if (!ok)
            return defaultValue;
    }
    return converted;
}

void PropertyBag::WriteProperty(const QString &name, const QVariant &value,
                                const QVariant &defaultValue)
{
    if (defaultValue.isValid() && value == defaultValue)
        m_settings.remove(key(name));
    else
        m_settings.setValue(key(name), value);
}

int PropertyBag::readInt(const QString &name, int defaultValue) const
{
    return ReadProperty(name, defaultValue).toInt();
}

qint64 PropertyBag::readLong(const QString &name, qint64 defaultValue) const
{
    return ReadProperty(name, QVariant::fromValue<qlonglong>(defaultValue)).toLongLong();
}

bool PropertyBag::readBool(const QString &name, bool defaultValue) const
{
    return ReadProperty(name, defaultValue).toBool();
}

QString PropertyBag::readString(const QString &name, const QString &defaultValue) const
{
    return ReadProperty(name, defaultValue).toString();
}
