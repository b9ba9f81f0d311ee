#pragma once

#include <QPointer>
#include <QWidget>

class QTextBrowser;
class QToolButton;

// The program's help: a window that shows the HTML pages of the help folder, with back,
// forward and contents buttons. Topics are numbers, as the message boxes' Help buttons use
// them; topic 0 is the contents page.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kTopicContents = 0;
    static constexpr int kTopicRootPersons = 1020;

    explicit HelpWindow(const QString &helpFolder, QWidget *parent = nullptr);

    // The help pages of the program in `programDir`: the folder "help" beside it (a build or a
    // portable copy), else where an installation keeps them (share/velkintree/help of its
    // prefix); the one beside it when neither exists. An empty `programDir` is the running
    // program's folder.
    static QString HelpFolderFor(const QString &programDir);
    // The help pages of the running program.
    static QString DefaultHelpFolder();
    // The page file of a topic ("index.html" for an unknown topic).
    static QString PageForTopic(int topic);

    // Shows the window at the top of the topic's page and brings it to the front.
    //
    // While a modal window is open (a question whose Help button was pressed, or the edit
    // window) the help window is lent to it as its child window, so that it can be scrolled and
    // its links followed while that window waits; when that window closes the help window goes
    // back to its own parent, staying where it was.
    void ShowTopic(int topic);
    // The modal window the help is lent to, or nullptr.
    QWidget *LentTo() const { return m_lentTo; }
    QString CurrentPage() const;
    QTextBrowser *browser() const { return m_browser; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateTitle();
    void lendTo(QWidget *modal);
    void giveBack();
    void moveTo(QWidget *parent);
    // The first time it shows: beside the main window when the screen has room there.
    void placeBesideMainWindow();

    QString m_folder;
    QTextBrowser *m_browser;
    QToolButton *m_back;
    QToolButton *m_forward;
    QToolButton *m_home;
    QPointer<QWidget> m_ownParent;
    QPointer<QWidget> m_lentTo;
    bool m_placed = false;
};
