// Writes the seed corpora of the fuzz targets: a few small valid inputs of each kind, one folder
// per target (fuzz_<name>/) under the folder given on the command line.
//
//   fuzz_make_seeds <folder>
//
// A new fuzz target gets its seeds here: a function that returns its inputs, and one line in main.
#include "AppSettings.h"
#include "Gedzip.h"
#include "ModelImport.h"
#include "RecordCodec.h"
#include "modRegistry.h"
#include "support_exif.h"

#include <QBuffer>
#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdio>

namespace {

using Inputs = QList<QByteArray>;

void appendLe16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xFF)).append(char(v >> 8));
}
void appendLe32(QByteArray &b, quint32 v)
{
    appendLe16(b, quint16(v & 0xFFFF));
    appendLe16(b, quint16(v >> 16));
}

QImage picture(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::darkGreen);
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::red);
    painter.end();
    return image.convertToFormat(format);
}

QByteArray encoded(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        std::fprintf(stderr, "cannot write a %s seed: %s\n", format,
                     qPrintable(writer.errorString()));
    return bytes;
}

// A 1 x 1 GIF (the library writes no GIF) and a 3 x 2 one with a colour table.
Inputs gifs()
{
    const QByteArray tiny = QByteArray::fromHex(
        "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");
    const QByteArray small = QByteArray::fromHex(
        "474946383761030002008000000000ffffff2c00000000030002000002038c0f05003b");
    return {tiny, small};
}

// An enhanced metafile: the header record with its bounds, then the end record.
QByteArray emf(qint32 left, qint32 top, qint32 right, qint32 bottom)
{
    QByteArray b;
    appendLe32(b, 1);  // EMR_HEADER
    appendLe32(b, 88); // record size
    for (qint32 v : {left, top, right, bottom})
        appendLe32(b, quint32(v));
    for (qint32 v : {0, 0, (right - left) * 26, (bottom - top) * 26}) // frame, 0.01 mm
        appendLe32(b, quint32(v));
    appendLe32(b, 0x464D4520u); // " EMF"
    appendLe32(b, 0x10000);     // version
    appendLe32(b, 88 + 20);     // bytes
    appendLe32(b, 2);           // records
    appendLe16(b, 1);           // handles
    appendLe16(b, 0);
    for (int i = 0; i < 3; ++i) // description, its offset, palette entries
        appendLe32(b, 0);
    for (qint32 v : {1920, 1080, 508, 286}) // device pixels, millimetres
        appendLe32(b, quint32(v));
    appendLe32(b, 14); // EMR_EOF
    appendLe32(b, 20);
    appendLe32(b, 0);
    appendLe32(b, 0x10);
    appendLe32(b, 20);
    return b;
}

// A placeable metafile: the placeable header with its box, the metafile header, the end record.
QByteArray wmf(qint16 right, qint16 bottom, quint16 inch)
{
    QByteArray b;
    appendLe32(b, 0x9AC6CDD7u);
    appendLe16(b, 0);
    for (qint16 v : {qint16(0), qint16(0), right, bottom})
        appendLe16(b, quint16(v));
    appendLe16(b, inch);
    appendLe32(b, 0);
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= qFromLittleEndian<quint16>(b.constData() + i);
    appendLe16(b, checksum);
    for (quint16 v : {1, 9, 0x300}) // type, header words, version
        appendLe16(b, v);
    appendLe32(b, 9 + 3); // size in words
    appendLe16(b, 0);     // objects
    appendLe32(b, 3);     // largest record
    appendLe16(b, 0);
    appendLe32(b, 3); // end record: size
    appendLe16(b, 0); // function
    return b;
}

Inputs pictures()
{
    Inputs inputs;
    inputs << encoded(picture(4, 3), "BMP")
           << encoded(picture(5, 4, QImage::Format_Indexed8), "BMP")
           << encoded(picture(1, 1, QImage::Format_Mono), "BMP");
    inputs << encoded(picture(16, 9), "JPEG", 70)
           << encoded(picture(9, 16, QImage::Format_Grayscale8), "JPEG", 50);
    inputs << encoded(picture(7, 5), "PNG") << encoded(picture(3, 3, QImage::Format_ARGB32), "PNG");
    inputs << gifs();
    inputs << emf(0, 0, 320, 200) << emf(-10, -10, 10, 30);
    inputs << wmf(1440, 720, 1440) << wmf(300, 200, 96);
    return inputs;
}

Inputs headerInputs()
{
    return pictures();
}

// The picture path reads a suffix index and the cell's size before the picture's bytes.
Inputs cellInputs()
{
    static const char *const kinds[] = {"jpg", "png", "gif", "bmp", "dib", "emf", "wmf"};
    Inputs inputs;
    const Inputs all = pictures();
    for (const QByteArray &bytes : all) {
        int kind = 3;
        if (bytes.startsWith("\xFF\xD8"))
            kind = 0;
        else if (bytes.startsWith("\x89PNG"))
            kind = 1;
        else if (bytes.startsWith("GIF"))
            kind = 2;
        else if (bytes.startsWith(QByteArray::fromHex("01000000")))
            kind = 5;
        else if (bytes.startsWith(QByteArray::fromHex("d7cdc69a")))
            kind = 6;
        (void)kinds;
        inputs << QByteArray(1, char(kind)) + QByteArray("\x34\x2c", 2) + bytes;
    }
    return inputs;
}

QByteArray lines(const QList<const char *> &text)
{
    QByteArray out;
    for (const char *line : text)
        out.append(line).append("\r\n");
    return out;
}

Inputs gedcomInputs()
{
    const QByteArray v551 = lines({"0 HEAD",
                                   "1 SOUR TEST",
                                   "1 GEDC",
                                   "2 VERS 5.5.1",
                                   "2 FORM LINEAGE-LINKED",
                                   "1 CHAR UTF-8",
                                   "0 @I1@ INDI",
                                   "1 NAME Anna /Berg/",
                                   "2 GIVN Anna",
                                   "2 SURN Berg",
                                   "1 SEX F",
                                   "1 BIRT",
                                   "2 DATE ABT 12 MAR 1901",
                                   "2 PLAC Bergen, Norway",
                                   "1 DEAT",
                                   "2 DATE BET 1950 AND 1960",
                                   "1 RESI",
                                   "2 ADDR Main Street 1",
                                   "3 CITY Oslo",
                                   "3 CTRY Norway",
                                   "1 NOTE First line",
                                   "2 CONC  continued",
                                   "2 CONT second line",
                                   "1 FAMS @F1@",
                                   "1 OBJE",
                                   "2 FILE photos/anna.jpg",
                                   "2 FORM jpg",
                                   "0 @I2@ INDI",
                                   "1 NAME Ole /Dahl/",
                                   "1 SEX M",
                                   "1 FAMS @F1@",
                                   "0 @I3@ INDI",
                                   "1 NAME Kari /Dahl/",
                                   "1 BIRT",
                                   "2 DATE 1925",
                                   "1 FAMC @F1@",
                                   "2 PEDI birth",
                                   "0 @F1@ FAM",
                                   "1 HUSB @I2@",
                                   "1 WIFE @I1@",
                                   "1 CHIL @I3@",
                                   "1 MARR",
                                   "2 DATE 5 JUN 1924",
                                   "0 TRLR"});
    const QByteArray v70 = lines({"0 HEAD",
                                  "1 GEDC",
                                  "2 VERS 7.0",
                                  "0 @X1@ INDI",
                                  "1 NAME Jon /Lund/",
                                  "1 BIRT",
                                  "2 DATE",
                                  "3 PHRASE sometime in spring",
                                  "1 DEAT",
                                  "2 DATE FROM 1990 TO 1991",
                                  "1 FAMC @F1@",
                                  "0 @X2@ INDI",
                                  "1 NAME Eva /Lund/",
                                  "1 FAMS @F1@",
                                  "0 @F1@ FAM",
                                  "1 WIFE @X2@",
                                  "1 CHIL @X1@",
                                  "1 CHIL @VOID@",
                                  "0 @N1@ SNOTE A shared note",
                                  "0 TRLR"});
    const QByteArray ansel = QByteArray("0 HEAD\n1 CHAR ANSEL\n0 @I1@ INDI\n1 NAME J\xE2"
                                        "e /M\xF0"
                                        "uller/\n"
                                        "1 BIRT\n2 DATE 1 JAN 1800\n0 TRLR\n");
    QByteArray utf16;
    const QString text = QString::fromUtf8(
        lines({"0 HEAD", "1 CHAR UNICODE", "0 @I1@ INDI", "1 NAME Åse /Øren/", "0 TRLR"}));
    utf16.append("\xFF\xFE", 2);
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    const QByteArray cycle = lines({"0 HEAD", "0 @A@ INDI", "1 FAMC @F@", "1 FAMS @F@", "0 @F@ FAM",
                                    "1 HUSB @A@", "1 CHIL @A@", "0 TRLR"});
    return {v551, v70, ansel, utf16, cycle};
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Settings as the program writes them (a first run, then a changed placement): a split byte,
// the user's file, the machine's file.
Inputs settingsInputs(const QString &scratch)
{
    Inputs inputs;
    const QString user = scratch + QStringLiteral("/user.ini");
    const QString machine = scratch + QStringLiteral("/machine.ini");
    for (int run = 0; run < 2; ++run) {
        {
            modRegistry registry(user, machine);
            AppSettings::CompleteStore(registry, 15);
            if (run == 1) {
                registry.SetDword(AppSettings::UserKey, QStringLiteral("MainLeft"), -60);
                registry.SetDword(AppSettings::UserKey, QStringLiteral("MainWidth"), 30000);
                registry.SetString(AppSettings::UserKey, QStringLiteral("LastOpen"),
                                   QStringLiteral("Åsen's tree"));
                registry.SetDword(AppSettings::MachineKey, QStringLiteral("Version"), 22);
            }
        }
        const QByteArray u = fileBytes(user).left(255);
        inputs << QByteArray(1, char(u.size())) + u + fileBytes(machine);
    }
    return inputs;
}

Inputs dateInputs()
{
    Inputs inputs;
    for (const char *text : {"1950-06-30",
                             "1950/6/30",
                             "30.06.1950",
                             "5/6/45",
                             "6-30-1950",
                             "1950-03",
                             "12 MAR 1901",
                             "March 12, 1888",
                             "MAR 1901",
                             "ABT 1900",
                             "BET 1900 AND 1910",
                             "FROM 1900 TO 1910",
                             "1901/02",
                             "(about 1900)",
                             "@#DJULIAN@ 29 FEB 1700",
                             "@#DGREGORIAN@ 1 JAN 2000",
                             "INT 1900 (estimated)",
                             "1920|1999",
                             "12.3.1950|1.1.2001",
                             "BEF 31 DEC 1899",
                             "EST 1850",
                             "CAL 1700"})
        inputs << QByteArray(text);
    return inputs;
}

// JPEG photos with an EXIF block: with and without a thumbnail, in several orientations.
Inputs exifInputs()
{
    const QImage stored = picture(64, 48);
    const QImage preview = picture(16, 12);
    return {PixtileTestExif::jpegWithExif(stored, preview, 1),
            PixtileTestExif::jpegWithExif(stored, preview, 6),
            PixtileTestExif::jpegWithExif(stored, preview, 8, 50),
            PixtileTestExif::jpegWithExif(stored, QImage(), 3)};
}

// Thumbnail cache entries of the photo fuzz_cache_png looks up (its URI and modification time),
// with and without the optional keys, and one of another photo.
Inputs cacheInputs()
{
    Inputs inputs;
    const auto entry = [](const char *uri, bool optional, const char *format) {
        QImage image = picture(100, 75, QImage::Format_ARGB32);
        image.setText(QStringLiteral("Thumb::URI"), QLatin1String(uri));
        image.setText(QStringLiteral("Thumb::MTime"), QStringLiteral("1000000000"));
        if (optional) {
            image.setText(QStringLiteral("Thumb::Size"), QStringLiteral("0"));
            image.setText(QStringLiteral("Thumb::Image::Width"), QStringLiteral("400"));
            image.setText(QStringLiteral("Thumb::Image::Height"), QStringLiteral("300"));
            image.setText(QStringLiteral("Software"), QStringLiteral("a longer text, which some "
                                                                     "writers keep compressed"));
        }
        return encoded(image, format);
    };
    inputs << entry("file:///fuzz/photo.jpg", false, "png")
           << entry("file:///fuzz/photo.jpg", true, "png")
           << entry("file:///fuzz/other.jpg", true, "png");
    return inputs;
}

// GEDZIP archives as an export writes them: the GEDCOM file alone, and with media files stored
// and compressed, in folders.
Inputs gedzipInputs(const QString &scratch)
{
    const QByteArray gedcom = "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @I1@ INDI\n1 NAME Anna /Alltag/\n"
                              "1 OBJE\n2 FILE media/photo.jpg\n3 FORM image/jpeg\n0 TRLR\n";
    QFile photo(scratch + QStringLiteral("/photo.jpg"));
    QFile letter(scratch + QStringLiteral("/letter.txt"));
    if (!photo.open(QIODevice::WriteOnly) || photo.write(encoded(picture(40, 30), "jpg")) <= 0 ||
        !letter.open(QIODevice::WriteOnly) ||
        letter.write(QByteArray("A line of a letter. ").repeated(50)) <= 0)
        return {};
    photo.close();
    letter.close();
    const QList<QList<Gedcom::GedzipMedia>> archives{
        {},
        {{QStringLiteral("media/photo.jpg"), photo.fileName()}},
        {{QStringLiteral("media/photo.jpg"), photo.fileName()},
         {QStringLiteral("media/letters/letter 1.txt"), letter.fileName()},
         {QStringLiteral("media/letters/letter 2.txt"), letter.fileName()}},
    };
    Inputs inputs;
    for (const QList<Gedcom::GedzipMedia> &media : archives) {
        const QString path = scratch + QStringLiteral("/seed.gdz");
        QFile file(path);
        if (!Gedcom::writeGedzip(path, gedcom, media).isEmpty() || !file.open(QIODevice::ReadOnly))
            return {};
        inputs << file.readAll();
    }
    return inputs;
}

// The side records of the GEDCOM seeds as the store encodes them, in the input of
// fuzz_record_decoder: persons, flags (1: stored numbers given), then table, size, [number,]
// fields.
Inputs recordInputs()
{
    using Store::Side::Tab;
    Inputs inputs;
    for (const QByteArray &gedcom : gedcomInputs()) {
        const Gedcom::MappedTree tree =
            Gedcom::mapDocument(Gedcom::Document::fromBytes(gedcom), Gedcom::ImportContext());
        const Genealogy::TreeModel &m = tree.model;
        if (!tree.isValid() || m.personCount() >= 64)
            continue;
        std::vector<QByteArray> keys;
        for (quint32 p = 0; p < m.personCount(); ++p)
            keys.push_back("K" + QByteArray::number(p));
        const Store::Side::RecordEncoder encoder(m, keys);
        const quint32 sizes[Store::Side::kTabCount] = {
            1,
            m.persons.size(),
            m.names.size(),
            m.events.size(),
            m.eventDetails.size(),
            m.addresses.size(),
            m.places.size(),
            m.families.size(),
            m.partnerships.size(),
            m.childLinks.size(),
            m.associations.size(),
            m.sources.size(),
            m.repositoryLinks.size(),
            m.repositories.size(),
            m.citations.size(),
            m.notes.size(),
            m.noteLinks.size(),
            m.media.size(),
            m.mediaLinks.size(),
            m.kept.size(),
            m.keptLines.size(),
            m.noteBreaks.size(),
        };
        for (const char flags : {0, 1}) {
            QByteArray input;
            input.append(char(m.personCount())).append(flags);
            for (int t = 0; t < Store::Side::kTabCount; ++t) {
                for (quint32 i = 0; i < sizes[t]; ++i) {
                    const QByteArray fields = encoder.encode(Tab(t), i);
                    input.append(char(t));
                    appendLe16(input, quint16(fields.size()));
                    if (flags)
                        appendLe16(input, quint16(i * 2));
                    input.append(fields);
                }
            }
            inputs << input;
        }
    }
    return inputs;
}

bool writeAll(const QString &root, const QString &target, const Inputs &inputs)
{
    QDir dir(root + QLatin1Char('/') + target);
    if (!dir.mkpath(QStringLiteral(".")))
        return false;
    for (const QByteArray &input : inputs) {
        const QString name =
            QString::fromLatin1(QCryptographicHash::hash(input, QCryptographicHash::Sha1).toHex());
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(input) != input.size())
            return false;
    }
    std::printf("%s: %lld seeds\n", qPrintable(target), static_cast<long long>(inputs.size()));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds <folder>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir scratch;
    const bool ok =
        writeAll(root, QStringLiteral("fuzz_image_headers"), headerInputs()) &&
        writeAll(root, QStringLiteral("fuzz_picture_cell"), cellInputs()) &&
        writeAll(root, QStringLiteral("fuzz_gedcom"), gedcomInputs()) &&
        writeAll(root, QStringLiteral("fuzz_gedcom_model"), gedcomInputs()) &&
        writeAll(root, QStringLiteral("fuzz_settings"), settingsInputs(scratch.path())) &&
        writeAll(root, QStringLiteral("fuzz_dates"), dateInputs()) &&
        writeAll(root, QStringLiteral("fuzz_gedzip"), gedzipInputs(scratch.path())) &&
        writeAll(root, QStringLiteral("fuzz_record_decoder"), recordInputs());
    const bool okThumbs = writeAll(root, QStringLiteral("fuzz_exif_thumbnail"), exifInputs()) &&
                          writeAll(root, QStringLiteral("fuzz_cache_png"), cacheInputs());
    return ok && okThumbs ? 0 : 1;
}
