#pragma once

#include <QFrame>

class QLabel;
class QToolButton;

// A panel with a header bar (caption on the left, a close button on the right) above a body.
// Hosts put their controls into body(); the close button raises closeClicked(). The host sets
// the objectName ("pnlInfo").
class HeaderPanel : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)

public:
    explicit HeaderPanel(QWidget *parent = nullptr);
    explicit HeaderPanel(const QString &caption, QWidget *parent = nullptr);

    QString Caption() const;
    void setCaption(const QString &caption);

    // The area below the header bar; give it a layout or place children on it.
    QWidget *body() const { return m_body; }
    // The header bar's height in pixels.
    int headerHeight() const;
    QToolButton *closeButton() const { return m_close; }

signals:
    void closeClicked();

private:
    QWidget *m_header = nullptr;
    QLabel *m_caption = nullptr;
    QToolButton *m_close = nullptr;
    QWidget *m_body = nullptr;
};
