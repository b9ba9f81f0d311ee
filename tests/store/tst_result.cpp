// The one error type: the number each code shows in the usual error report (the numbers the
// program has always shown), which failures count as the file's, and Result with a value, with
// an Error, without a value (void) and with a value that can only be moved.
#include "PersonRecord.h"
#include "Result.h"

#include <QTest>

#include <memory>

class TestResult : public QObject
{
    Q_OBJECT

private slots:
    void numbersFollowTheCode_data()
    {
        QTest::addColumn<ErrorCode>("code");
        QTest::addColumn<qlonglong>("number");
        QTest::newRow("none") << ErrorCode::None << 0LL;
        QTest::newRow("taken") << ErrorCode::Taken << qlonglong(0x80040E14) - 0x100000000LL;
        QTest::newRow("invalid") << ErrorCode::InvalidInput << kErrStatementFailed;
        QTest::newRow("missing") << ErrorCode::Missing << qlonglong(0x80040E23) - 0x100000000LL;
        QTest::newRow("read-only") << ErrorCode::ReadOnly << kErrFileAccess;
        QTest::newRow("no permission") << ErrorCode::NoPermission << kErrFileAccess;
        QTest::newRow("busy") << ErrorCode::Busy << -2147287007LL;
        QTest::newRow("full") << ErrorCode::Full << -2147286928LL;
        QTest::newRow("damaged") << ErrorCode::Damaged << -2147286775LL;
        QTest::newRow("tree missing") << ErrorCode::TreeMissing << -2147217865LL;
        QTest::newRow("changed") << ErrorCode::ChangedElsewhere << kErrRowChanged;
        QTest::newRow("failed") << ErrorCode::Failed << -2147467259LL;
        QTest::newRow("cancelled") << ErrorCode::Cancelled << kErrCancelled;
        QTest::newRow("unreachable") << ErrorCode::Unreachable << kErrUnreachable;
    }
    void numbersFollowTheCode()
    {
        QFETCH(ErrorCode, code);
        QFETCH(qlonglong, number);
        const Error error(code, QStringLiteral("text"), QStringLiteral("/data/people.db"));
        QCOMPARE(error.number(), number);
        QCOMPARE(error.isError(), code != ErrorCode::None);
        QVERIFY(error.is(code));
        // Only a taken key is reported as one: a read-only or busy database has a number of its
        // own, never the general one.
        if (code == ErrorCode::ReadOnly || code == ErrorCode::Busy || code == ErrorCode::Taken)
            QVERIFY(error.number() != kErrGeneralFailure);
    }

    void fileFailures()
    {
        for (ErrorCode code : {ErrorCode::Busy, ErrorCode::Full, ErrorCode::Damaged,
                               ErrorCode::ReadOnly, ErrorCode::NoPermission})
            QVERIFY(Error(code, QStringLiteral("x")).isFileFailure());
        for (ErrorCode code : {ErrorCode::None, ErrorCode::Taken, ErrorCode::Missing,
                               ErrorCode::InvalidInput, ErrorCode::TreeMissing, ErrorCode::Failed,
                               ErrorCode::ChangedElsewhere, ErrorCode::Cancelled})
            QVERIFY(!Error(code, QStringLiteral("x")).isFileFailure());
    }

    void theSameFailureRetold()
    {
        const Error error(ErrorCode::Busy, QStringLiteral("held"), QStringLiteral("/a"));
        const Error retold = error.withText(QStringLiteral("could not be read: held"));
        QCOMPARE(retold.code(), ErrorCode::Busy);
        QCOMPARE(retold.text(), QStringLiteral("could not be read: held"));
        QCOMPARE(retold.where(), QStringLiteral("/a"));
        QCOMPARE(error.at(QStringLiteral("/b")).where(), QStringLiteral("/b"));
        QCOMPARE(error.at(QStringLiteral("/b")).text(), QStringLiteral("held"));
    }

    // The two rules for the root key: exactly as written, or upper-cased.
    void rootKeyRules()
    {
        QCOMPARE(kRootKey, QStringLiteral("ROOT"));
        QVERIFY(IsRootKey(QStringLiteral("ROOT")));
        for (const char *other : {"root", "Root", "ROOT ", "", "ROOTS"})
            QVERIFY2(!IsRootKey(QString::fromLatin1(other)), other);
        for (const char *root : {"ROOT", "root", "Root", "rOoT"})
            QVERIFY2(IsRootKeyUpperCased(QString::fromLatin1(root)), root);
        for (const char *other : {"ROOT ", "", "ROOTS", "R00T"})
            QVERIFY2(!IsRootKeyUpperCased(QString::fromLatin1(other)), other);
    }

    void valueOrError()
    {
        const Result<QStringList> names = QStringList{QStringLiteral("Example")};
        QVERIFY(names);
        QVERIFY(names.ok());
        QCOMPARE(names->size(), 1);
        QCOMPARE(*names, QStringList{QStringLiteral("Example")});
        QVERIFY(!names.error());

        const Result<QStringList> failed = Error(ErrorCode::Busy, QStringLiteral("held"));
        QVERIFY(!failed);
        QCOMPARE(failed.error().code(), ErrorCode::Busy);
        QCOMPARE(failed.valueOr({QStringLiteral("none")}), QStringList{QStringLiteral("none")});

        // A failure without a cause is still a failure.
        const Result<int> unknown = Error();
        QVERIFY(!unknown);
        QCOMPARE(unknown.error().code(), ErrorCode::Failed);
        QVERIFY(!unknown.error().text().isEmpty());
    }

    void voidResults()
    {
        const Result<void> done;
        QVERIFY(done);
        QVERIFY(!done.error());
        // From an Error: a failure when it is one, success when it is none.
        QVERIFY(!Result<void>(Error(ErrorCode::Taken, QStringLiteral("taken"))));
        QVERIFY(Result<void>(Error()));
    }

    void movedValues()
    {
        Result<std::unique_ptr<int>> made = std::make_unique<int>(7);
        QVERIFY(made);
        std::unique_ptr<int> taken = std::move(*made);
        QCOMPARE(*taken, 7);

        // The value of a temporary outlives it.
        const auto make = [] { return Result<QStringList>(QStringList{"a", "b"}); };
        QStringList seen;
        for (const QString &text : make().value())
            seen << text;
        QCOMPARE(seen, (QStringList{"a", "b"}));
    }
};

QTEST_GUILESS_MAIN(TestResult)
#include "tst_result.moc"
