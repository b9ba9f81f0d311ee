// The history kept in the database: entries written in their own transaction, read back newest
// first per record, rows carried as JSON whatever they hold, and nothing written to a database
// open for reading only.
#include "ChangeLog.h"
#include "mDatabase.h"

#include <QTemporaryDir>
#include <QTest>

class TestChangeLog : public QObject
{
    Q_OBJECT

private slots:
    void rowsSurviveTheirJson()
    {
        PersonRecord row;
        row.ID = QStringLiteral("I1");
        row.Fname = QStringLiteral("Zoë \"Jo\"");
        row.Notes = QStringLiteral("line one\nline two\t\\ end");
        const QString json =
            ChangeLog::rowsJson({{QStringLiteral("I1"), &row}, {QStringLiteral("I2"), nullptr}});
        QCOMPARE(ChangeLog::rowIn(json, QStringLiteral("I1")), std::optional<PersonRecord>(row));
        // A person that was not there, and one the entry does not name.
        QVERIFY(ChangeLog::rowIn(json, QStringLiteral("I2")).has_value());
        QVERIFY(ChangeLog::rowIn(json, QStringLiteral("I2"))->ID.isEmpty());
        QVERIFY(!ChangeLog::rowIn(json, QStringLiteral("I3")).has_value());
        QVERIFY(!ChangeLog::rowIn(QStringLiteral("not json"), QStringLiteral("I1")).has_value());
    }

    void entriesNewestFirstPerRecord()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("people.db"));
        QVERIFY(mDatabase::CreateDatabaseFile(path));
        mDatabase store;
        store.SetPaths(dir.path() + QLatin1Char('/'), path);
        QVERIFY(store.OpenDatabase());
        QCOMPARE(
            ChangeLog::of(store, QStringLiteral("T"), QStringLiteral("person I1")).value().size(),
            size_t(0));
        for (const char *command : {"Add Person", "Edit Person", "Edit Person again"}) {
            ChangeLog::Entry entry;
            entry.tree = QStringLiteral("T");
            entry.record = ChangeLog::personRecord(QStringLiteral("I1"));
            entry.command = QString::fromLatin1(command);
            entry.after = QStringLiteral("{}");
            QVERIFY(ChangeLog::add(store, entry));
        }
        ChangeLog::Entry other;
        other.tree = QStringLiteral("T'; DROP TABLE mainHistory; --");
        other.record = ChangeLog::personRecord(QStringLiteral("I1"));
        other.command = QStringLiteral("Elsewhere");
        QCOMPARE(ChangeLog::add(store, other).value(), 4);
        const std::vector<ChangeLog::Entry> entries =
            ChangeLog::of(store, QStringLiteral("T"), QStringLiteral("person I1")).value();
        QCOMPARE(entries.size(), size_t(3));
        QCOMPARE(entries[0].command, QStringLiteral("Edit Person again"));
        QCOMPARE(entries[2].command, QStringLiteral("Add Person"));
        QVERIFY(entries[0].id > entries[1].id);
        QVERIFY(entries[0].at.isValid());
        QVERIFY(qAbs(entries[0].at.secsTo(QDateTime::currentDateTimeUtc())) < 3600);
        QVERIFY(!entries[0].user.isEmpty());
        // The history is no tree.
        QVERIFY(!store.ListTrees().contains(QStringLiteral("mainHistory"), Qt::CaseInsensitive));
        QCOMPARE(ChangeLog::of(store, other.tree, other.record).value().size(), size_t(1));

        mDatabase reader;
        reader.SetPaths(dir.path() + QLatin1Char('/'), path);
        reader.SetWriteCheck([](const QString &) { return false; });
        QVERIFY(reader.OpenDatabase());
        QCOMPARE(ChangeLog::add(reader, other).error().code(), ErrorCode::ReadOnly);
        QCOMPARE(ChangeLog::of(reader, other.tree, other.record).value().size(), size_t(1));
    }
};

QTEST_GUILESS_MAIN(TestChangeLog)
#include "tst_changelog.moc"
