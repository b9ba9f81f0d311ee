// The main window on a shared database of a real server the test starts: the trees a role may
// only read are marked in the tree box, open read-only (a message, the status bar's mark, every
// change refused), and the trees it may edit open as usual; the server stopped while the window
// is open makes the database read-only with the status bar saying so, and once the server is
// back the window connects again by itself with the open tree still open.
#include "../startup/support_StartupRun.h"
#include "InfoPanel.h"
#include "PgServer.h"
#include "ScriptedMessageService.h"
#include "SharedDatabaseCommands.h"
#include "Thumbnailer.h"
#include "support_TreeFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlDriver>

class TestSharedWatch : public QObject
{
    Q_OBJECT

    std::unique_ptr<PgServer> m_server;
    const QString m_database = QStringLiteral("watched");

    ServerAddress address(const QString &user = QLatin1String(PgServer::kUser)) const
    {
        return *ParseServerAddress(m_server->keywords(m_database, user));
    }

    static QLabel *label(TreeFixture &f, const char *name)
    {
        return f.main->Sbar().findChild<QLabel *>(QLatin1String(name));
    }

private slots:
    void initTestCase()
    {
        m_server = std::make_unique<PgServer>();
        if (!m_server->running())
            return;
        QCOMPARE(m_server->createDatabase(m_database), QString());
        mDatabase owner;
        owner.SetServer(address());
        owner.SetCreateTables(true);
        QVERIFY(owner.OpenDatabase());
        for (const QString &tree : {QStringLiteral("Alpha"), QStringLiteral("Beta")}) {
            QVERIFY(owner.CreateTree(tree));
            QVERIFY(owner.InsertPerson(tree, Person(tree.left(1) + "1", "ROOT", tree, "Holm")));
        }
        QCOMPARE(m_server->exec(m_database,
                                {QStringLiteral("CREATE ROLE editor LOGIN"),
                                 QStringLiteral("GRANT USAGE ON SCHEMA velkintree TO editor"),
                                 QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON "
                                                "velkintree.\"Alpha\" TO editor"),
                                 QStringLiteral("GRANT SELECT ON velkintree.\"Beta\" TO editor")}),
                 QString());
    }
    void cleanupTestCase() { m_server.reset(); }

    // The editor of Alpha: Beta is marked and opens read-only, Alpha opens for editing.
    void treesTheRoleMayOnlyRead()
    {
        VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        QVERIFY(f.main->Shared().Connect(address(QStringLiteral("editor")), QString()));
        QCOMPARE(msgs.count(), 0); // the database itself can be changed
        QCOMPARE(f.main->Trees().Names(), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(f.cboTrees->itemText(0), QStringLiteral("Alpha"));
        QCOMPARE(f.cboTrees->itemText(1), QStringLiteral("Beta (read only)"));
        QVERIFY(f.main->Trees().IsReadOnly(1));
        QVERIFY(!f.main->Trees().IsReadOnly(0));

        QVERIFY(f.main->LoadTree(QStringLiteral("Beta")));
        QCOMPARE(msgs.count(), 1);
        QCOMPARE(msgs.last().title, QStringLiteral("Read-only tree"));
        QVERIFY(msgs.last().text.contains(QLatin1String("'Beta'")));
        QVERIFY(f.main->Sbar().ReadOnlyShown());
        QVERIFY(f.store.IsReadOnly());
        msgs.clear();
        f.menu("mnuPersonNew");
        QCOMPARE(msgs.count(), 1);
        QVERIFY2(msgs.last().text.contains(QLatin1String("New person is unavailable")),
                 qPrintable(msgs.last().text));
        QCOMPARE(f.store.ReadTree(QStringLiteral("Beta"))->size(), 1);

        msgs.clear();
        QVERIFY(f.main->LoadTree(QStringLiteral("Alpha")));
        QCOMPARE(msgs.count(), 0);
        QVERIFY(!f.main->Sbar().ReadOnlyShown());
        QVERIFY(!f.store.IsReadOnly());
        QVERIFY(f.store.InsertPerson(QStringLiteral("Alpha"), Person("A2", "A1", "Ada", "Holm")));
    }

    // The server stops while the window is open: the status bar says so and nothing can be
    // changed; it starts again: the window connects by itself, the tree still open.
    void serverGoesAwayAndComesBack()
    {
        VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        f.main->Shared().SetWatchInterval(20);
        QVERIFY(f.main->Shared().Connect(address(), QString()));
        QVERIFY(f.main->LoadTree(QStringLiteral("Alpha")));
        QLabel *database = label(f, "lblDatabase");
        QVERIFY(database);
        QVERIFY(database->text().startsWith(QLatin1String("Shared: ")));
        QVERIFY(!f.main->Sbar().ReadOnlyShown());

        QVERIFY(m_server->halt());
        QTRY_VERIFY(database->text().contains(QLatin1String("unreachable")));
        QVERIFY(database->text().contains(QLatin1String("read only")));
        QVERIFY(f.main->Sbar().ReadOnlyShown());
        QVERIFY(f.store.IsReadOnly());
        QCOMPARE(f.store.InsertPerson(QStringLiteral("Alpha"), Person("A9", "A1", "Gone", "Holm"))
                     .error()
                     .code(),
                 ErrorCode::Unreachable);
        f.menu("mnuPersonNew");
        QCOMPARE(msgs.count(), 1);
        QVERIFY(msgs.last().text.contains(QLatin1String("read-only")));
        // The tree stays on screen and the list of trees stays as it was.
        QCOMPARE(f.tree.CurrentTree(), QStringLiteral("Alpha"));
        QVERIFY(f.main->Trees().Names().contains(QStringLiteral("Alpha")));

        QVERIFY(m_server->resume());
        QTRY_VERIFY(database->text().startsWith(QLatin1String("Shared: ")));
        QVERIFY(!f.main->Sbar().ReadOnlyShown());
        QVERIFY(!f.store.IsReadOnly());
        QCOMPARE(f.tree.CurrentTree(), QStringLiteral("Alpha"));
        QVERIFY(f.store.InsertPerson(QStringLiteral("Alpha"), Person("A3", "A1", "Back", "Holm")));
        QCOMPARE(msgs.count(), 1); // nothing more was asked of the user
    }

    // The photos of a tree the role may only read are shown but not deleted: the Delete key in
    // the information panel says why and leaves the file.
    void photosOfAReadOnlyTreeStay()
    {
        VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        QVERIFY(f.main->Shared().Connect(address(QStringLiteral("editor")), QString()));
        const QString folder = f.store.DataPath() + QStringLiteral("Photos/B1/");
        QVERIFY(QDir().mkpath(folder));
        QImage photo(16, 16, QImage::Format_RGB32);
        photo.fill(Qt::green);
        QVERIFY(photo.save(folder + QStringLiteral("b.png")));
        QVERIFY(f.main->LoadTree(QStringLiteral("Beta")));
        msgs.clear(); // the tree opens read-only, as it says
        f.menu("mnuViewInfo");
        f.click(1, QStringLiteral("B1"));
        QCOMPARE(f.panelKey(), QStringLiteral("B1"));
        InfoPanel &panel = f.main->pnlInfo();
        Thumbnailer *viewer = panel.thumbnailer();
        QTRY_COMPARE(viewer->Items(), 1);
        QTRY_VERIFY(!viewer->Rendering());
        viewer->setSelectedItem(viewer->Thumbs().Item(1));
        QApplication::setActiveWindow(f.main.get());
        viewer->findChild<QWidget *>(QStringLiteral("picBase"))->setFocus();
        QTRY_VERIFY(panel.ThumbsFocused());

        QVERIFY(panel.HandleKeyUp(Qt::Key_Delete));
        QCOMPARE(msgs.count(), 1);
        QVERIFY2(msgs.last().text.contains(QLatin1String("Delete photos is unavailable")),
                 qPrintable(msgs.last().text));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("b.png")));
        QCOMPARE(viewer->Items(), 1);
    }

    // The window listens for the other members' changes, so the driver watches the connection's
    // socket: when the server goes, the driver sees it first and closes the connection before
    // the watch's next tick. The watch still finds the server gone (not a database closed on
    // purpose), says so, and connects again once it is back.
    void serverGoesAwayWhileListening()
    {
        VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        f.main->Shared().SetWatchInterval(3600 * 1000);
        QVERIFY(f.main->Shared().Connect(address(), QString()));
        QVERIFY(f.main->LoadTree(QStringLiteral("Alpha")));
        const auto listening = [&f] {
            const QSqlDatabase db = QSqlDatabase::database(f.store.ConnectionName(), false);
            return db.isOpen() && !db.driver()->subscribedToNotifications().isEmpty();
        };
        QTRY_VERIFY(listening());
        QLabel *database = label(f, "lblDatabase");
        QVERIFY(database);

        QVERIFY(m_server->halt());
        QTRY_VERIFY(!f.store.IsOpen()); // the driver noticed, the watch has not looked yet
        f.main->Shared().SetWatchInterval(20);
        QTRY_VERIFY(database->text().contains(QLatin1String("unreachable")));
        QVERIFY(f.main->Sbar().ReadOnlyShown());
        QCOMPARE(f.tree.CurrentTree(), QStringLiteral("Alpha"));

        QVERIFY(m_server->resume());
        QTRY_VERIFY(database->text().startsWith(QLatin1String("Shared: ")));
        QVERIFY(!f.store.IsReadOnly());
        QTRY_VERIFY(listening());
        QVERIFY(f.store.InsertPerson(QStringLiteral("Alpha"), Person("A4", "A1", "Again", "Holm")));
        QCOMPARE(msgs.count(), 0);
    }

    // Rights changed by the administrator while the window is connected count at the watch's
    // next tick: a tree made writable loses its mark, one made read-only gets the mark and its
    // changes are refused, a role left with no tree to change has the database read-only, and a
    // grant given back makes it all writable again. Nothing is asked of the user.
    void rightsChangedWhileConnected()
    {
        VT_REQUIRE_SERVER(*m_server);
        TreeFixture f;
        ScriptedMessageService msgs;
        ScopedMessageService scope(msgs);
        f.main->Shared().SetWatchInterval(20);
        QVERIFY(f.main->Shared().Connect(address(QStringLiteral("editor")), QString()));
        QVERIFY(f.main->LoadTree(QStringLiteral("Alpha")));
        QVERIFY(!f.main->Sbar().ReadOnlyShown());
        QCOMPARE(f.cboTrees->itemText(1), QStringLiteral("Beta (read only)"));
        const auto admin = [this](const QString &statement) {
            return m_server->exec(m_database, {statement});
        };

        QCOMPARE(admin("GRANT INSERT, UPDATE, DELETE ON velkintree.\"Beta\" TO editor"), QString());
        QTRY_COMPARE(f.cboTrees->itemText(1), QStringLiteral("Beta"));
        QVERIFY(f.store.InsertPerson(QStringLiteral("Beta"), Person("B5", "B1", "Bo", "Holm")));

        QCOMPARE(admin("REVOKE INSERT, UPDATE, DELETE ON velkintree.\"Alpha\" FROM editor"),
                 QString());
        QTRY_VERIFY(f.main->Sbar().ReadOnlyShown());
        QCOMPARE(f.cboTrees->itemText(0), QStringLiteral("Alpha (read only)"));
        QVERIFY(f.store.IsReadOnly());
        QVERIFY(!f.store.IsDatabaseReadOnly());
        QCOMPARE(f.store.InsertPerson(QStringLiteral("Alpha"), Person("A7", "A1", "No", "Holm"))
                     .error()
                     .code(),
                 ErrorCode::ReadOnly);

        // No tree left to change: the database is read-only, every change refused.
        QCOMPARE(admin("REVOKE INSERT, UPDATE, DELETE ON velkintree.\"Beta\" FROM editor"),
                 QString());
        QTRY_VERIFY(f.store.IsDatabaseReadOnly());
        QVERIFY(!f.store.InsertPerson(QStringLiteral("Beta"), Person("B6", "B1", "No", "Holm")));

        // Given back: writable again, at the database and the open tree.
        QCOMPARE(admin("GRANT INSERT, UPDATE, DELETE ON velkintree.\"Alpha\" TO editor"),
                 QString());
        QTRY_VERIFY(!f.main->Sbar().ReadOnlyShown());
        QVERIFY(!f.store.IsReadOnly());
        QCOMPARE(f.cboTrees->itemText(0), QStringLiteral("Alpha"));
        QCOMPARE(f.cboTrees->itemText(1), QStringLiteral("Beta (read only)"));
        const Result<void> added =
            f.store.InsertPerson(QStringLiteral("Alpha"), Person("A8", "A1", "Yes", "Holm"));
        QVERIFY2(added, added ? "" : qPrintable(added.error().text()));
        QCOMPARE(msgs.count(), 0);
    }
};

QTEST_MAIN(TestSharedWatch)
#include "tst_sharedwatch.moc"
