#pragma once

#include <QString>

// What a date typed into the details window says, in words, as the user types it: "about 1850",
// "between 1850 and 1860", "12 March 1850". A text that is no date says so.
namespace DateEcho {

struct Echo
{
    QString text;
    bool valid = true; // false: the text is no date the tree can sort by
};

Echo of(const QString &date);

// Why the windows refuse a date: a range or period that ends before it begins ("BET 1900 AND
// 1850"); "" for any other text.
QString refusal(const QString &date);

} // namespace DateEcho
