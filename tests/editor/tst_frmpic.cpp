#include "ModalSeam.h"
#include "PhotoBox.h"
#include "Thumb.h"
#include "frmPic.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

class TestFrmPic : public QObject
{
    Q_OBJECT

private:
    // A JPEG of `stored` whose orientation tag holds `orientation`.
    static bool WriteTaggedJpeg(const QString &path, const QImage &stored, int orientation)
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        if (!stored.save(&buffer, "JPG", 95))
            return false;
        QByteArray jpeg = buffer.data();
        QByteArray exif = QByteArray::fromHex("FFE10022") + QByteArray("Exif\0\0", 6) +
                          QByteArray::fromHex("49492A00080000000100120103000100000000000000"
                                              "00000000");
        exif[28] = char(orientation); // the value of the one entry, tag 0x0112
        jpeg.insert(2, exif);
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(jpeg) == jpeg.size();
    }
    static bool IsRed(QRgb p) { return qAlpha(p) > 200 && qRed(p) > 180 && qBlue(p) < 90; }
    static bool IsBlue(QRgb p) { return qAlpha(p) > 200 && qBlue(p) > 180 && qRed(p) < 90; }

    static Thumb MakeThumb(const QString &folder, const QString &name, int w, int h)
    {
        Thumb thumb;
        thumb.setPath(folder + '/');
        thumb.setName(name);
        thumb.setWidth(w);
        thumb.setHeight(h);
        return thumb;
    }

private slots:
    void scaleRule()
    {
        const QSize limits = PhotoLimits(QSize(1024, 768));
        QCOMPARE(limits, QSize(954, 698));

        PhotoFit fit = FitPhoto(640, 480, limits);
        QVERIFY(!fit.stretched);
        QCOMPARE(QSize(fit.width, fit.height), QSize(640, 480));

        fit = FitPhoto(2000, 1000, limits);
        QVERIFY(fit.stretched);
        QCOMPARE(fit.scale, 0.477);
        QCOMPARE(QSize(fit.width, fit.height), QSize(954, 477));

        // Exactly the limits fit; one pixel more on either axis does not.
        fit = FitPhoto(954, 698, limits);
        QVERIFY(!fit.stretched);
        QCOMPARE(QSize(fit.width, fit.height), QSize(954, 698));
        QVERIFY(FitPhoto(955, 698, limits).stretched);
        QVERIFY(FitPhoto(954, 699, limits).stretched);
        QCOMPARE(FitPhoto(955, 698, limits).width, 954);

        // A tall photo is bound by the height; a sliver never shrinks below one pixel.
        fit = FitPhoto(500, 2000, limits);
        QCOMPARE(fit.scale, 0.349);
        QCOMPARE(QSize(fit.width, fit.height), QSize(175, 698));
        fit = FitPhoto(100000, 1, limits);
        QCOMPARE(fit.height, 1);
    }

    void captionSizeAndPicture()
    {
        QTemporaryDir dir;
        QImage image(64, 32, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(dir.filePath("small.png")));

        frmPic natural(MakeThumb(dir.path(), "small.png", 640, 480), nullptr, QSize(1024, 768));
        QCOMPARE(natural.objectName(), QString("frmPic"));
        QCOMPARE(natural.windowTitle(), QString("Photo: small.png"));
        QCOMPARE(natural.photoBox()->objectName(), QString("picPhoto"));
        QCOMPARE(natural.photoBox()->size(), QSize(640, 480));
        QCOMPARE(natural.size(), QSize(640, 480));
        QVERIFY(natural.photoBox()->hasImage());
        QCOMPARE(natural.photoBox()->Picture(), dir.filePath("small.png"));

        frmPic big(MakeThumb(dir.path(), "big.jpg", 2000, 1000), nullptr, QSize(1024, 768));
        QCOMPARE(big.windowTitle(), QString("Photo: big.jpg (Stretched)"));
        QCOMPARE(big.photoBox()->size(), QSize(954, 477));
        // A file that cannot be read leaves the box empty; the size stays as computed.
        QVERIFY(!big.photoBox()->hasImage());

        // Without dimensions from the viewer the file's own size is used.
        frmPic unknown(MakeThumb(dir.path(), "small.png", 0, 0), nullptr, QSize(1024, 768));
        QCOMPARE(unknown.photoBox()->size(), QSize(64, 32));
    }

    void turnedPhotoShownUprightWithItsProportions()
    {
        // Stored as the camera saw it, 80 x 40, red on the left and blue on the right; the tag
        // says to turn it a quarter clockwise, so upright it is 40 x 80 with red on top.
        QTemporaryDir dir;
        QImage stored(80, 40, QImage::Format_RGB32);
        stored.fill(Qt::blue);
        QPainter(&stored).fillRect(0, 0, 40, 40, Qt::red);
        QVERIFY(WriteTaggedJpeg(dir.filePath("phone.jpg"), stored, 6));

        // With the stored size from the file header, and without any size from the viewer.
        for (const QSize &given : {QSize(80, 40), QSize(0, 0)}) {
            frmPic viewer(MakeThumb(dir.path(), "phone.jpg", given.width(), given.height()),
                          nullptr, QSize(1024, 768));
            QCOMPARE(viewer.photoBox()->size(), QSize(40, 80));
            QCOMPARE(viewer.size(), QSize(40, 80));
            const QImage shown = viewer.photoBox()->grab().toImage();
            QVERIFY(IsRed(shown.pixel(20, 15)));
            QVERIFY(IsBlue(shown.pixel(20, 65)));
        }
        // Shrunk to a small screen, the upright proportions decide: limits 30 x 40.
        frmPic shrunk(MakeThumb(dir.path(), "phone.jpg", 80, 40), nullptr, QSize(100, 110));
        QCOMPARE(shrunk.photoBox()->size(), QSize(20, 40));
        QVERIFY(shrunk.windowTitle().endsWith(" (Stretched)"));

        // Widened by hand, the photo keeps its proportions in the middle of the box.
        frmPic viewer(MakeThumb(dir.path(), "phone.jpg", 80, 40), nullptr, QSize(1024, 768));
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        viewer.resize(200, 80);
        QCOMPARE(viewer.photoBox()->size(), QSize(200, 80));
        const QImage wide = viewer.photoBox()->grab().toImage();
        QVERIFY(IsRed(wide.pixel(100, 15)));
        QVERIFY(IsBlue(wide.pixel(100, 65)));
        QVERIFY(!IsRed(wide.pixel(20, 15)) && !IsBlue(wide.pixel(20, 65)));
    }

    void escClosesAndResizeFollows()
    {
        QTemporaryDir dir;
        frmPic viewer(MakeThumb(dir.path(), "a.png", 200, 100), nullptr, QSize(1024, 768));
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));

        viewer.resize(300, 250);
        QCOMPARE(viewer.photoBox()->geometry(), QRect(0, 0, 300, 250));

        QTest::keyClick(&viewer, Qt::Key_A);
        QTest::keyClick(&viewer, Qt::Key_Return);
        QVERIFY(viewer.isVisible());
        QTest::keyClick(&viewer, Qt::Key_Escape);
        QVERIFY(!viewer.isVisible());
        QCOMPARE(viewer.result(), int(QDialog::Rejected));
    }

    void showPhotoRunsModallyOnlyForAnItem()
    {
        int opened = 0;
        QString title;
        ScopedModalDriver driver([&](QDialog &dialog) {
            ++opened;
            title = dialog.windowTitle();
            return int(QDialog::Rejected);
        });
        frmPic::ShowPhoto(nullptr);
        QCOMPARE(opened, 0);
        const Thumb thumb = MakeThumb("/nowhere", "x.jpg", 10, 10);
        frmPic::ShowPhoto(&thumb);
        QCOMPARE(opened, 1);
        QCOMPARE(title, QString("Photo: x.jpg"));
    }
};

QTEST_MAIN(TestFrmPic)
#include "tst_frmpic.moc"
