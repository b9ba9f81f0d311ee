#pragma once

#include "Version.h"

#include <QDialog>

class QComboBox;
class QRadioButton;

// Asks which tree to write and in which GEDCOM version (5.5.1, the most widely read, or 7.0).
class dlgExportGedcom : public QDialog
{
    Q_OBJECT
public:
    // `trees` are offered in order; `current` (the open tree) is chosen when listed.
    dlgExportGedcom(const QStringList &trees, const QString &current, QWidget *parent = nullptr);

    QComboBox *cboTree() const { return m_cboTree; }
    QRadioButton *opt551() const { return m_opt551; }
    QRadioButton *opt70() const { return m_opt70; }

    QString TreeName() const;
    Gedcom::Version GedcomVersion() const;

private:
    QComboBox *m_cboTree;
    QRadioButton *m_opt551;
    QRadioButton *m_opt70;
};
