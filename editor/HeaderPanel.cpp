#include "HeaderPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

HeaderPanel::HeaderPanel(QWidget *parent) : HeaderPanel(QString(), parent) {}

HeaderPanel::HeaderPanel(const QString &caption, QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);

    m_header = new QWidget(this);
    m_header->setObjectName(QStringLiteral("header"));
    m_header->setAutoFillBackground(true);
    QPalette pal = m_header->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Highlight));
    pal.setColor(QPalette::WindowText, pal.color(QPalette::HighlightedText));
    pal.setColor(QPalette::ButtonText, pal.color(QPalette::HighlightedText));
    m_header->setPalette(pal);

    m_caption = new QLabel(caption, m_header);
    m_caption->setObjectName(QStringLiteral("lblCaption"));
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);

    m_close = new QToolButton(m_header);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setAutoRaise(true);
    m_close->setText(QStringLiteral("\u2715"));
    m_close->setToolTip(QStringLiteral("Close"));
    m_close->setFocusPolicy(Qt::NoFocus);
    connect(m_close, &QToolButton::clicked, this, &HeaderPanel::closeClicked);

    auto *headerLayout = new QHBoxLayout(m_header);
    headerLayout->setContentsMargins(6, 2, 2, 2);
    headerLayout->addWidget(m_caption, 1);
    headerLayout->addWidget(m_close);

    m_body = new QWidget(this);
    m_body->setObjectName(QStringLiteral("body"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(m_header);
    layout->addWidget(m_body, 1);
}

QString HeaderPanel::Caption() const
{
    return m_caption->text();
}

void HeaderPanel::setCaption(const QString &caption)
{
    m_caption->setText(caption);
}

int HeaderPanel::headerHeight() const
{
    return m_header->sizeHint().height();
}
