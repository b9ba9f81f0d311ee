#pragma once

#include "PersonFacts.h"

#include <QStringList>
#include <QWidget>

class QTextBrowser;
class QUrl;

// The panel's "Family and events" tab: a person's facts as a page (FactsHtml) in a read-only
// browser "txtFacts". Every person named there is a link: a click, or Tab to reach it and Return,
// asks for that person (personActivated), as Find would; Alt+Left asks again for the person shown
// before the last link followed. The tab never selects anyone itself: the panel's host passes the
// request to the open tree's owner.
class FactsView : public QWidget
{
    Q_OBJECT

public:
    explicit FactsView(QWidget *parent = nullptr);

    // Shows the facts of a person (none: an empty page).
    void ShowFacts(const Genealogy::PersonFacts &facts);
    // Shows a sentence instead of facts (why they could not be read).
    void ShowText(const QString &text);
    // Empties the page and forgets the persons to go back to.
    void Clear();

    // The key of the person shown; empty when none.
    const QString &ShownKey() const { return m_shownKey; }
    // The keys of the links, in the order of the page.
    const QStringList &LinkKeys() const { return m_links; }
    // Follows the link of the page's link list (as a click on it does).
    void FollowLink(int index);
    // Alt+Left: the person shown before the last link followed. False when there is none.
    bool GoBack();
    QTextBrowser *browser() const { return m_browser; }

signals:
    void personActivated(const QString &key);
    // The page's "Edit..." link: the person shown is to be edited.
    void editRequested();
    // The page's "Details..." link: the details window of the person shown.
    void detailsRequested();

private:
    void anchorClicked(const QUrl &url);

    QTextBrowser *m_browser;
    QString m_shownKey;
    QStringList m_links;
    QStringList m_back; // the persons shown before each link followed, the last one last
};
