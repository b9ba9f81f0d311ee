#include "ThumbPersistence.h"

#include "PropertyBag.h"

#include <QObject>

#include <cstring>

namespace Pixtile {

const QList<ThumbPropertyKey> &ThumbPersistence::Keys()
{
    const qlonglong buttonFace = 0x8000000F;
    static const QList<ThumbPropertyKey> keys = {
        {"BorderStyle", "BorderStyle", 1},
        {"BackColor", "BackColor", buttonFace},
        {"BackClrItem", "BackClrItem", buttonFace},
        {"ThumbWidth", "ThumbWidth", 60},
        {"ThumbHeight", "ThumbHeight", 60},
        {"ThumbOffset", "ThumbOffset", 10},
        {"ThumbSpace", "ThumbSpace", 10},
        {"ThumbBorderStyle", "ThumbBorderStyle", 1},
        // Saved with a small "in" since the first release; kept so saved designs still load.
        {"ThumbBorderInStyle", "ThumbBorderinStyle", 0},
        {"LabelBorderStyle", "LabelBorderStyle", 3},
        {"HasLabel", "HasLabel", true},
        {"LabelEdit", "LabelEdit", 1},
        {"ShowHidden", "ShowHidden", true},
        {"ShowSystem", "ShowSystem", true},
        {"ShowReadOnly", "ShowReadOnly", true},
        {"CanDelete", "CanDelete", false},
        {"DragDrop", "DragDrop", false},
        {"Sorted", "Sorted", 0},
        {"SortOrder", "SortOrder", 0},
        {"FSOEnable", "FSOEnable", false},
        {"Tooltips", "Tooltips", true},
        {"GetType", "GetType", false},
        {"GetSize", "GetSize", false},
        {"GetDate", "GetDate", false},
        {"GetDims", "GetDims", false},
        {"GetExt", "GetExt", false},
        {"UseThumbnailCache", "UseThumbnailCache", true},
        {"Path", "Path", QString()},
        {"Pattern", "Pattern", QStringLiteral("*.bmp")},
    };
    return keys;
}

QVariant ThumbPersistence::DefaultOf(const char *property)
{
    for (const ThumbPropertyKey &entry : Keys())
        if (std::strcmp(entry.property, property) == 0)
            return entry.defaultValue;
    return {};
}

void ThumbPersistence::Write(const QObject &control, PropertyBag &bag)
{
    for (const ThumbPropertyKey &entry : Keys()) {
        QVariant value = control.property(entry.property);
        if (!value.isValid())
            continue;
        // Enumerations and colour values are stored as plain numbers.
        if (!value.convert(entry.defaultValue.metaType()))
            continue;
        bag.WriteProperty(QString::fromLatin1(entry.key), value, entry.defaultValue);
    }
}

QVariantMap ThumbPersistence::Read(const PropertyBag &bag)
{
    QVariantMap values;
    for (const ThumbPropertyKey &entry : Keys())
        values.insert(QString::fromLatin1(entry.property),
                      bag.ReadProperty(QString::fromLatin1(entry.key), entry.defaultValue));
    return values;
}

} // namespace Pixtile
