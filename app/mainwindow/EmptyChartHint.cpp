#include "EmptyChartHint.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>

namespace {

const QString kExample = QStringLiteral("Example");

} // namespace

EmptyChartHint::EmptyChartHint(QWidget *chart) : QWidget(chart)
{
    setObjectName(QStringLiteral("EmptyChartHint"));
    setAttribute(Qt::WA_TransparentForMouseEvents);

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblEmptyChart"));
    m_note->setTextFormat(Qt::RichText);
    m_note->setWordWrap(true);
    m_note->setAlignment(Qt::AlignCenter);
    m_note->setFrameShape(QFrame::StyledPanel);
    m_note->setBackgroundRole(QPalette::Base);
    m_note->setForegroundRole(QPalette::Text);
    m_note->setAutoFillBackground(true);
    m_note->setMargin(2 * fontMetrics().averageCharWidth());

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_note, 0, 0, Qt::AlignCenter);

    SetTrees({});
    setGeometry(chart->rect());
    chart->installEventFilter(this);
    raise();
}

QString EmptyChartHint::Text(const QStringList &trees, bool readOnly)
{
    QString open;
    if (trees.contains(kExample))
        open = QStringLiteral("To explore the example tree, choose <b>Example</b> in the tree box "
                              "or use <b>File &gt; Open Tree</b> (F3).");
    else if (!trees.isEmpty())
        open = QStringLiteral("To open a tree, choose it in the tree box or use "
                              "<b>File &gt; Open Tree</b> (F3).");
    QString text = QStringLiteral("<p><b>No tree is open</b></p>");
    if (!open.isEmpty())
        text += QStringLiteral("<p>%1</p>").arg(open);
    if (readOnly)
        return text + QStringLiteral("<p>The database is open read-only: its trees can be opened "
                                     "and browsed, but no tree can be made or imported.</p>");
    text += QStringLiteral("<p>To start a tree of your own, use <b>File &gt; New Tree</b> (F2).</p>"
                           "<p>To bring in a tree from another genealogy program, use "
                           "<b>File &gt; Import GEDCOM...</b> (Ctrl+Shift+I).</p>");
    return text;
}

void EmptyChartHint::SetTrees(const QStringList &trees)
{
    m_trees = trees;
    showText();
}

void EmptyChartHint::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    showText();
}

void EmptyChartHint::showText()
{
    m_note->setText(Text(m_trees, m_readOnly));
}

void EmptyChartHint::SetTreeOpen(bool open)
{
    setVisible(!open);
    if (!open)
        raise();
}

QString EmptyChartHint::text() const
{
    return m_note->text();
}

bool EmptyChartHint::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        // Wide enough for short lines, narrower on a narrow chart.
        const int em = fontMetrics().averageCharWidth();
        m_note->setFixedWidth(qMax(0, qMin(56 * em, width() - 4 * em)));
    }
    return QWidget::eventFilter(watched, event);
}
