#include "FactsView.h"

#include "FactsHtml.h"

#include <QAction>
#include <QKeySequence>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The most persons Alt+Left goes back through.
constexpr qsizetype kMostBack = 100;

} // namespace

FactsView::FactsView(QWidget *parent) : QWidget(parent), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("FactsView"));
    m_browser->setObjectName(QStringLiteral("txtFacts"));
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    m_browser->setTextInteractionFlags(Qt::TextBrowserInteraction);
    m_browser->setFrameShape(QFrame::NoFrame);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &FactsView::anchorClicked);

    auto *back = new QAction(tr("Back"), this);
    back->setObjectName(QStringLiteral("actFactsBack"));
    back->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    back->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(back, &QAction::triggered, this, &FactsView::GoBack);
    addAction(back);
}

void FactsView::ShowFacts(const Genealogy::PersonFacts &facts)
{
    FactsPage page = FactsHtml(facts);
    m_shownKey = facts.person.key;
    m_links = std::move(page.links);
    m_browser->setHtml(page.html);
}

void FactsView::ShowText(const QString &text)
{
    m_shownKey.clear();
    m_links.clear();
    m_browser->setPlainText(text);
}

void FactsView::Clear()
{
    m_back.clear();
    ShowText(QString());
}

void FactsView::FollowLink(int index)
{
    if (index < 0 || index >= m_links.size())
        return;
    const QString key = m_links.at(index);
    if (!m_shownKey.isEmpty()) {
        m_back.append(m_shownKey);
        if (m_back.size() > kMostBack)
            m_back.removeFirst();
    }
    emit personActivated(key);
}

bool FactsView::GoBack()
{
    if (m_back.isEmpty())
        return false;
    emit personActivated(m_back.takeLast());
    return true;
}

void FactsView::anchorClicked(const QUrl &url)
{
    // The page's links are "p:N", "e:" and "d:"; nothing else is followed.
    if (url.scheme() == QLatin1String("e")) {
        emit editRequested();
        return;
    }
    if (url.scheme() == QLatin1String("d")) {
        emit detailsRequested();
        return;
    }
    if (url.scheme() != QLatin1String("p"))
        return;
    bool ok = false;
    const int index = url.path().toInt(&ok);
    if (ok)
        FollowLink(index);
}
