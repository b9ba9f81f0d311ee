#include "frmAbout.h"

#include "AppIcon.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

frmAbout::frmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Velkin Tree"));
    setWindowIcon(AppIcon());

    // The program's icon, drawn sharp on screens of any pixel density.
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    const QSize pictureSize(124, 122);
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap =
        QPixmap::fromImage(AppIconPicture(pictureSize * ratio, palette().color(QPalette::Window)));
    pixmap.setDevicePixelRatio(ratio);
    picture->setPixmap(pixmap);
    picture->setFixedSize(pictureSize);

    QLabel *product = makeLabel(this, "lblProduct", ProductText());
    QFont big = product->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    product->setFont(big);
    QLabel *maker = makeLabel(this, "lblMaker", QStringLiteral("\u00A9 Quillmar 2001-2005"));

    auto *addresses = new QGridLayout;
    addresses->setHorizontalSpacing(8);
    addresses->addWidget(makeLabel(this, "lblWebCaption", QStringLiteral("Web :")), 0, 0);
    addresses->addWidget(makeLabel(this, "lblWeb", QStringLiteral("www.quillmar-soft.example")), 0,
                         1);
    addresses->addWidget(makeLabel(this, "lblMailCaption", QStringLiteral("Mail :")), 1, 0);
    addresses->addWidget(makeLabel(this, "lblMail", QStringLiteral("velkin@quillmar-soft.example")),
                         1, 1);
    addresses->setColumnStretch(1, 1);

    auto *text = new QVBoxLayout;
    text->addWidget(product);
    text->addWidget(maker);
    text->addSpacing(12);
    text->addLayout(addresses);
    text->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 14, 18, 14);
    layout->setSpacing(16);
    layout->addWidget(picture, 0, Qt::AlignTop);
    layout->addLayout(text, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // A click on any part of the window closes it, labels included.
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

QString frmAbout::ProductText()
{
    return QStringLiteral("Velkin Tree 2.3");
}

void frmAbout::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    reject();
}

void frmAbout::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        reject();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
