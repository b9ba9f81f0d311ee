#include "ModalSeam.h"
#include "PhotoBox.h"
#include "Thumb.h"
#include "frmPic.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

class TestFrmPic : public QObject
{
    Q_OBJECT

private:
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
