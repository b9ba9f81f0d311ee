#include "HelpWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

struct Topic
{
    int id;
    const char *page;
};

// The numbered topics of the help. Pages link to each other by file name.
constexpr Topic kTopics[] = {
    {HelpWindow::kTopicContents, "index.html"},
    {1000, "gettingstarted.html"},
    {1010, "trees.html"},
    {HelpWindow::kTopicRootPersons, "rootpersons.html"},
    {1030, "persons.html"},
    {1040, "photos.html"},
    {1050, "chart.html"},
    {1060, "shortcuts.html"},
    {1070, "duplicates.html"},
    {1080, "merge.html"},
};

} // namespace

HelpWindow::HelpWindow(const QString &helpFolder, QWidget *parent)
    : QWidget(parent, Qt::Window), m_folder(helpFolder), m_ownParent(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Velkin Tree Help"));

    m_back = new QToolButton(this);
    m_back->setObjectName(QStringLiteral("cmdBack"));
    m_back->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    m_back->setToolTip(QStringLiteral("Back"));
    m_back->setEnabled(false);
    m_forward = new QToolButton(this);
    m_forward->setObjectName(QStringLiteral("cmdForward"));
    m_forward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    m_forward->setToolTip(QStringLiteral("Forward"));
    m_forward->setEnabled(false);
    m_home = new QToolButton(this);
    m_home->setObjectName(QStringLiteral("cmdContents"));
    m_home->setText(QStringLiteral("Contents"));
    m_home->setToolButtonStyle(Qt::ToolButtonTextOnly);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setSearchPaths({m_folder});
    m_browser->setOpenExternalLinks(true);

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_back);
    bar->addWidget(m_forward);
    bar->addWidget(m_home);
    bar->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(m_browser, 1);

    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QToolButton::clicked, this, [this] { ShowTopic(kTopicContents); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::updateTitle);
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    const int em = fontMetrics().averageCharWidth();
    resize(em * 90, fontMetrics().height() * 36);
}

QString HelpWindow::HelpFolderFor(const QString &programDir)
{
    const QDir program(programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir);
    const QString beside = QDir::cleanPath(program.filePath(QStringLiteral("help")));
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed = QDir::cleanPath(program.filePath(QStringLiteral(VT_HELP_FROM_BIN)));
    return QFileInfo(installed).isDir() ? installed : beside;
}

QString HelpWindow::DefaultHelpFolder()
{
    return HelpFolderFor(QString());
}

QString HelpWindow::PageForTopic(int topic)
{
    for (const Topic &t : kTopics) {
        if (t.id == topic)
            return QString::fromLatin1(t.page);
    }
    return QStringLiteral("index.html");
}

void HelpWindow::ShowTopic(int topic)
{
    lendTo(QApplication::activeModalWidget());
    const QString file = QDir(m_folder).filePath(PageForTopic(topic));
    if (QFileInfo::exists(file)) {
        m_browser->setSource(QUrl::fromLocalFile(file));
        m_browser->verticalScrollBar()->setValue(0); // the same page again starts at its top
    } else {
        m_browser->setHtml(QStringLiteral("<h1>Help not found</h1><p>The help pages were not "
                                          "found in the folder <code>%1</code>. They belong in "
                                          "the folder <code>help</code> beside the program, or "
                                          "in <code>share/velkintree/help</code> where it is "
                                          "installed.</p>")
                               .arg(m_folder.toHtmlEscaped()));
        updateTitle();
    }
    if (!m_placed) {
        placeBesideMainWindow();
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
}

void HelpWindow::placeBesideMainWindow()
{
    const QWidget *main = m_ownParent ? m_ownParent->window() : nullptr;
    const QScreen *screen = main ? main->screen() : nullptr;
    if (!main || !screen)
        return;
    // Beside the main window, where the help and the question it was asked from both show.
    const QRect beside = main->frameGeometry();
    const QRect free = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    if (beside.right() + 1 + size.width() <= free.right() + 1)
        move(beside.right() + 1, qMax(beside.top(), free.top()));
    else if (beside.left() - size.width() >= free.left())
        move(beside.left() - size.width(), qMax(beside.top(), free.top()));
}

QString HelpWindow::CurrentPage() const
{
    return QFileInfo(m_browser->source().toLocalFile()).fileName();
}

void HelpWindow::updateTitle()
{
    const QString page = m_browser->documentTitle();
    setWindowTitle(page.isEmpty() ? QStringLiteral("Velkin Tree Help")
                                  : page + QStringLiteral(" - Velkin Tree Help"));
}

void HelpWindow::moveTo(QWidget *parent)
{
    if (parentWidget() == parent)
        return;
    const bool visible = isVisible();
    const QRect frame = geometry();
    setParent(parent, windowFlags()); // hides the window
    setGeometry(frame);
    if (visible) {
        // Back on screen as it was, without taking the focus from the window the user is in.
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
}

void HelpWindow::lendTo(QWidget *modal)
{
    if (!modal || modal == this || modal == m_lentTo || isAncestorOf(modal))
        return;
    if (m_lentTo)
        m_lentTo->removeEventFilter(this);
    m_lentTo = modal;
    modal->installEventFilter(this);
    moveTo(modal);
}

void HelpWindow::giveBack()
{
    QWidget *owner = m_lentTo;
    m_lentTo = nullptr;
    if (owner)
        owner->removeEventFilter(this);
    // A question asked from another modal window (the edit window) hands the help on to it.
    for (QWidget *w = owner ? owner->parentWidget() : nullptr; w; w = w->parentWidget()) {
        w = w->window();
        if (w->isModal() && w->isVisible()) {
            m_lentTo = w;
            w->installEventFilter(this);
            moveTo(w);
            return;
        }
    }
    moveTo(m_ownParent);
}

bool HelpWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lentTo && event->type() == QEvent::Hide)
        giveBack();
    return QWidget::eventFilter(watched, event);
}
