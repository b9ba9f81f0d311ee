// The image test of the import: a file counts as a photo only when its picture decodes, not when
// its header alone looks right (a PNG header followed by zeros is no photo).
#include "GedcomFiles.h"
#include "Import.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

bool decodes(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return GedcomFiles::DecodesAsImage(buffer);
}

QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}

} // namespace

class TestPhotoCheck : public QObject
{
    Q_OBJECT

private slots:
    void onlyPicturesThatDecodeCount()
    {
        const QByteArray png = encoded(picture(1200, 900), "PNG");
        const QByteArray jpeg = encoded(picture(1600, 1200), "JPG");
        QVERIFY(decodes(png));
        QVERIFY(decodes(jpeg));
        QVERIFY(decodes(encoded(picture(3, 2), "PNG")));
        // The signature and the header chunk of a real PNG, then zeros.
        QVERIFY(!decodes(png.left(33) + QByteArray(4 << 20, '\0')));
        QVERIFY(!decodes(QByteArray("GIF89a") + QByteArray(4096, '\0')));
        QVERIFY(!decodes(QByteArray(4096, '\0')));
    }

    void theImportLeavesOutAHeaderFollowedByZeros()
    {
        QTemporaryDir dir;
        QFile fake(dir.filePath("fake.png"));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write(encoded(picture(640, 480), "PNG").left(33) + QByteArray(8 << 20, '\0'));
        fake.close();
        QFile real(dir.filePath("real.png"));
        QVERIFY(real.open(QIODevice::WriteOnly));
        real.write(encoded(picture(640, 480), "PNG"));
        real.close();
        QFile gedcom(dir.filePath("family.ged"));
        QVERIFY(gedcom.open(QIODevice::WriteOnly));
        gedcom.write(
            "0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Ann /Lee/\n1 OBJE\n2 FILE fake.png\n"
            "1 OBJE\n2 FILE real.png\n0 TRLR\n");
        gedcom.close();

        Gedcom::ImportContext context;
        context.isImage = GedcomFiles::DecodesAsImage;
        const Gedcom::ImportPlan plan = Gedcom::planImportFile(gedcom.fileName(), context);
        QVERIFY2(plan.isValid(), qPrintable(plan.error.text()));
        QCOMPARE(plan.counts.photos, 1);
        QCOMPARE(plan.counts.photosRefused, 1);
        QCOMPARE(plan.rows.constFirst().photos.constFirst().name, QString("real.png"));
    }
};

QTEST_MAIN(TestPhotoCheck)
#include "tst_photocheck.moc"
