// File > Connect to Shared Database... and File > Use Local Database in the main window, on a
// real server the test starts: the dialog's fields and its test of the connection, the question
// before the program's tables are made, the status bar's label, the settings that remember the
// address without the password, and the way back to the local database when the server cannot
// be used. The desktop keyring is out of reach here (the session bus points at a socket that is
// not there): the program says so once and goes on without it.
#include "../startup/support_StartupRun.h"
#include "ModalSeam.h"
#include "PasswordKeyring.h"
#include "PgServer.h"
#include "ScriptedMessageService.h"
#include "SharedDatabaseCommands.h"
#include "SharedPhotos.h"
#include "Thumbnailer.h"
#include "cPerson.h"
#include "dlgConnect.h"
#include "dlgCopyTree.h"
#include "support_TreeFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

class TestSharedDatabase : public QObject
{
    Q_OBJECT

    std::unique_ptr<PgServer> m_server;
    QTemporaryDir m_noBus;
    int m_made = 0;

    // A new database of the server, its address.
    ServerAddress newDatabase()
    {
        const QString name = QStringLiteral("win%1").arg(++m_made);
        const QString made = m_server->createDatabase(name);
        if (!made.isEmpty())
            qWarning("%s", qPrintable(made));
        return *ParseServerAddress(m_server->keywords(name));
    }

    // The dialog filled from an address, with a password, then Connect pressed.
    static ModalSeam::Driver connectWith(const ServerAddress &address, const QString &password,
                                         bool testFirst = false)
    {
        return [address, password, testFirst](QDialog &shown) {
            auto &dialog = dynamic_cast<dlgConnect &>(shown);
            dialog.txtHost()->setText(address.host);
            dialog.txtPort()->setText(address.port);
            dialog.txtDatabase()->setText(address.database);
            dialog.txtUser()->setText(address.user);
            dialog.cboTls()->setCurrentText(QStringLiteral("disable"));
            dialog.txtPassword()->setText(password);
            if (testFirst)
                dialog.cmdTest()->click();
            dialog.cmdConnect()->click();
            return int(dialog.result());
        };
    }

private slots:
    void initTestCase()
    {
        // No keyring of the machine is ever reached: the session bus is a socket that is not
        // there (set before the first question opens the bus).
        qputenv("DBUS_SESSION_BUS_ADDRESS",
                QStringLiteral("unix:path=%1/no-bus").arg(m_noBus.path()).toUtf8());
        m_server = std::make_unique<PgServer>();
    }
    void cleanupTestCase() { m_server.reset(); }

    void connectAskUseAndGoBack()
    {
        VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        auto *label = f.main->Sbar().findChild<QLabel *>(QStringLiteral("lblDatabase"));
        QVERIFY(label);
        QVERIFY(f.main->Menus().Exists(QStringLiteral("mnuFileConnect")));
        QCOMPARE(f.main->Menus().Caption(QStringLiteral("mnuFileConnect")),
                 QStringLiteral("Connect to Shared Database..."));
        QVERIFY(f.addTree(QStringLiteral("Local only"), {Person("L1", "ROOT", "Lo", "Cal")}));
        QVERIFY(f.main->LoadTree(QStringLiteral("Local only")));

        // A new database: the test of the connection says it works and the tables are missing;
        // connecting asks, and "Yes" makes them.
        const ServerAddress address = newDatabase();
        {
            ScopedModalDriver driver(connectWith(address, QStringLiteral("pw-123"), true));
            msgs.enqueue(MsgResult::Ok);  // the test's result
            msgs.enqueue(MsgResult::Yes); // make the tables
            f.menu("mnuFileConnect");
        }
        QCOMPARE(msgs.count(), 2);
        QVERIFY2(msgs.calls()[0].text.contains(QLatin1String("works")),
                 qPrintable(msgs.calls()[0].text));
        QVERIFY(msgs.calls()[1].text.contains(QLatin1String("Make them now?")));
        QVERIFY(f.store.IsShared());
        QVERIFY(f.store.IsOpen());
        QCOMPARE(f.main->Trees().Names(), QStringList{"Example"});
        QVERIFY(f.tree.CurrentTree().isEmpty()); // the local tree closed
        QVERIFY(label->text().startsWith(QLatin1String("Shared: postgresql://")));
        QVERIFY(label->text().contains(address.database));
        // Remembered without the password.
        QVERIFY(f.state.SharedDatabase.contains(address.database));
        QVERIFY(!f.state.SharedDatabase.contains(QLatin1String("pw-123")));
        QVERIFY(!label->toolTip().contains(QLatin1String("pw-123")));

        // A tree made on the server is there for a second program.
        QVERIFY(f.store.CreateTree(QStringLiteral("Shared tree")));
        mDatabase other;
        other.SetServer(address);
        QVERIFY(other.OpenDatabase());
        QVERIFY(other.ListTrees().contains(QStringLiteral("Shared tree")));

        // Back to the local database.
        msgs.clear();
        f.menu("mnuFileLocal");
        QCOMPARE(msgs.count(), 0);
        QVERIFY(!f.store.IsShared());
        QCOMPARE(label->text(), QStringLiteral("Local database"));
        QVERIFY(f.main->Trees().Names().contains(QStringLiteral("Local only")));
        QVERIFY(f.state.SharedDatabase.isEmpty());
    }

    // "No" to the question leaves the server database as it was and the local one open; an
    // unknown database is one message, and the local database is open again.
    void refusedOrUnreachable()
    {
        VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        const ServerAddress address = newDatabase();
        {
            ScopedModalDriver driver(connectWith(address, QString()));
            msgs.enqueue(MsgResult::No);
            f.menu("mnuFileConnect");
        }
        QCOMPARE(msgs.count(), 1);
        QVERIFY(!f.store.IsShared());
        QVERIFY(f.store.IsOpen());
        QVERIFY(f.main->Trees().Names().contains(QStringLiteral("Example")));
        QCOMPARE(m_server->exec(address.database,
                                {QStringLiteral("SELECT 1/(1 - count(*)) FROM pg_namespace "
                                                "WHERE nspname = 'velkintree'")}),
                 QString()); // no schema was made

        msgs.clear();
        ServerAddress nowhere = address;
        nowhere.database = QStringLiteral("no_such_db");
        {
            ScopedModalDriver driver(connectWith(nowhere, QString()));
            f.menu("mnuFileConnect");
        }
        QCOMPARE(msgs.count(), 1);
        QVERIFY(msgs.last().text.contains(QLatin1String("no_such_db")));
        QVERIFY(msgs.last().text.contains(QLatin1String("database of this computer is used")));
        QVERIFY(!f.store.IsShared());
        QVERIFY(f.store.IsOpen());
        QCOMPARE(f.main->Sbar().DatabaseText(), QStringLiteral("Local database"));
    }

    // The shared database used last opens at the next start; when it cannot be reached, the
    // start says so and goes on with the local database.
    void startsWithTheRememberedDatabase()
    {
        VT_REQUIRE_SERVER(*m_server);
        const ServerAddress address = newDatabase();
        {
            mDatabase maker;
            maker.SetServer(address);
            maker.SetCreateTables(true);
            QVERIFY(maker.OpenDatabase());
            QVERIFY(maker.CreateTree(QStringLiteral("Family")));
            QVERIFY(
                maker.InsertPerson(QStringLiteral("Family"), Person("F1", "ROOT", "Fa", "Mily")));
        }
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        {
            Run run;
            run.seed(0, 0, 6000, 4500, 0, QStringLiteral("Family"));
            run.registry().SetString(AppSettings::UserKey, QStringLiteral("SharedDatabase"),
                                     address.Keywords());
            run.start();
            run.steps(6);
            QVERIFY2(msgs.count() == 0, qPrintable(msgs.count() ? msgs.last().text : QString()));
            QVERIFY(run.main->Db().IsShared());
            QCOMPARE(run.main->Tree().CurrentTree(), QStringLiteral("Family"));
            QVERIFY(run.main->Sbar().DatabaseText().contains(address.database));
            run.main->close();
            QCOMPARE(
                run.registry().GetString(AppSettings::UserKey, QStringLiteral("SharedDatabase")),
                address.Keywords());
        }
        {
            ServerAddress gone = address;
            gone.database = QStringLiteral("gone_db");
            Run run;
            run.seed(0, 0, 6000, 4500, 0);
            run.registry().SetString(AppSettings::UserKey, QStringLiteral("SharedDatabase"),
                                     gone.Keywords());
            run.start();
            run.steps(6);
            QCOMPARE(msgs.count(), 1);
            QVERIFY(msgs.last().text.contains(QLatin1String("gone_db")));
            QVERIFY(!run.main->Db().IsShared());
            QVERIFY(run.main->Db().IsOpen());
            QCOMPARE(run.main->Sbar().DatabaseText(), QStringLiteral("Local database"));
            run.main->close();
            QCOMPARE(
                run.registry().GetString(AppSettings::UserKey, QStringLiteral("SharedDatabase")),
                QString());
        }
    }

    // A shared database whose password was kept in the keyring: start-up asks the keyring first
    // and waits for its answer (the steps do not go on meanwhile). With no keyring running it
    // falls back to the password file without a word; with none there, one message says the
    // server asks for a password and where it was looked for, and the local database is used.
    // The password is in no setting and no message.
    void startsWithTheKeyringsPassword()
    {
        VT_REQUIRE_SERVER(*m_server);
        const ServerAddress made = newDatabase();
        {
            mDatabase maker;
            maker.SetServer(made);
            maker.SetCreateTables(true);
            QVERIFY(maker.OpenDatabase());
        }
        QCOMPARE(m_server->exec(made.database,
                                {QStringLiteral("CREATE ROLE keeper LOGIN PASSWORD 'Kx9-kept'"),
                                 QStringLiteral("GRANT USAGE ON SCHEMA velkintree TO keeper"),
                                 QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON ALL "
                                                "TABLES IN SCHEMA velkintree TO keeper")}),
                 QString());
        QCOMPARE(m_server->requirePassword(QStringLiteral("keeper")), QString());
        ServerAddress address = made;
        address.user = QStringLiteral("keeper");
        QTemporaryDir files;
        const QString passwords = files.filePath(QStringLiteral("pgpass"));
        QVERIFY(PgServer::writePasswordFile(passwords, "keeper", "Kx9-kept"));

        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        const auto start = [&](Run &run) {
            run.seed(0, 0, 6000, 4500, 0);
            run.registry().SetString(AppSettings::UserKey, QStringLiteral("SharedDatabase"),
                                     address.Keywords());
            run.registry().SetString(AppSettings::UserKey, QStringLiteral("SharedKeyring"),
                                     address.Keywords());
            run.start();
            run.steps(4);
            // Asked, not answered yet: the connect step waits.
            QCOMPARE(run.splash->Step(), 3);
            QCOMPARE(run.splash->Keyring().Pending(), 1);
            QTRY_COMPARE(run.splash->Keyring().Pending(), 0);
            run.steps(3);
            QCOMPARE(run.splash->Step(), 6);
        };
        qputenv("PGPASSFILE", QFile::encodeName(passwords));
        {
            Run run;
            start(run);
            qunsetenv("PGPASSFILE");
            QVERIFY2(msgs.count() == 0, qPrintable(msgs.count() ? msgs.last().text : QString()));
            QVERIFY(run.main->Db().IsShared());
            QVERIFY(run.main->Db().IsOpen());
            run.main->close();
        }
        qputenv("PGPASSFILE", QFile::encodeName(files.filePath(QStringLiteral("none"))));
        {
            Run run;
            start(run);
            qunsetenv("PGPASSFILE");
            QCOMPARE(msgs.count(), 1);
            const QString text = msgs.last().text;
            QVERIFY2(text.contains(QLatin1String("asks for a password")), qPrintable(text));
            QVERIFY2(text.contains(QLatin1String("no desktop keyring is running")),
                     qPrintable(text));
            QVERIFY(!run.main->Db().IsShared());
            QVERIFY(run.main->Db().IsOpen());
            run.main->close();
            QFile settings(run.state.UserSettingsFile);
            QVERIFY(settings.open(QIODevice::ReadOnly));
            QVERIFY(!settings.readAll().contains("Kx9-kept"));
        }
        for (const auto &call : msgs.calls())
            QVERIFY(!call.text.contains(QLatin1String("Kx9-kept")));
    }

    // Without a keyring: "Remember" connects all the same, says once why the password is not
    // kept, and the password is nowhere in the settings; a second connect says nothing more.
    void keyringMissingSaidOnce()
    {
        VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        const ServerAddress address = newDatabase();
        const auto remembering = [&](const QString &password) {
            ModalSeam::Driver fill = connectWith(address, password);
            return [fill](QDialog &shown) {
                dynamic_cast<dlgConnect &>(shown).chkRemember()->setChecked(true);
                return fill(shown);
            };
        };
        QSignalSpy idle(&f.main->Shared().Keyring(), &PasswordKeyring::Idle);
        {
            ScopedModalDriver driver(remembering(QStringLiteral("s3cret-pw")));
            msgs.enqueue(MsgResult::Yes); // make the tables
            f.menu("mnuFileConnect");
        }
        QVERIFY(f.store.IsShared());
        QVERIFY(idle.count() > 0 || idle.wait(10000));
        QCOMPARE(msgs.count(), 2);
        QVERIFY2(msgs.last().text.contains(QLatin1String("No desktop keyring")),
                 qPrintable(msgs.last().text));
        QVERIFY(msgs.last().text.contains(QLatin1String("~/.pgpass")));
        QVERIFY(f.state.SharedKeyringAddress.isEmpty());

        idle.clear();
        {
            ScopedModalDriver driver(remembering(QStringLiteral("s3cret-pw")));
            f.menu("mnuFileConnect");
        }
        QVERIFY(idle.count() > 0 || idle.wait(10000));
        QCOMPARE(msgs.count(), 2); // told once
        QVERIFY(f.store.IsShared());

        // Nothing of the password in the settings the program writes.
        f.state.UserSettingsFile = f.dir.filePath(QStringLiteral("user.ini"));
        f.state.MachineSettingsFile = f.dir.filePath(QStringLiteral("machine.ini"));
        {
            modRegistry registry = AppSettings::Registry(f.state);
            AppSettings::Save(registry, f.state, f.tree.CurrentTree(), nullptr);
            QVERIFY(f.state.Settings.Sync());
        }
        QFile settings(f.state.UserSettingsFile);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QByteArray written = settings.readAll();
        QVERIFY(written.contains(address.database.toUtf8()));
        QVERIFY(!written.contains("s3cret-pw"));
        for (const MessageRequest &call : msgs.calls())
            QVERIFY(!call.text.contains(QLatin1String("s3cret-pw")));
    }

    // A password said to be in the keyring: the dialog waits for the keyring's answer (busy,
    // Connect does nothing), then takes the fields back; the missing keyring is said once, and
    // the password was not kept there, so the entry is forgotten for the next time.
    void dialogWaitsForTheKeyring()
    {
        VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        const ServerAddress address = newDatabase();
        {
            mDatabase maker;
            maker.SetServer(address);
            maker.SetCreateTables(true);
            QVERIFY(maker.OpenDatabase());
        }
        f.state.SharedKeyringAddress = address.Keywords();
        PasswordKeyring &keyring = f.main->Shared().Keyring();
        bool wasBusy = false;
        bool clickedWhileBusy = true;
        bool offered = false;
        {
            ScopedModalDriver driver([&](QDialog &shown) {
                auto &dialog = dynamic_cast<dlgConnect &>(shown);
                wasBusy = dialog.KeyringPending() && !dialog.cmdConnect()->isEnabled() &&
                          !dialog.txtPassword()->isEnabled();
                offered = dialog.txtDatabase()->text() == address.database;
                dialog.cmdConnect()->click();
                clickedWhileBusy = dialog.Connected();
                QSignalSpy idle(&keyring, &PasswordKeyring::Idle);
                if (keyring.Pending() > 0)
                    idle.wait(10000);
                if (!dialog.KeyringPending())
                    dialog.cmdConnect()->click();
                return int(dialog.result());
            });
            f.menu("mnuFileConnect");
        }
        QVERIFY(wasBusy);
        QVERIFY(offered); // the address kept with the keyring, offered again
        QVERIFY(!clickedWhileBusy);
        QVERIFY(f.store.IsShared());
        QCOMPARE(msgs.count(), 1);
        QVERIFY(msgs.last().text.contains(QLatin1String("No desktop keyring")));
        // Connected without "Remember": the keyring's entry is let go.
        QVERIFY(f.state.SharedKeyringAddress.isEmpty());
        QSignalSpy idle(&keyring, &PasswordKeyring::Idle);
        if (keyring.Pending() > 0)
            QVERIFY(idle.wait(10000));

        // Entries: the server's default port and host named or left out are one entry.
        ServerAddress named = address;
        named.host = QStringLiteral("localhost");
        named.port = QStringLiteral("5432");
        ServerAddress bare = named;
        bare.host.clear();
        bare.port.clear();
        QCOMPARE(PasswordKeyring::EntryOf(bare), PasswordKeyring::EntryOf(named));
        bare.user = QStringLiteral("other");
        QVERIFY(PasswordKeyring::EntryOf(bare) != PasswordKeyring::EntryOf(named));
    }

    // The photo folder: this computer's own path that cannot be reached is said once and leaves
    // the photos unavailable (no folder at all, never the data folder's); named in the database
    // for every member, it is read back there and used.
    void photoFolderOwnAndNamed()
    {
        VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        const ServerAddress address = newDatabase();
        const QString gone = f.dir.filePath(QStringLiteral("not-mounted"));
        const auto withPhotos = [&](const QString &folder, bool forAll) {
            ModalSeam::Driver fill = connectWith(address, QString());
            return [fill, folder, forAll](QDialog &shown) {
                auto &dialog = dynamic_cast<dlgConnect &>(shown);
                dialog.txtPhotoFolder()->setText(folder);
                dialog.chkPhotoForAll()->setChecked(forAll);
                return fill(shown);
            };
        };
        {
            ScopedModalDriver driver(withPhotos(gone, false));
            msgs.enqueue(MsgResult::Yes); // make the tables
            f.menu("mnuFileConnect");
        }
        QVERIFY(f.store.IsShared());
        QCOMPARE(msgs.count(), 2);
        QVERIFY2(msgs.last().text.contains(QLatin1String("not-mounted")) &&
                     msgs.last().text.contains(QLatin1String("unavailable")),
                 qPrintable(msgs.last().text));
        QCOMPARE(f.store.DataPath(), QString());
        QCOMPARE(f.state.SharedPhotoFolder, gone);
        QCOMPARE(f.state.SharedPhotoFolderFor, SharedPhotos::DatabaseEntry(address));

        // Named for everyone: the database keeps it, this computer's own path goes.
        QTemporaryDir share;
        msgs.clear();
        {
            ScopedModalDriver driver(withPhotos(share.path(), true));
            f.menu("mnuFileConnect");
        }
        QCOMPARE(msgs.count(), 0);
        QCOMPARE(f.store.DataPath(), share.path() + QLatin1Char('/'));
        QCOMPARE(*SharedPhotos::Named(f.store), share.path());
        QVERIFY(f.state.SharedPhotoFolder.isEmpty());

        // A relative path is refused by the dialog.
        {
            ScopedModalDriver driver(withPhotos(QStringLiteral("photos/here"), false));
            f.menu("mnuFileConnect");
        }
        QVERIFY(msgs.last().text.contains(QLatin1String("full path")));
        QCOMPARE(*SharedPhotos::Named(f.store), share.path());
    }

    // The information panel shows the photos of the shared database's photo folder, and none
    // while it cannot be reached: never those of this computer's data folder.
    void panelPhotosFollowThePhotoFolder()
    {
        VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        QTemporaryDir share;
        for (const QString &folder : {f.state.DataPath, share.path() + QLatin1Char('/')}) {
            QVERIFY(QDir().mkpath(folder + QStringLiteral("Photos/B1")));
            QVERIFY(image.save(folder + QStringLiteral("Photos/B1/one.png")));
        }
        const ServerAddress address = newDatabase();
        {
            mDatabase maker;
            maker.SetServer(address);
            maker.SetCreateTables(true);
            QVERIFY(maker.OpenDatabase());
            QVERIFY(SharedPhotos::Name(maker, share.filePath(QStringLiteral("unmounted"))));
        }
        InfoPanel &panel = f.main->pnlInfo();
        Thumbnailer *viewer = panel.thumbnailer();
        const auto shownFolder = [&] {
            panel.FillInfoPanel(cPerson(Person("B1", "ROOT", "Anna", "Berg")));
            if (!QTest::qWaitFor([viewer] { return !viewer->Rendering(); }, 30000))
                return QStringLiteral("still rendering");
            return viewer->Items() == 0 ? QString() : QDir(viewer->Path()).canonicalPath();
        };
        QCOMPARE(QDir(shownFolder()).canonicalPath(),
                 QDir(f.state.DataPath + QStringLiteral("Photos/B1")).canonicalPath());
        {
            ScopedModalDriver driver(connectWith(address, QString()));
            f.menu("mnuFileConnect");
        }
        QCOMPARE(msgs.count(), 1); // unreachable, said once
        QCOMPARE(shownFolder(), QString());
        QVERIFY(QFile::exists(f.state.DataPath + QStringLiteral("Photos/B1/one.png")));

        // This computer's own path to it: its photos are shown.
        {
            ModalSeam::Driver fill = connectWith(address, QString());
            ScopedModalDriver driver([&](QDialog &shown) {
                dynamic_cast<dlgConnect &>(shown).txtPhotoFolder()->setText(share.path());
                return fill(shown);
            });
            f.menu("mnuFileConnect");
        }
        QCOMPARE(msgs.count(), 1);
        QCOMPARE(shownFolder(), QDir(share.filePath(QStringLiteral("Photos/B1"))).canonicalPath());
    }

    // File > Copy Tree To...: the open local tree to a shared database (its tables made after a
    // question); a second copy is refused, the name being taken there.
    void copyTreeFromTheWindow()
    {
        VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        QVERIFY(!f.main->Menus().Item(QStringLiteral("mnuFileCopyTree"))->isEnabled());
        QVERIFY(f.addTree(QStringLiteral("Berg"), {Person("B1", "ROOT", "Anna", "Berg"),
                                                   Person("B2", "B1", "Cara", "Berg")}));
        QVERIFY(f.main->LoadTree(QStringLiteral("Berg")));
        QVERIFY(f.main->Menus().Item(QStringLiteral("mnuFileCopyTree"))->isEnabled());
        const ServerAddress address = newDatabase();
        const auto toServer = [&address](QDialog &shown) {
            auto &dialog = dynamic_cast<dlgCopyTree &>(shown);
            dialog.optShared()->setChecked(true);
            dialog.txtAddress()->setText(address.Keywords());
            dialog.cmdCopy()->click();
            return int(dialog.result());
        };
        {
            ScopedModalDriver driver(toServer);
            msgs.enqueue(MsgResult::Yes); // make the tables
            f.menu("mnuFileCopyTree");
        }
        QCOMPARE(msgs.count(), 2);
        QVERIFY2(msgs.last().text.contains(QLatin1String("copied 2 persons into 'Berg'")),
                 qPrintable(msgs.last().text));
        mDatabase other;
        other.SetServer(address);
        QVERIFY(other.OpenDatabase());
        const Result<QList<PersonRecord>> rows = other.ReadTree(QStringLiteral("Berg"));
        QVERIFY(rows);
        QCOMPARE(rows->size(), 2);
        QVERIFY(!f.store.IsShared()); // the window stays on its database

        msgs.clear();
        {
            ScopedModalDriver driver(toServer);
            f.menu("mnuFileCopyTree");
        }
        QCOMPARE(msgs.count(), 1);
        QVERIFY2(msgs.last().text.contains(QLatin1String("already holds a tree")),
                 qPrintable(msgs.last().text));
        QVERIFY(msgs.last().text.contains(QLatin1String("Nothing was changed")));
    }

    // The dialog refuses fields it cannot use and shows the remembered address.
    void dialogFields()
    {
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        int tried = 0;
        dlgConnect dialog([&tried](const ServerAddress &, const QString &) {
            ++tried;
            return Result<void>();
        });
        dialog.SetAddress(*ParseServerAddress(
            QStringLiteral("postgresql://anna@family.example:5433/trees?sslmode=verify-full")));
        QCOMPARE(dialog.txtHost()->text(), QStringLiteral("family.example"));
        QCOMPARE(dialog.txtPort()->text(), QStringLiteral("5433"));
        QCOMPARE(dialog.cboTls()->currentText(), QStringLiteral("verify-full"));
        QCOMPARE(dialog.txtPassword()->echoMode(), QLineEdit::Password);
        dialog.txtPort()->setText(QStringLiteral("54x"));
        dialog.cmdConnect()->click();
        QVERIFY(!dialog.Connected());
        QVERIFY(msgs.last().text.contains(QLatin1String("port")));
        dialog.txtPort()->setText(QString());
        dialog.txtDatabase()->setText(QString());
        dialog.cmdTest()->click();
        QCOMPARE(tried, 0);
        QVERIFY(msgs.last().text.contains(QLatin1String("database")));
        dialog.txtDatabase()->setText(QStringLiteral("it's \"ours\""));
        dialog.cmdTest()->click();
        QCOMPARE(tried, 1);
        dialog.cmdConnect()->click();
        QVERIFY(dialog.Connected());
        QCOMPARE(dialog.ConnectAddress().database, QStringLiteral("it's \"ours\""));
        QCOMPARE(dialog.ConnectAddress().port, QString());
    }
};

QTEST_MAIN(TestSharedDatabase)
#include "tst_shareddatabase.moc"
