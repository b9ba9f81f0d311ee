#pragma once

#include "PrivacyFilter.h"
#include "Version.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QRadioButton;

// Asks which tree to write, in which GEDCOM version (5.5.1, the most widely read, or 7.0), and
// what of the living and the private to leave out ("Hide living persons", chkHideLiving;
// "Include private", chkIncludePrivate): by default nothing, so that a backup stays whole.
class dlgExportGedcom : public QDialog
{
    Q_OBJECT
public:
    // `trees` are offered in order; `current` (the open tree) is chosen when listed.
    dlgExportGedcom(const QStringList &trees, const QString &current, QWidget *parent = nullptr);

    QComboBox *cboTree() const { return m_cboTree; }
    QRadioButton *opt551() const { return m_opt551; }
    QRadioButton *opt70() const { return m_opt70; }
    QCheckBox *chkHideLiving() const { return m_hideLiving; }
    QCheckBox *chkIncludePrivate() const { return m_includePrivate; }

    QString TreeName() const;
    Gedcom::Version GedcomVersion() const;
    Genealogy::PrivacyOptions Privacy() const;
    void SetPrivacy(const Genealogy::PrivacyOptions &privacy);

private:
    QComboBox *m_cboTree;
    QRadioButton *m_opt551;
    QRadioButton *m_opt70;
    QCheckBox *m_hideLiving;
    QCheckBox *m_includePrivate;
};
