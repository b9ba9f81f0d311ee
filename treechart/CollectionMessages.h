#pragma once

#include <QString>

class QWidget;

// What the window that adds to the chart's collections tells the user when they refuse an
// entry. The collections themselves show nothing: they give back no entry (a null result).
//
// A row or the chart's rows refuse a key that is there already (in any letter case): the
// collections' duplicate-key error, number 457, with its description.
constexpr long long kErrDuplicateKey = 457;
extern const char *const kDuplicateKeyDescription;
void ShowNodeKeyTaken(QWidget *parent = nullptr);

// The persons refuse a person whose key is there already: "The Key '<key>' is already associated
// with an element of this collection." titled "Key already exists" (critical, OK).
QString PersonKeyTakenText(const QString &key);
void ShowPersonKeyTaken(const QString &key, QWidget *parent = nullptr);
