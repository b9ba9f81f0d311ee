#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// Asks for the name of a new tree. The existing names are listed for reference. The name typed
// is handed back by NewTreeName() ("" when the user cancels); the caller creates the tree.
class dlgNew : public QDialog
{
    Q_OBJECT
public:
    explicit dlgNew(QWidget *parent = nullptr);

    // Fills the reference list with the existing tree names.
    void SetTrees(const QStringList &names);
    QString NewTreeName() const { return m_newTreeName; }

    QLineEdit *txtNew() const { return m_txtNew; }
    QListWidget *lstTrees() const { return m_lstTrees; }
    QPushButton *cmdOpen() const { return m_cmdOpen; }
    QPushButton *cmdCancel() const { return m_cmdCancel; }

public slots:
    void cmdOpen_Click();
    void cmdCancel_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *m_lblName;
    QLineEdit *m_txtNew;
    QListWidget *m_lstTrees;
    QPushButton *m_cmdOpen;
    QPushButton *m_cmdCancel;
    QString m_newTreeName;
};
