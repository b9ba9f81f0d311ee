// A full disk: with a file-size limit in force (writes beyond it fail, the signal ignored),
// saving a person, compressing, copying photos and importing fail with a clear message, and the
// database and the photo folders are left as they were.
#include "PhotoStorage.h"
#include "StoreImport.h"
#include "support_Program.h"
#include "support_WriteScript.h"

#include <QDirIterator>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QString kFullTitle = QStringLiteral("Error: -2147286928");
QString full(const QString &database)
{
    return QStringLiteral("The database '%1' could not be written: the disk is full, or the file "
                          "would grow larger than the system allows. Nothing was changed.\r\n\r\n"
                          "Make room on the disk and try again.")
        .arg(QDir::toNativeSeparators(database));
}

// A limit on the size of files this process writes, for its lifetime: a write beyond it fails
// as on a full disk, and SIGXFSZ is ignored so that the failure reaches the program.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool set() const { return m_set; }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

// Every file below a folder, with its contents' hash.
QMap<QString, QByteArray> folderState(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, QFileInfo(path).isDir() ? QByteArray("folder") : FileHash(path));
    }
    return files;
}

} // namespace

class TestDiskFull : public QObject
{
    Q_OBJECT

private slots:
    void saveAndCompressFailAndChangeNothing()
    {
        Program program;
        QVERIFY(program.prepare());
        program.startUp(QStringLiteral("Example"));
        const QString root = program.main->VTree().Levels().Item(1)->Item(1)->Key();
        QVERIFY(program.select(root));
        const auto before = folderState(program.state.DataPath);
        program.messages.clear();
        {
            FileSizeLimit limit(1024);
            QVERIFY(limit.set());
            program.editThroughWindow("mnuPersonEdit", [](frmEdit &edit) {
                Program::setBox(edit, "txtFname", QStringLiteral("Changed"));
            });
            QCOMPARE(program.messages.count(), 1);
            QCOMPARE(program.messages.last().text, full(program.database()));
            QCOMPARE(program.messages.last().title, kFullTitle);
            QCOMPARE(program.messages.last().icon, MsgIcon::Critical);
            program.messages.clear();

            program.main->Menus().Item(QStringLiteral("mnuToolsDbComp"))->trigger();
            QCOMPARE(program.messages.count(), 1);
            QCOMPARE(program.messages.last().text,
                     QStringLiteral("The database '%1' could not be compressed: there is not "
                                    "enough room on the disk for its compressed copy. The database "
                                    "was left as it was.\r\n\r\nMake room on the disk and try "
                                    "again.")
                         .arg(QDir::toNativeSeparators(program.database())));
            QCOMPARE(program.messages.last().title, kFullTitle);
        }
        QCOMPARE(folderState(program.state.DataPath), before);
        QVERIFY(program.main->Db().IsOpen());
        QVERIFY(program.main->Tree().People().Item(root)->Fname() != QLatin1String("Changed"));
        program.main->close();
    }

    void photosThatDoNotFitAreNamedAndLeaveNothing()
    {
        Program program;
        QVERIFY(program.prepare());
        program.startUp(QStringLiteral("Example"));
        const QString root = program.main->VTree().Levels().Item(1)->Item(1)->Key();
        QVERIFY(program.select(root));
        // A photo larger than what may still be written; the database change fits.
        const QString photo = program.dir.filePath(QStringLiteral("large.jpg"));
        QFile file(photo);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(512 * 1024, 'p'));
        file.close();
        const QString folder = program.state.DataPath + QStringLiteral("Photos/") + root;
        program.messages.clear();
        {
            FileSizeLimit limit(QFileInfo(program.database()).size() + 128 * 1024);
            QVERIFY(limit.set());
            ScopedFileDialogDriver files([&](const FileDialog &) { return photo; });
            program.editThroughWindow("mnuPersonEdit", [](frmEdit &edit) {
                edit.findChild<QPushButton *>(QStringLiteral("cmdBrowse"))->click();
            });
        }
        QCOMPARE(program.messages.count(), 1);
        QCOMPARE(program.messages.last().text,
                 QStringLiteral("These photos could not be copied into '%1/': the disk may be "
                                "full, or the folder cannot be written.\r\n\r\nlarge.jpg\r\n\r\n"
                                "The person was saved without them; nothing else was changed.")
                     .arg(QDir::toNativeSeparators(folder)));
        QCOMPARE(program.messages.last().title, QStringLiteral("Error"));
        QCOMPARE(program.messages.last().icon, MsgIcon::Critical);
        // No part of the photo, no temporary copy: the person's folder is empty.
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(QDir(folder)
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
        program.main->close();
    }

    void importFailsAndLeavesNoTreeAndNoPhotos()
    {
        QTemporaryDir dir;
        const QString data = dir.path() + QStringLiteral("/Data/");
        QVERIFY(QDir().mkpath(data));
        const QString database = data + QStringLiteral("people.db");
        QVERIFY(mDatabase::CreateDatabaseFile(database));
        QFile photo(dir.filePath(QStringLiteral("face.jpg")));
        QVERIFY(photo.open(QIODevice::WriteOnly));
        photo.write(QByteArray(4096, 'f'));
        photo.close();
        // Persons with long notes and a photo each: the rows outgrow the limit, the photos not.
        QByteArray text = "0 HEAD\n1 CHAR UTF-8\n";
        for (int i = 1; i <= 200; ++i)
            text += "0 @G" + QByteArray::number(i) + "@ INDI\n1 NAME Given /Family/\n1 NOTE " +
                    QByteArray(400, 'x') + "\n1 OBJE\n2 FILE face.jpg\n";
        QFile gedcom(dir.filePath(QStringLiteral("people.ged")));
        QVERIFY(gedcom.open(QIODevice::WriteOnly));
        gedcom.write(text + "0 TRLR\n");
        gedcom.close();

        mDatabase store;
        store.SetPaths(data, database);
        QVERIFY(store.OpenDatabase());
        const auto before = folderState(data);
        Gedcom::StoreImport result;
        {
            FileSizeLimit limit(QFileInfo(database).size());
            QVERIFY(limit.set());
            result = Gedcom::importIntoStore(store, gedcom.fileName(), QStringLiteral("Imported"));
        }
        QVERIFY(!result.isDone());
        QCOMPARE(result.plan.counts.persons, 200);
        QCOMPARE(result.error.code(), ErrorCode::Full);
        QCOMPARE(result.error.text(), full(database));
        QCOMPARE(folderState(data), before);
        QVERIFY(!store.TreeExists(QStringLiteral("Imported")));
        QVERIFY(!WriteScript::Dump(database).contains(QLatin1String("Imported")));
    }

    // The disk fills while the rows are being written into the file itself (the file has grown
    // past its size before the import): the import fails, and the file is cut back to what it
    // was, with no journal left for the next program to find.
    void importThatFillsTheDiskGivesTheRoomBack()
    {
        QTemporaryDir dir;
        const QString data = dir.path() + QStringLiteral("/Data/");
        QVERIFY(QDir().mkpath(data));
        const QString database = data + QStringLiteral("people.db");
        QVERIFY(mDatabase::CreateDatabaseFile(database));
        QByteArray text = "0 HEAD\n1 CHAR UTF-8\n";
        for (int i = 1; i <= 9000; ++i)
            text += "0 @G" + QByteArray::number(i) + "@ INDI\n1 NAME Given /Family/\n1 NOTE " +
                    QByteArray(400, 'x') + "\n";
        QFile gedcom(dir.filePath(QStringLiteral("people.ged")));
        QVERIFY(gedcom.open(QIODevice::WriteOnly));
        gedcom.write(text + "0 TRLR\n");
        gedcom.close();

        mDatabase store;
        store.SetPaths(data, database);
        QVERIFY(store.OpenDatabase());
        const auto before = folderState(data);
        Gedcom::StoreImport result;
        {
            FileSizeLimit limit(QFileInfo(database).size() + 1024 * 1024);
            QVERIFY(limit.set());
            result = Gedcom::importIntoStore(store, gedcom.fileName(), QStringLiteral("Imported"));
        }
        QVERIFY(!result.isDone());
        QCOMPARE(result.error.code(), ErrorCode::Full);
        QCOMPARE(result.error.text(), full(database));
        QCOMPARE(folderState(data), before);
        QVERIFY(!QFileInfo::exists(database + QStringLiteral("-journal")));
        QVERIFY(!store.TreeExists(QStringLiteral("Imported")));
    }
};

QTEST_MAIN(TestDiskFull)
#include "tst_diskfull.moc"
