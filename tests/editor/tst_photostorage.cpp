#include "PhotoStorage.h"
#include "ScriptedMessageService.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using PhotoStorage::SelectedFile;

Q_DECLARE_METATYPE(SelectedFile)

namespace {
const QChar kNul(u'\0');
}

class TestPhotoStorage : public QObject
{
    Q_OBJECT

private slots:
    void selectionFiles_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QList<SelectedFile>>("files");
        QTest::newRow("empty") << QString() << QList<SelectedFile>{};
        QTest::newRow("single path")
            << "/p/q/a.jpg" << QList<SelectedFile>{{"/p/q/a.jpg", "a.jpg"}};
        QTest::newRow("two names")
            << QString("/p") + kNul + "a.jpg" + kNul + "b.png"
            << QList<SelectedFile>{{"/p/a.jpg", "a.jpg"}, {"/p/b.png", "b.png"}};
        QTest::newRow("folder with separator")
            << QString("/p/") + kNul + "a.jpg" << QList<SelectedFile>{{"/p/a.jpg", "a.jpg"}};
        QTest::newRow("trailing nul")
            << QString("/p") + kNul + "a.jpg" + kNul << QList<SelectedFile>{{"/p/a.jpg", "a.jpg"}};
        QTest::newRow("empty piece")
            << QString("/p") + kNul + kNul + "b.png" << QList<SelectedFile>{{"/p/b.png", "b.png"}};
        QTest::newRow("folder only") << QString("/p") + kNul << QList<SelectedFile>{};
        QTest::newRow("names leaving the folder")
            << QString("/p") + kNul + ".." + kNul + "x/../../y.jpg" + kNul + "ok.gif"
            << QList<SelectedFile>{{"/p/ok.gif", "ok.gif"}};
    }
    void selectionFiles()
    {
        QFETCH(QString, selection);
        QFETCH(QList<SelectedFile>, files);
        QCOMPARE(PhotoStorage::SelectionFiles(selection), files);
    }

    void keysThatCannotNameAFolder()
    {
        QTemporaryDir dir;
        const QString data = dir.filePath("Data/");
        QDir().mkpath(data);
        {
            QFile file(dir.filePath("a.jpg"));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        ScriptedMessageService messages;
        ScopedMessageService scoped(messages);
        QCOMPARE(PhotoStorage::PhotoStep(data, "..", dir.filePath("a.jpg")), 0);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text,
                 QString("Photos folder could not be created. Photos will not be saved."));
        QVERIFY(!QFileInfo::exists(data + "a.jpg"));
        QVERIFY(!QFileInfo::exists(data + "Photos"));
    }

    void savePhotosNeverReplaces()
    {
        QTemporaryDir dir;
        const QString data = dir.filePath("Data/");
        QDir().mkpath(dir.filePath("src"));
        for (const char *name : {"a.jpg", "b.jpg"}) {
            QFile file(dir.filePath(QStringLiteral("src/") + name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(name);
        }
        const QString selection = dir.filePath("src") + kNul + "a.jpg" + kNul + "b.jpg";
        QCOMPARE(PhotoStorage::SavePhotos(data, "", selection), 0);
        QVERIFY(!QFileInfo::exists(data));
        QCOMPARE(PhotoStorage::SavePhotos(data, "K2", selection), 2);
        QVERIFY(QFileInfo(data + "Photos/K2").isDir());
        QCOMPARE(PhotoStorage::SavePhotos(data, "K2", selection), 0);
        QCOMPARE(PhotoStorage::SavePhotos(data, "K2", QString()), 0);
    }
};

QTEST_MAIN(TestPhotoStorage)
#include "tst_photostorage.moc"
