#pragma once

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

    // The "help" folder beside the program.
    static QString DefaultHelpFolder();
    // The page file of a topic ("index.html" for an unknown topic).
    static QString PageForTopic(int topic);

    // Shows the window at the topic's page and brings it to the front.
    void ShowTopic(int topic);
    QString CurrentPage() const;
    QTextBrowser *browser() const { return m_browser; }

private:
    void updateTitle();

    QString m_folder;
    QTextBrowser *m_browser;
    QToolButton *m_back;
    QToolButton *m_forward;
    QToolButton *m_home;
};
