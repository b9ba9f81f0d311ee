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
// persons. The dialog may open before the finder is ready (its index built on a worker for a
// large tree): it then says so in lblCount, keeps what the user types, and searches it once
// SetFinder hands the finder over.
class FindPersonDialog : public QDialog
{
    Q_OBJECT
public:
    FindPersonDialog(const cPeople &people, const PersonFinder &finder, YearsText years,
                     QWidget *parent = nullptr);
    // Without a finder yet: see SetFinder.
    FindPersonDialog(const cPeople &people, YearsText years, QWidget *parent = nullptr);
    // The finder is ready: the text typed so far is searched.
    void SetFinder(const PersonFinder &finder);
    bool HasFinder() const { return m_finder != nullptr; }
    // The text of the count label while the index of that many persons is being built.
    static QString BuildingText(int persons);

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
    // SetFinder handed the finder over.
    void FinderReady();

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search(const QString &text);
    void build(const cPeople &people, YearsText years);

    const PersonFinder *m_finder = nullptr;
    int m_persons = 0;
    FindResultsModel *m_model;
    QLineEdit *m_query;
    QTableView *m_results;
    QLabel *m_count;
    QString m_chosen;
};
