// The password of a shared database asked of the desktop keyring by start-up and the command
// line: an answer is waited for at most the time given (a keyring that never answers counts as
// none, its late answer dropped), the keyring of the test machine (none, or one without the
// entry) never holds up a command, and the message of a server asking for a password says where
// one was looked for without ever holding one.
#include "PasswordKeyring.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using State = PasswordKeyring::State;
using Answer = PasswordKeyring::Answer;

class TestPasswordKeyring : public QObject
{
    Q_OBJECT

private slots:
    // The first of the answer and the time limit counts, once.
    void answeredWithinTheLimit()
    {
        // A keyring that never answers: TimedOut once the limit is over.
        const Answer silent = PasswordKeyring::Await(30, [](PasswordKeyring::AnswerTo) {});
        QCOMPARE(silent.state, State::TimedOut);
        QVERIFY(silent.password.isEmpty());

        // One that answers later, from the event loop, within the limit.
        const Answer later = PasswordKeyring::Await(60000, [](PasswordKeyring::AnswerTo answer) {
            QTimer::singleShot(0, [answer] { answer(Answer{State::Found, "pw"}); });
        });
        QCOMPARE(later.state, State::Found);
        QCOMPARE(later.password, QStringLiteral("pw"));

        // At once, before any waiting.
        const Answer atOnce = PasswordKeyring::Await(60000, [](PasswordKeyring::AnswerTo answer) {
            answer(Answer{State::NotFound, {}});
        });
        QCOMPARE(atOnce.state, State::NotFound);

        // An answer after the limit is dropped; one whose context is gone reaches nobody.
        PasswordKeyring::AnswerTo kept;
        QList<Answer> got;
        {
            QObject context;
            PasswordKeyring::AnswerWithin(
                &context, 0, [&kept](PasswordKeyring::AnswerTo answer) { kept = answer; },
                [&got](const Answer &answer) { got << answer; });
            QTRY_COMPARE(got.size(), 1);
            QCOMPARE(got.first().state, State::TimedOut);
            kept(Answer{State::Found, "late"});
            QCOMPARE(got.size(), 1);
            PasswordKeyring::AnswerWithin(
                &context, 60000, [&kept](PasswordKeyring::AnswerTo answer) { kept = answer; },
                [&got](const Answer &answer) { got << answer; });
        }
        kept(Answer{State::Found, "gone"});
        QCOMPARE(got.size(), 1);
    }

    // The keyring of the test (CTest gives no session bus: none runs; by hand, the desktop's,
    // without the entry). Either way the answer comes within the limit and holds no password.
    void theMachinesKeyringHoldsUpNothing()
    {
        ServerAddress address;
        address.host = QStringLiteral("/nowhere");
        address.database =
            QStringLiteral("no_such_database_%1").arg(QCoreApplication::applicationPid());
        address.user = QStringLiteral("nobody_here");
        QElapsedTimer clock;
        clock.start();
        const Answer answer = PasswordKeyring::ReadWaiting(address, 15000);
        qInfo("the keyring answered %d after %lld ms", int(answer.state), clock.elapsed());
        QVERIFY(answer.state == State::NotFound || answer.state == State::Unavailable);
        QVERIFY(answer.password.isEmpty());
    }

    // A server asking for a password gets a message saying where it was looked for; every
    // other failure keeps its own text.
    void theMessageOfAMissingPassword()
    {
        const QString where = QStringLiteral("postgresql://anna@[/run/pg]/family");
        const Error asks(ErrorCode::Unreachable,
                         QStringLiteral("The shared database %1 could not be opened: "
                                        "fe_sendauth: no password supplied")
                             .arg(where),
                         where);
        QVERIFY(PasswordKeyring::AsksForPassword(asks));
        const struct
        {
            State state;
            const char *said;
        } cases[] = {{State::NotFound, "the desktop keyring holds none for it"},
                     {State::Unavailable, "no desktop keyring is running"},
                     {State::TimedOut, "did not answer in time"}};
        for (const auto &c : cases) {
            const QString text = PasswordKeyring::OpenFailureText(asks, c.state);
            QVERIFY2(text.contains(QLatin1String(c.said)), qPrintable(text));
            QVERIFY(text.contains(where));
            QVERIFY(text.contains(QLatin1String("~/.pgpass")));
        }
        // A password from the keyring the server did not take, or another failure: as it was.
        QCOMPARE(PasswordKeyring::OpenFailureText(asks, State::Found), asks.text());
        const Error wrong(ErrorCode::Unreachable,
                          QStringLiteral("password authentication failed for user \"anna\""),
                          where);
        QVERIFY(!PasswordKeyring::AsksForPassword(wrong));
        QCOMPARE(PasswordKeyring::OpenFailureText(wrong, State::NotFound), wrong.text());
    }
};

QTEST_GUILESS_MAIN(TestPasswordKeyring)
#include "tst_passwordkeyring.moc"
