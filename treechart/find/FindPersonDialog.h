#pragma once

#include "FindResultsModel.h"

#include <QDialog>

class PersonFinder;
class QLabel;
class QLineEdit;
class QTableView;

// Finds a person as the user types: a search box (txtFind), the matching persons
// (lstResults: surname, first name, years, ID) and their count (lblCount). Return, the Show
// button or a double-click on a result picks the person: the dialog is accepted and PersonChosen
// carries the key. The arrow and page keys in the search box move through the results.
//
// The persons and the finder must outlive the dialog; the finder must have been built from the
// persons.
class FindPersonDialog : public QDialog
{
    Q_OBJECT
public:
    FindPersonDialog(const cPeople &people, const PersonFinder &finder, YearsText years,
                     QWidget *parent = nullptr);

    // Puts the text into the search box (the results follow).
    void setQuery(const QString &text);
    int MatchCount() const;
    // The key of the current result; empty when nothing matches.
    QString CurrentKey() const;
    // The key picked when the dialog was accepted.
    QString ChosenKey() const { return m_chosen; }

    // Shows the dialog modally (through the modal seam) and returns the chosen key, or an empty
    // text when the user cancelled.
    static QString Ask(QWidget *parent, const cPeople &people, const PersonFinder &finder,
                       YearsText years, const QString &title = QString());

    // The text of the count label for a number of matches.
    static QString CountText(int matches);

signals:
    void PersonChosen(const QString &key);

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search(const QString &text);

    const PersonFinder &m_finder;
    FindResultsModel *m_model;
    QLineEdit *m_query;
    QTableView *m_results;
    QLabel *m_count;
    QString m_chosen;
};
