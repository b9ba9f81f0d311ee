#include "ScriptedMessageService.h"
#include "ThumbFileOps.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Pixtile;

// Renaming, deleting to the trash and copying or moving files in: real files in a temporary
// folder; the trash lives in that folder too (HOME and XDG_DATA_HOME point there).
class tst_fileops : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void nulLists();
    void renameRenamesTheFile();
    void renameRefusesExistingAndUnsafeNames();
    void deleteDeclinedLeavesFiles();
    void deleteMovesToTrash();
    void deleteFailureRestoresEverything();
    void copyAndMoveIn();
    void replaceAskedAndCancelUndoes();
    void failedTransferUndoes();

private:
    QString file(const QString &name, const QByteArray &content = "x") const;
    QString trashFiles() const { return m_home.filePath(".local/share/Trash/files"); }

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedMessageService m_messages;
    std::unique_ptr<ScopedMessageService> m_scope;
};

void tst_fileops::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("HOME", m_home.path().toLocal8Bit());
    // The data folder does not exist yet: the trash must still be set up there.
    qputenv("XDG_DATA_HOME", m_home.filePath(".local/share").toLocal8Bit());
}

void tst_fileops::init()
{
    m_dir = std::make_unique<QTemporaryDir>(m_home.filePath("work-XXXXXX"));
    QVERIFY(m_dir->isValid());
    m_messages.clear();
    m_messages.setResponder({});
    m_scope = std::make_unique<ScopedMessageService>(m_messages);
}

void tst_fileops::cleanup()
{
    m_scope.reset();
    m_dir.reset();
}

QString tst_fileops::file(const QString &name, const QByteArray &content) const
{
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return path;
}

static QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void tst_fileops::nulLists()
{
    const QString list = ThumbFileOps::JoinNulList({"/a/x.bmp", "/b/y.bmp"});
    QCOMPARE(list, QStringLiteral("/a/x.bmp") + QChar(0) + "/b/y.bmp" + QChar(0) + QChar(0));
    QStringList names{"a", "b", "a"};
    ThumbFileOps::ReplaceInList(names, "a", "c");
    QCOMPARE(names, QStringList({"c", "b", "c"}));
}

void tst_fileops::renameRenamesTheFile()
{
    file("old.bmp", "pic");
    QVERIFY(ThumbFileOps::RenameFile(nullptr, m_dir->path(), "old.bmp", "new.bmp"));
    QVERIFY(!QFile::exists(m_dir->filePath("old.bmp")));
    QCOMPARE(contentOf(m_dir->filePath("new.bmp")), QByteArray("pic"));
    // An empty new name does nothing, silently.
    QVERIFY(!ThumbFileOps::RenameFile(nullptr, m_dir->path(), "new.bmp", QString()));
    QCOMPARE(m_messages.count(), 0);
    QVERIFY(QFile::exists(m_dir->filePath("new.bmp")));
}

void tst_fileops::renameRefusesExistingAndUnsafeNames()
{
    file("a.bmp", "A");
    file("b.bmp", "B");
    QVERIFY(!ThumbFileOps::RenameFile(nullptr, m_dir->path(), "a.bmp", "b.bmp"));
    QCOMPARE(m_messages.count(), 1);
    QCOMPARE(m_messages.last().title, QStringLiteral("Error Renaming File"));
    QCOMPARE(m_messages.last().icon, MsgIcon::Critical);
    QCOMPARE(contentOf(m_dir->filePath("b.bmp")), QByteArray("B")); // never overwritten

    // A name with a folder in it would move the file elsewhere.
    QVERIFY(!ThumbFileOps::RenameFile(nullptr, m_dir->path(), "a.bmp", "../a.bmp"));
    QVERIFY(!ThumbFileOps::RenameFile(nullptr, m_dir->path(), "a.bmp", ".."));
    QCOMPARE(m_messages.count(), 3);
    QCOMPARE(contentOf(m_dir->filePath("a.bmp")), QByteArray("A"));

    // A missing file is reported.
    QVERIFY(!ThumbFileOps::RenameFile(nullptr, m_dir->path(), "gone.bmp", "c.bmp"));
    QCOMPARE(m_messages.count(), 4);
}

void tst_fileops::deleteDeclinedLeavesFiles()
{
    const QString a = file("a.bmp");
    const QString b = file("b.bmp");
    m_messages.enqueue(MsgResult::Cancel);
    QVERIFY(!ThumbFileOps::DeleteToRecycleBin(nullptr, {a, b}));
    QCOMPARE(m_messages.count(), 1);
    QCOMPARE(m_messages.last().text,
             QStringLiteral("Are you sure you want to move these 2 items to the trash?"));
    QCOMPARE(m_messages.last().title, QStringLiteral("Confirmation"));
    QCOMPARE(m_messages.last().buttons, MsgButtons::OkCancel);
    QCOMPARE(m_messages.last().icon, MsgIcon::Question);
    QVERIFY(QFile::exists(a));
    QVERIFY(QFile::exists(b));
}

void tst_fileops::deleteMovesToTrash()
{
    const QString a = file("a.bmp", "AAA");
    m_messages.enqueue(MsgResult::Ok);
    QVERIFY(ThumbFileOps::DeleteToRecycleBin(nullptr, {a}));
    QCOMPARE(m_messages.last().text,
             QStringLiteral("Are you sure you want to move 'a.bmp' to the trash?"));
    QVERIFY(!QFile::exists(a));
    // Undoable: the file is in the trash with its content.
    const QStringList trashed = QDir(trashFiles()).entryList(QDir::Files);
    QVERIFY(trashed.contains("a.bmp"));
    QCOMPARE(contentOf(QDir(trashFiles()).filePath("a.bmp")), QByteArray("AAA"));
    QVERIFY(!ThumbFileOps::DeleteToRecycleBin(nullptr, {}));
}

void tst_fileops::deleteFailureRestoresEverything()
{
    const QString a = file("first.bmp", "1");
    const QString b = file("second.bmp", "2");
    const QString c = file("third.bmp", "3");
    // The second file disappears while the question is open: nothing may stay deleted.
    m_messages.setResponder([&](const MessageRequest &request) {
        if (request.title == QLatin1String("Confirmation"))
            QFile::remove(b);
        return MsgResult::Ok;
    });
    QVERIFY(!ThumbFileOps::DeleteToRecycleBin(nullptr, {a, b, c}));
    QCOMPARE(contentOf(a), QByteArray("1"));
    QCOMPARE(contentOf(c), QByteArray("3"));
    QCOMPARE(m_messages.last().title, QStringLiteral("Error Deleting File"));
    QVERIFY(!QDir(trashFiles()).entryList(QDir::Files).contains("first.bmp"));
    QVERIFY(!QDir(m_home.filePath(".local/share/Trash/info"))
                 .entryList(QDir::Files)
                 .contains("first.bmp.trashinfo"));

    // A file missing before the question is refused without asking.
    m_messages.clear();
    m_messages.setResponder({});
    QVERIFY(!ThumbFileOps::DeleteToRecycleBin(nullptr, {a, m_dir->filePath("none.bmp")}));
    QCOMPARE(m_messages.count(), 1);
    QCOMPARE(m_messages.last().title, QStringLiteral("Error Deleting File"));
    QVERIFY(QFile::exists(a));
}

void tst_fileops::copyAndMoveIn()
{
    QTemporaryDir source(m_home.filePath("src-XXXXXX"));
    const QString x = source.filePath("x.bmp");
    const QString y = source.filePath("y.bmp");
    QFile::copy(file("seed.bmp", "X"), x);
    QFile::copy(file("seed2.bmp", "Y"), y);

    QVERIFY(ThumbFileOps::TransferFiles(nullptr, {x}, m_dir->path(), ThumbFileOps::Transfer::Copy));
    QCOMPARE(contentOf(m_dir->filePath("x.bmp")), QByteArray("X"));
    QVERIFY(QFile::exists(x));

    QVERIFY(ThumbFileOps::TransferFiles(nullptr, {y}, m_dir->path(), ThumbFileOps::Transfer::Move));
    QCOMPARE(contentOf(m_dir->filePath("y.bmp")), QByteArray("Y"));
    QVERIFY(!QFile::exists(y));

    // A file dropped onto its own folder is left alone, without a question.
    QVERIFY(ThumbFileOps::TransferFiles(nullptr, {m_dir->filePath("x.bmp")}, m_dir->path(),
                                        ThumbFileOps::Transfer::Move));
    QCOMPARE(m_messages.count(), 0);
    QVERIFY(QFile::exists(m_dir->filePath("x.bmp")));

    // No folder to go to.
    QVERIFY(!ThumbFileOps::TransferFiles(nullptr, {x}, m_dir->filePath("nowhere"),
                                         ThumbFileOps::Transfer::Copy));
}

void tst_fileops::replaceAskedAndCancelUndoes()
{
    QTemporaryDir source(m_home.filePath("src-XXXXXX"));
    const QString a = source.filePath("a.bmp");
    const QString b = source.filePath("b.bmp");
    QFile::copy(file("s1", "newA"), a);
    QFile::copy(file("s2", "newB"), b);
    file("a.bmp", "oldA");
    file("b.bmp", "oldB");

    // No keeps the old a.bmp, Yes replaces b.bmp.
    m_messages.enqueue(MsgResult::No);
    m_messages.enqueue(MsgResult::Yes);
    QVERIFY(
        ThumbFileOps::TransferFiles(nullptr, {a, b}, m_dir->path(), ThumbFileOps::Transfer::Copy));
    QCOMPARE(m_messages.count(), 2);
    QCOMPARE(m_messages.last().title, QStringLiteral("Confirm File Replace"));
    QCOMPARE(contentOf(m_dir->filePath("a.bmp")), QByteArray("oldA"));
    QCOMPARE(contentOf(m_dir->filePath("b.bmp")), QByteArray("newB"));
    // No leftovers of the replaced file.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 4);

    // Replace the first, cancel at the second: the first is put back too; moved files return.
    file("b.bmp", "oldB");
    m_messages.clear();
    m_messages.enqueue(MsgResult::Yes);
    m_messages.enqueue(MsgResult::Cancel);
    QVERIFY(
        !ThumbFileOps::TransferFiles(nullptr, {a, b}, m_dir->path(), ThumbFileOps::Transfer::Move));
    QCOMPARE(contentOf(m_dir->filePath("a.bmp")), QByteArray("oldA"));
    QCOMPARE(contentOf(m_dir->filePath("b.bmp")), QByteArray("oldB"));
    QCOMPARE(contentOf(a), QByteArray("newA"));
    QCOMPARE(contentOf(b), QByteArray("newB"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

void tst_fileops::failedTransferUndoes()
{
    QTemporaryDir source(m_home.filePath("src-XXXXXX"));
    const QString a = source.filePath("a.bmp");
    const QString b = source.filePath("b.bmp");
    QFile::copy(file("s1", "newA"), a);
    QFile::copy(file("s2", "newB"), b);
    file("b.bmp", "oldB");
    // The source of the second file vanishes while its replace question is open.
    m_messages.setResponder([&](const MessageRequest &request) {
        if (request.title == QLatin1String("Confirm File Replace"))
            QFile::remove(b);
        return MsgResult::Yes;
    });
    QVERIFY(
        !ThumbFileOps::TransferFiles(nullptr, {a, b}, m_dir->path(), ThumbFileOps::Transfer::Move));
    QCOMPARE(m_messages.last().title, QStringLiteral("Error Moving File"));
    QCOMPARE(contentOf(a), QByteArray("newA")); // moved back
    QVERIFY(!QFile::exists(m_dir->filePath("a.bmp")));
    QCOMPARE(contentOf(m_dir->filePath("b.bmp")), QByteArray("oldB")); // replaced file back
}

QTEST_GUILESS_MAIN(tst_fileops)
#include "tst_fileops.moc"
