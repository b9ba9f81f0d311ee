#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// Shows one image file, given by path, upright and as large as the box allows with its
// proportions kept; placeable metafiles are drawn. A file that cannot be decoded leaves the box
// empty.
class PhotoBox : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Picture READ Picture WRITE setPicture)

public:
    explicit PhotoBox(QWidget *parent = nullptr);

    QString Picture() const { return m_path; }
    // Loads the file (upright, at most screen-sized); true when it could be decoded.
    bool setPicture(const QString &path);
    bool hasImage() const { return !m_image.isNull(); }
    QSize imageSize() const { return m_image.size(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_path;
    QImage m_image;
};
