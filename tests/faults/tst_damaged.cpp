// A damaged database: a file of garbage, a file that is not a database, an empty one, one cut
// off or with a damaged beginning ends start-up with a message that names it, and the file is
// left exactly as it was, with nothing made beside it. Damage inside a tree is told when the
// tree is read, again without a change to the file.
#include "support_Program.h"
#include "support_WriteScript.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

QByteArray exampleDatabase()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("people.db"));
    if (!mDatabase::CreateDatabaseFile(path))
        return QByteArray();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray pngFile()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestDamaged : public QObject
{
    Q_OBJECT

private slots:
    void startupNamesTheFileAndLeavesIt_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("what");
        const QByteArray whole = exampleDatabase();
        QVERIFY(whole.size() >= 4 * 4096);
        QByteArray garbage(16384, '\0');
        QRandomGenerator generator(17);
        for (char &c : garbage)
            c = char(generator.bounded(256));
        QByteArray badStart = whole;
        badStart.replace(0, 16, QByteArray(16, 'x'));
        const QString notDatabase =
            QStringLiteral("is not a database, or its beginning is damaged");
        const QString cutOff = QStringLiteral(
            "is incomplete: it ends before its last page (it was cut off, for example by a copy "
            "that did not finish)");
        QTest::newRow("garbage") << garbage << notDatabase;
        QTest::newRow("text") << QByteArray("family tree notes\n") << notDatabase;
        QTest::newRow("picture") << pngFile() << notDatabase;
        QTest::newRow("damaged beginning") << badStart << notDatabase;
        QTest::newRow("empty") << QByteArray() << QStringLiteral("is empty: it holds no trees");
        QTest::newRow("cut at a page") << whole.left(whole.size() - 4096) << cutOff;
        QTest::newRow("cut inside a page") << whole.left(whole.size() / 2 + 100) << cutOff;
    }

    void startupNamesTheFileAndLeavesIt()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, what);
        Program program;
        QVERIFY(QDir().mkpath(program.state.DataPath));
        QFile file(program.database());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const QByteArray before = FileHash(program.database());

        program.start();
        QSignalSpy failed(program.splash.get(), &frmSplash::StartupFailed);
        program.steps(6);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(program.messages.count(), 1);
        QCOMPARE(program.messages.last().title, QStringLiteral("Security error: 1202"));
        QCOMPARE(program.messages.last().icon, MsgIcon::Critical);
        QCOMPARE(program.messages.last().text,
                 QStringLiteral("Failed to connect to the database.\r\n\r\nThe database file "
                                "'%1' %2. It has been left as it is: nothing was changed, "
                                "deleted or repaired.\r\n\r\nRestore the file from a backup "
                                "copy, or move it out of the folder to start with a new "
                                "database.\r\n\r\nThe application can not start.")
                     .arg(QDir::toNativeSeparators(program.database()), what));
        QCOMPARE(FileHash(program.database()), before);
        QCOMPARE(QDir(program.state.DataPath).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("people.db")});
        QVERIFY(!program.main->isVisible());
    }

    void damageInsideATreeIsToldWhenRead()
    {
        Program program;
        QVERIFY(program.prepare());
        // A tree of its own on pages of its own, then garbage over its last page.
        {
            mDatabase store;
            store.SetPaths(program.state.DataPath, program.database());
            QVERIFY(store.OpenDatabase());
            QVERIFY(store.CreateTree(QStringLiteral("Broken")));
            for (int i = 0; i < 40; ++i) {
                PersonRecord row;
                row.ID = QStringLiteral("B%1").arg(i);
                row.PrntKey = QStringLiteral("ROOT");
                row.Notes = QString(300, QLatin1Char('b'));
                QVERIFY(store.InsertPerson(QStringLiteral("Broken"), row));
            }
        }
        // Garbage over the first page of the tree's table.
        int rootPage = 0;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "inspect");
            db.setDatabaseName(program.database());
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec("SELECT rootpage FROM sqlite_master WHERE name = 'Broken'"));
            QVERIFY(query.next());
            rootPage = query.value(0).toInt();
            query = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("inspect"));
        QVERIFY(rootPage > 1);
        QFile file(program.database());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(qint64(rootPage - 1) * 4096));
        file.write(QByteArray(4096, char(0xA5)));
        file.close();
        const QByteArray before = FileHash(program.database());

        program.startUp(QStringLiteral("Example"));
        QCOMPARE(program.messages.count(), 0);
        QCOMPARE(program.main->Tree().CurrentTree(), QStringLiteral("Example"));
        QVERIFY(!program.main->LoadTree(QStringLiteral("Broken")));
        QCOMPARE(program.messages.count(), 1);
        QCOMPARE(program.messages.last().text,
                 QStringLiteral("The database '%1' is damaged: it can no longer be read as a "
                                "database. Nothing was changed; the file has been left as it is."
                                "\r\n\r\nRestore it from a backup copy.")
                     .arg(QDir::toNativeSeparators(program.database())));
        QCOMPARE(program.messages.last().title, QStringLiteral("Error: -2147286775"));
        program.main->close();
        QCOMPARE(FileHash(program.database()), before);
    }
};

QTEST_MAIN(TestDamaged)
#include "tst_damaged.moc"
