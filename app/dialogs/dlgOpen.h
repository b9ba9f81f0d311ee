#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

// Lets the user pick a tree to open. The chosen name is handed back by OpenTreeName()
// ("" when the user cancels or closes the window).
class dlgOpen : public QDialog
{
    Q_OBJECT
public:
    explicit dlgOpen(QWidget *parent = nullptr);

    // Fills the list and the count label ("<n> velkin tree(s) found").
    void SetTrees(const QStringList &names);
    QString OpenTreeName() const { return m_openTreeName; }

    QListWidget *lstTrees() const { return m_lstTrees; }
    QLabel *lblCount() const { return m_lblCount; }
    QPushButton *cmdOpen() const { return m_cmdOpen; }
    QPushButton *cmdCancel() const { return m_cmdCancel; }

public slots:
    void cmdOpen_Click();
    void cmdCancel_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void lstTrees_Click();

    QListWidget *m_lstTrees;
    QLabel *m_lblCount;
    QPushButton *m_cmdOpen;
    QPushButton *m_cmdCancel;
    QString m_openTreeName;
    // The entry last chosen in the list.
    QString m_chosen;
};
