#include "StatusBar.h"

#include <QLabel>

StatusBar::StatusBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("Sbar"));
    setSizeGripEnabled(true);
    const int stretch[PanelCount] = {3, 2};
    for (int i = 0; i < PanelCount; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(40);
        addWidget(label, stretch[i]);
        m_panels[i] = label;
    }
}

QLabel *StatusBar::Panel(int index) const
{
    return index >= 1 && index <= PanelCount ? m_panels[index - 1] : nullptr;
}

QString StatusBar::PanelText(int index) const
{
    const QLabel *label = Panel(index);
    return label ? label->text() : QString();
}

void StatusBar::SetPanelText(int index, const QString &text)
{
    if (QLabel *label = Panel(index))
        label->setText(text);
}

void StatusBar::Refresh()
{
    for (QLabel *label : m_panels)
        label->update();
    update();
}
