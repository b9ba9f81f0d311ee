#include "PersonFields.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>

namespace PersonFields {

namespace {

constexpr const char *kContext = "PersonFields";

constexpr bool InFieldOrder()
{
    for (int i = 0; i < Count; ++i)
        if (kFields[i].field != i)
            return false;
    return true;
}
static_assert(InFieldOrder(), "kFields must list the fields in the order of Field");

QString translated(const char *text)
{
    return QCoreApplication::translate(kContext, text);
}

} // namespace

QString FrameCaption(int position)
{
    static const char *const kCaptions[kFrameCount] = {
        QT_TRANSLATE_NOOP("PersonFields", "Name"),
        QT_TRANSLATE_NOOP("PersonFields", "Partner name"),
        QT_TRANSLATE_NOOP("PersonFields", "Dates"), QT_TRANSLATE_NOOP("PersonFields", "Place"),
        QT_TRANSLATE_NOOP("PersonFields", "Misc")};
    return position >= 0 && position < kFrameCount ? translated(kCaptions[position]) : QString();
}

QString LabelText(Field field)
{
    return translated(kFields[field].label);
}

QString ToolTip(Field field)
{
    return translated(kFields[field].toolTip);
}

QString PhotosLabelText()
{
    return translated(QT_TRANSLATE_NOOP("PersonFields", "Photos :"));
}

QLineEdit *CreateLineBox(Field field, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(kFields[field].boxName));
    box->setToolTip(ToolTip(field));
    return box;
}

QTextEdit *CreateNotesBox(QWidget *parent)
{
    auto *box = new QTextEdit(parent);
    box->setObjectName(QLatin1String(kFields[Notes].boxName));
    box->setToolTip(ToolTip(Notes));
    box->setAcceptRichText(false);
    return box;
}

QLabel *CreateLabel(Field field, QWidget *parent)
{
    auto *label = new QLabel(LabelText(field), parent);
    label->setObjectName(QLatin1String(kFields[field].labelName));
    return label;
}

} // namespace PersonFields
