#include "AppIcon.h"
#include "frmAbout.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

class TestFrmAbout : public QObject
{
    Q_OBJECT

private slots:
    void showsProductMakerAndAddresses()
    {
        frmAbout about;
        QCOMPARE(about.findChild<QLabel *>("lblProduct")->text(), QString("Velkin Tree 2.3"));
        QVERIFY(about.findChild<QLabel *>("lblMaker")->text().contains("Quillmar"));
        QCOMPARE(about.findChild<QLabel *>("lblWebCaption")->text(), QString("Web :"));
        QCOMPARE(about.findChild<QLabel *>("lblMailCaption")->text(), QString("Mail :"));
        QVERIFY(about.findChild<QLabel *>("lblMail")->text().contains('@'));
        const QLabel *picture = about.findChild<QLabel *>("Picture1");
        QCOMPARE(picture->pixmap().size(), QSize(124, 122));
    }

    // The window's picture and its title bar show the program's icon, the one the desktop shows.
    void showsTheProgramIcon()
    {
        const QIcon icon = AppIcon();
        for (int size : {16, 32, 48, 256})
            QCOMPARE(icon.pixmap(QSize(size, size)).size(), QSize(size, size));

        const QImage image = AppIconPicture(QSize(124, 122), Qt::white);
        QCOMPARE(image.size(), QSize(124, 122));
        QCOMPARE(image.depth(), 24);
        // Not a blank square: the icon uses many colours, and its corners show the background.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                colours.insert(image.pixel(x, y));
        QVERIFY(colours.size() > 20);
        QCOMPARE(image.pixel(0, 0), qRgb(255, 255, 255));

        frmAbout about;
        const QImage shown = about.findChild<QLabel *>("Picture1")->pixmap().toImage();
        QCOMPARE(shown.convertToFormat(QImage::Format_RGB888),
                 AppIconPicture(QSize(124, 122), about.palette().color(QPalette::Window)));
        QCOMPARE(about.windowIcon().pixmap(QSize(32, 32)).toImage(),
                 icon.pixmap(QSize(32, 32)).toImage());
    }

    void escClosesOtherKeysDoNot()
    {
        frmAbout about;
        about.show();
        QSignalSpy closed(&about, &QDialog::rejected);
        QTest::keyRelease(&about, Qt::Key_Return);
        QTest::keyRelease(&about, Qt::Key_A);
        QCOMPARE(closed.count(), 0);
        QVERIFY(about.isVisible());
        QTest::keyRelease(&about, Qt::Key_Escape);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!about.isVisible());
    }

    void clickAnywhereCloses()
    {
        for (const char *target : {"", "lblProduct", "Picture1"}) {
            frmAbout about;
            about.show();
            QSignalSpy closed(&about, &QDialog::rejected);
            QWidget *widget =
                *target ? about.findChild<QWidget *>(target) : static_cast<QWidget *>(&about);
            QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(3, 3));
            QCOMPARE(closed.count(), 1);
        }
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
