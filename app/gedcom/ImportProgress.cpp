#include "ImportProgress.h"

#include <QCoreApplication>

ImportProgress::ImportProgress(QWidget *parent, const QString &title, const QString &label)
    : m_dialog(label, QStringLiteral("Cancel"), 0, 1000, parent)
{
    m_dialog.setObjectName(QStringLiteral("dlgProgress"));
    m_dialog.setWindowTitle(title);
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(400);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
    m_dialog.setMinimumWidth(m_dialog.fontMetrics().averageCharWidth() * 50);
    m_dialog.setValue(0);
}

bool ImportProgress::Step(qint64 done, qint64 total)
{
    if (total > 0)
        m_dialog.setValue(int(qBound(qint64(0), done * 1000 / total, qint64(1000))));
    QCoreApplication::processEvents(m_dialog.isVisible() ? QEventLoop::AllEvents
                                                         : QEventLoop::ExcludeUserInputEvents);
    return !m_dialog.wasCanceled();
}
