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
// column of the row, the label beside it and the box's tooltip (the column's caption and help
// text, kPersonColumns). Both windows build their boxes and labels from this one table and copy
// values through its columns; each window arranges them in its own way.
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
    const char *label;     // text of that label: the column's caption, "ID : "
    const char *toolTip;   // the box's tooltip: the column's help text, "Unique ID (max = 5)"
    QString PersonRecord::*column;
};

// A field showing a column of the row (kPersonColumns): its label and tooltip are the column's.
constexpr PersonField ColumnField(Field field, const char *boxName, const char *labelName,
                                  PersonColumnIndex column)
{
    const PersonColumn &shown = kPersonColumns[size_t(column)];
    return {field, boxName, labelName, shown.caption, shown.helpText, shown.member};
}

// Every field, in the order of Field.
inline constexpr std::array<PersonField, Count> kFields = {{
    ColumnField(Key, "txtKey", "lblKey", ColID),
    ColumnField(PrntKey, "txtPrntKey", "lblPrntKey", ColPrntKey),
    ColumnField(Fname, "txtFname", "lblFname", ColFname),
    ColumnField(Sname, "txtSname", "lblSname", ColSname),
    ColumnField(PrtFname, "txtPrtFname", "lblPrtFname", ColPrtFname),
    ColumnField(PrtSname, "txtPrtSname", "lblPrtSname", ColPrtSname),
    ColumnField(Bdate, "txtBdate", "lblBdate", ColBdate),
    ColumnField(Bplace, "txtBplace", "lblBplace", ColBplace),
    ColumnField(Ddate, "txtDdate", "lblDdate", ColDdate),
    ColumnField(Dplace, "txtDplace", "lblDplace", ColDplace),
    ColumnField(Address, "txtAddress", "lblAddress", ColLaddress),
    ColumnField(City, "txtCity", "lblCity", ColLcity),
    ColumnField(Country, "txtCountry", "lblCountry", ColLcountry),
    ColumnField(Notes, "txtInfo", "lblNotes", ColNotes),
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
