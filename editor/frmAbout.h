#pragma once

#include <QDialog>

// The about window: the program's icon, the product name and version, the maker with the
// years of the product, and the maker's web and mail addresses. A mouse click anywhere or Esc
// closes it. Children by objectName: Picture1, lblProduct, lblMaker, lblWeb, lblMail.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    static QString ProductText();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
