#pragma once

#include "PersonDraft.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The small dialogs of the details window, one record each. Return accepts, Escape cancels.

// A name: its type and pieces.
class NameDialog : public QDialog
{
    Q_OBJECT
public:
    NameDialog(const PersonDraft::NameFields &fields, bool primary, QWidget *parent);
    PersonDraft::NameFields fields() const;

private:
    QComboBox *m_type;
    QLineEdit *m_given, *m_surname, *m_prefix, *m_nickname, *m_surnamePrefix, *m_suffix;
};

// An event of the person or of a family: its type picked from the list by typing any part of
// it, the date with what it says in words below it as it is typed, the place completed from
// the tree's places, description, age, cause and the private flag.
class EventDialog : public QDialog
{
    Q_OBJECT
public:
    EventDialog(const PersonDraft &draft, bool family, const PersonDraft::EventFields &fields,
                QWidget *parent);
    PersonDraft::EventFields fields() const;
    // The type a typed text names: the label itself, else the first label that begins with it,
    // else the first that contains it (any letter case); kNone for none.
    static Genealogy::EventTypes::Id typeOf(const QString &text, bool family);

    void accept() override;

private:
    void showEcho();

    bool m_family;
    QComboBox *m_type;
    QLineEdit *m_date;
    QString m_readDate; // the date as the window opened with it
    QLabel *m_echo;
    QLineEdit *m_place, *m_description, *m_age, *m_cause;
    QCheckBox *m_private;
};

// A person to add as partner or child: a name typed (an existing person of the tree picked by
// typing "Name (KEY)", for a partner) and, for a new person, the sex.
class PersonPicker : public QDialog
{
    Q_OBJECT
public:
    PersonPicker(const PersonDraft &draft, bool partner, QWidget *parent);
    // The existing person picked, or kNoIndex for a new one.
    quint32 existing() const;
    QString firstName() const;
    QString lastName() const;
    Genealogy::Sex sex() const;

    void accept() override;

private:
    const PersonDraft &m_draft;
    bool m_partner;
    QLineEdit *m_name;
    QComboBox *m_sex;
};

// One piece of evidence: the source picked by typing its title (a title that names no source
// makes a new one, with the author and publication given here), the page, the words quoted,
// the quality and, optionally, the image of the record.
class CiteDialog : public QDialog
{
    Q_OBJECT
public:
    CiteDialog(const PersonDraft &draft, QWidget *parent);
    // The source cited: an existing one, or kNoIndex with newSource() to make.
    quint32 source() const;
    PersonDraft::SourceFields newSource() const;
    PersonDraft::CitationFields citation() const;

    void accept() override;

private:
    const PersonDraft &m_draft;
    QComboBox *m_source;
    QLineEdit *m_page;
    QPlainTextEdit *m_text;
    QComboBox *m_quality;
    QLineEdit *m_author, *m_publication, *m_media;
};

// A source's title, author and publication.
class SourceDialog : public QDialog
{
    Q_OBJECT
public:
    SourceDialog(const PersonDraft::SourceFields &fields, QWidget *parent);
    PersonDraft::SourceFields fields() const;

private:
    QLineEdit *m_title, *m_author, *m_publication;
};

// The labels of the closed lists, for the windows.
namespace DetailsLabels {
QString quality(quint8 quality);
} // namespace DetailsLabels
