#pragma once

#include "PersonRecord.h"

#include <QString>
#include <QtGlobal>

#include <array>

class QLabel;
class QLineEdit;
class QTextEdit;
class QWidget;

// The fields of a person as the information panel and the edit window show them: one box per
// column of the row, the label beside it and the box's tooltip. Both windows build their boxes
// and labels from this one table and copy values through its columns; each window arranges
// them in its own way.
namespace PersonFields {

// The fields in table order. Notes is the notes box (a text edit); all others are line boxes.
enum Field : int {
    Key,
    PrntKey,
    Fname,
    Sname,
    PrtFname,
    PrtSname,
    Bdate,
    Bplace,
    Ddate,
    Dplace,
    Address,
    City,
    Country,
    Notes,
    Count
};

struct PersonField
{
    Field field;
    const char *boxName;   // objectName of the box: "txtKey"
    const char *labelName; // objectName of the label beside it: "lblKey"
    const char *label;     // text of that label: "ID : "
    const char *toolTip;   // the box's tooltip: "Unique ID (max = 5)"
    QString PersonRecord::*column;
};

// Every field, in the order of Field.
inline constexpr std::array<PersonField, Count> kFields = {{
    {Key, "txtKey", "lblKey", QT_TRANSLATE_NOOP("PersonFields", "ID : "),
     QT_TRANSLATE_NOOP("PersonFields", "Unique ID (max = 5)"), &PersonRecord::ID},
    {PrntKey, "txtPrntKey", "lblPrntKey", QT_TRANSLATE_NOOP("PersonFields", "Parent ID : "),
     QT_TRANSLATE_NOOP("PersonFields", "Parent ID this child belongs to"), &PersonRecord::PrntKey},
    {Fname, "txtFname", "lblFname", QT_TRANSLATE_NOOP("PersonFields", "First : "),
     QT_TRANSLATE_NOOP("PersonFields", "First name"), &PersonRecord::Fname},
    {Sname, "txtSname", "lblSname", QT_TRANSLATE_NOOP("PersonFields", "Last : "),
     QT_TRANSLATE_NOOP("PersonFields", "Last name"), &PersonRecord::Sname},
    {PrtFname, "txtPrtFname", "lblPrtFname", QT_TRANSLATE_NOOP("PersonFields", "First : "),
     QT_TRANSLATE_NOOP("PersonFields", "Partner's first name"), &PersonRecord::PrtFname},
    {PrtSname, "txtPrtSname", "lblPrtSname", QT_TRANSLATE_NOOP("PersonFields", "Last : "),
     QT_TRANSLATE_NOOP("PersonFields", "Partner's last name"), &PersonRecord::PrtSname},
    {Bdate, "txtBdate", "lblBdate", QT_TRANSLATE_NOOP("PersonFields", "Born :"),
     QT_TRANSLATE_NOOP("PersonFields", "Date of birth"), &PersonRecord::Bdate},
    {Bplace, "txtBplace", "lblBplace", QT_TRANSLATE_NOOP("PersonFields", "At :"),
     QT_TRANSLATE_NOOP("PersonFields", "Place of birth"), &PersonRecord::Bplace},
    {Ddate, "txtDdate", "lblDdate", QT_TRANSLATE_NOOP("PersonFields", "Died :"),
     QT_TRANSLATE_NOOP("PersonFields", "Date of death"), &PersonRecord::Ddate},
    {Dplace, "txtDplace", "lblDplace", QT_TRANSLATE_NOOP("PersonFields", "At :"),
     QT_TRANSLATE_NOOP("PersonFields", "Place of death"), &PersonRecord::Dplace},
    {Address, "txtAddress", "lblAddress", QT_TRANSLATE_NOOP("PersonFields", "Addr :"),
     QT_TRANSLATE_NOOP("PersonFields", "Address of living"), &PersonRecord::Laddress},
    {City, "txtCity", "lblCity", QT_TRANSLATE_NOOP("PersonFields", "City :"),
     QT_TRANSLATE_NOOP("PersonFields", "City of living"), &PersonRecord::Lcity},
    {Country, "txtCountry", "lblCountry", QT_TRANSLATE_NOOP("PersonFields", "Country :"),
     QT_TRANSLATE_NOOP("PersonFields", "Country of living"), &PersonRecord::Lcountry},
    {Notes, "txtInfo", "lblNotes", QT_TRANSLATE_NOOP("PersonFields", "Notes :"),
     QT_TRANSLATE_NOOP("PersonFields", "More info"), &PersonRecord::Notes},
}};

// The line boxes: every field but Notes.
constexpr int kLineFields = Notes;

// The five frames fmInfo in index order: "Name", "Partner name", "Dates", "Place", "Misc".
constexpr int kFrameCount = 5;
QString FrameCaption(int position);

// The texts of a field (translatable), and of the label beside the photos: "Photos :".
QString LabelText(Field field);
QString ToolTip(Field field);
QString PhotosLabelText();

// A line box or the notes box of the field, named and with its tooltip.
QLineEdit *CreateLineBox(Field field, QWidget *parent);
QTextEdit *CreateNotesBox(QWidget *parent);
// The field's label, named, with its text.
QLabel *CreateLabel(Field field, QWidget *parent);

} // namespace PersonFields
