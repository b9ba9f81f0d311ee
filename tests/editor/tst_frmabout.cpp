#include "FamilyPicture.h"
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

    void pictureIsDrawn()
    {
        const QImage image = FamilyPicture();
        QCOMPARE(image.size(), QSize(124, 122));
        QCOMPARE(image.depth(), 24);
        // Not a blank square: the drawing uses many colours.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                colours.insert(image.pixel(x, y));
        QVERIFY(colours.size() > 20);
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
