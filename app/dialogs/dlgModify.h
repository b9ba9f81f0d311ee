#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// Renames or deletes a tree. Unlike the other two tree dialogs it changes the database itself,
// through the actions the caller hands in.
class dlgModify : public QDialog
{
    Q_OBJECT
public:
    struct Actions
    {
        // Renames a tree; true on success. Failures are reported by the action itself.
        std::function<bool(const QString &oldName, const QString &newName)> renameTree;
        // Deletes a tree. Failures are reported by the action itself.
        std::function<void(const QString &name)> deleteTree;
        // Closes the tree open in the main window.
        std::function<void()> closeTree;
    };

    explicit dlgModify(Actions actions, QWidget *parent = nullptr);

    void SetTrees(const QStringList &names);
    // The tree chosen in the list and the new name typed ("" until then).
    QString ModifyOldName() const { return m_modifyOldName; }
    QString ModifyNewName() const { return m_modifyNewName; }

    QListWidget *lstTrees() const { return m_lstTrees; }
    QLineEdit *txtNew() const { return m_txtNew; }
    QPushButton *cmdRename() const { return m_cmdRename; }
    QPushButton *cmdDelete() const { return m_cmdDelete; }

public slots:
    void cmdRename_Click();
    void cmdDelete_Click();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void lstTrees_Click();
    // Escape pressed and released closes the dialog; true when the event was Escape.
    bool escapeKey(QKeyEvent *event);

    Actions m_actions;
    QLabel *m_lblSelect;
    QListWidget *m_lstTrees;
    QLabel *m_lblName;
    QLineEdit *m_txtNew;
    QPushButton *m_cmdRename;
    QPushButton *m_cmdDelete;
    QString m_modifyOldName;
    QString m_modifyNewName;
    bool m_escapeDown = false;
};
