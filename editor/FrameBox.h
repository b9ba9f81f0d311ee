#pragma once

#include <QGroupBox>

// A captioned group box. The windows keep several of them as the frame array fmInfo, each
// carrying its position in the array (1-based) as the Index property.
class FrameBox : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int Index READ Index WRITE setIndex)

public:
    explicit FrameBox(QWidget *parent = nullptr);
    FrameBox(const QString &caption, int index, QWidget *parent = nullptr);

    QString Caption() const { return title(); }
    void setCaption(const QString &caption) { setTitle(caption); }
    int Index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

private:
    int m_index = 0;
};
