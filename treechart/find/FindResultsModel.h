#pragma once

#include "cPeople.h"

#include <QAbstractTableModel>

#include <functional>
#include <vector>

class PersonFinder;

// The life-span text shown for a person in lists ("1901 - 1950", say); the program passes its
// own year reader.
using YearsText = std::function<QString(const cPerson &person)>;

// The persons a query found: surname, first name, years and key per row, in the finder's display
// order. Rows are filled only as the view asks for them, so a result of 100,000 persons costs no
// more than the few rows on screen.
class FindResultsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Surname, FirstName, Years, Key, ColumnCount };

    // `finder` may be null while its index is being built (no rows until setFinder).
    FindResultsModel(const cPeople &people, const PersonFinder *finder, YearsText years,
                     QObject *parent = nullptr);
    void setFinder(const PersonFinder *finder) { m_finder = finder; }

    void setMatches(std::vector<int> ranks);
    // The key of the person shown in a row; empty for a row out of range.
    QString keyAt(int row) const;
    // The row of the person whose key is `key`, the letter case aside when no key matches
    // exactly; -1 when none does.
    int rowOfKey(QStringView key) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const cPeople &m_people;
    const PersonFinder *m_finder;
    YearsText m_years;
    std::vector<int> m_ranks;
};
