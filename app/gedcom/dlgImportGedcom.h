#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;

// Asks for the name of the tree a GEDCOM file becomes, with a proposal filled in. OK keeps the
// dialog open, with the reason told through the message service, while the name breaks the
// tree-name rules or is taken.
class dlgImportGedcom : public QDialog
{
    Q_OBJECT
public:
    using Exists = std::function<bool(const QString &name)>;

    dlgImportGedcom(const QString &fileName, const QString &proposal, Exists exists,
                    QWidget *parent = nullptr);

    QLineEdit *txtTreeName() const { return m_txtTreeName; }
    // The accepted name ("" until accepted).
    QString TreeName() const { return m_treeName; }

public slots:
    void accept() override;

private:
    QLineEdit *m_txtTreeName;
    Exists m_exists;
    QString m_treeName;
};
