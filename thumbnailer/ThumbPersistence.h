#pragma once

#include <QList>
#include <QVariant>
#include <QVariantMap>

class PropertyBag;
class QObject;

namespace Pixtile {

// The saved design of a Thumbnailer: every saved property with its storage key and default,
// in the order they are written and read. Values equal to their default are not stored; a
// missing key reads as its default.
struct ThumbPropertyKey
{
    const char *property; // Q_PROPERTY name
    const char *key;      // storage key
    QVariant defaultValue;
};

class ThumbPersistence
{
public:
    static const QList<ThumbPropertyKey> &Keys();
    // The default of a property (invalid when it is not saved).
    static QVariant DefaultOf(const char *property);

    // Writes every saved property of the control, read by name.
    static void Write(const QObject &control, PropertyBag &bag);
    // Reads every key, in table order, with the table's default when absent. The result maps
    // property names to values of the default's type.
    static QVariantMap Read(const PropertyBag &bag);
};

} // namespace Pixtile
