// What the windows make of the store's results: the messages of the new-tree and Compress
// commands, and the tree box filled from the list of trees.
#include "ScriptedMessageService.h"
#include "StoreReports.h"
#include "TreeTables.h"
#include "mDatabase.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestStoreReports : public QObject
{
    Q_OBJECT

private slots:
    void createTreeMessages()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        ShowCreateTreeResult(QStringLiteral("Smith"), Result<void>());
        QCOMPARE(messages.last().text,
                 QStringLiteral("Velkin tree 'Smith' has been successfully created"));
        QCOMPARE(messages.last().title, QStringLiteral("Successful"));
        QCOMPARE(messages.last().icon, MsgIcon::None);
        QCOMPARE(messages.last().buttons, MsgButtons::OkOnly);

        ShowCreateTreeResult(QStringLiteral("Smith"), Error(ErrorCode::Taken, QStringLiteral("x")));
        QCOMPARE(messages.last().text,
                 QStringLiteral("The tree 'Smith' already exists. Please select a unique name."));
        QCOMPARE(messages.last().title, QStringLiteral("Error: Record exists."));
        QCOMPARE(messages.last().icon, MsgIcon::Critical);

        ShowCreateTreeResult(
            QStringLiteral("mainx"),
            Error(ErrorCode::InvalidInput, TreeNameProblem(QStringLiteral("mainx"))));
        QCOMPARE(messages.last().text, TreeNameProblem(QStringLiteral("mainx")));
        QCOMPARE(messages.last().title, QStringLiteral("Error: -2147217900"));

        ShowCreateTreeResult(QStringLiteral("Smith"),
                             Error(ErrorCode::Failed, QStringLiteral("disk")));
        QCOMPARE(messages.last().text, QStringLiteral("disk"));
        QCOMPARE(messages.last().title, QStringLiteral("Error: -2147467259"));
        QCOMPARE(messages.last().icon, MsgIcon::Critical);

        // Only a taken name is reported as taken: a read-only database says so.
        ShowCreateTreeResult(QStringLiteral("Smith"),
                             Error(ErrorCode::ReadOnly, QStringLiteral("read-only")));
        QCOMPARE(messages.last().text, QStringLiteral("read-only"));
        QCOMPARE(messages.last().title, QStringLiteral("Error: -2147287035"));
        QCOMPARE(messages.count(), 5);
    }

    void compressMessages()
    {
        QTemporaryDir dir;
        const QString data = dir.path() + QLatin1Char('/');
        mDatabase db;
        db.SetPaths(data, data + QStringLiteral("people.db"));
        QVERIFY(db.OpenDatabase());
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        CompressDatabase(db);
        CompressDatabase(db);
        QCOMPARE(messages.count(), 2);
        QCOMPARE(messages.last().text, QStringLiteral("Database successfully compressed"));
        QCOMPARE(messages.last().title, QStringLiteral("Successful"));
        QCOMPARE(messages.last().icon, MsgIcon::Information);

        // A database that may not be written is not compressed: the store's reason is shown.
        db.SetWriteCheck([](const QString &) { return false; });
        QVERIFY(db.OpenDatabase());
        messages.clear();
        CompressDatabase(db);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().icon, MsgIcon::Critical);
        QVERIFY(messages.last().text.contains(QLatin1String("open read-only")));
        QVERIFY(messages.last().title.startsWith(QLatin1String("Error: ")));
        QVERIFY(db.IsOpen());
    }
};

QTEST_MAIN(TestStoreReports)
#include "tst_storereports.moc"
