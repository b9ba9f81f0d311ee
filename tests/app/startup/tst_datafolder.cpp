// Where the data and the settings live: the settings survive starts with other data folders and
// failed starts; an existing database is always the one opened, read-only when it cannot be
// written, and the program says so, refuses the commands that would change it and tells where
// its data is.
#include "DataFolder.h"
#include "EmptyChartHint.h"
#include "MenuBar.h"
#include "ModalSeam.h"
#include "ScriptedMessageService.h"
#include "StatusBar.h"
#include "TreeChart.h"
#include "mDatabase.h"
#include "support_StartupRun.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <unistd.h>

using AppSettings::MachineKey;
using AppSettings::UserKey;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Points the user's config and data folders into a temporary folder for one test.
struct ScopedHome
{
    QTemporaryDir dir;
    QByteArray config = qgetenv("XDG_CONFIG_HOME");
    QByteArray data = qgetenv("XDG_DATA_HOME");

    ScopedHome()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("share"))));
    }
    ~ScopedHome()
    {
        qputenv("XDG_CONFIG_HOME", config);
        qputenv("XDG_DATA_HOME", data);
    }
    QString path(const QString &name) const { return dir.filePath(name) + QLatin1Char('/'); }
};

// A start with the settings where the program keeps them by default.
std::unique_ptr<Run> startIn(const QString &dataPath, int steps = 6)
{
    auto run = std::make_unique<Run>();
    run->state.DataPath = dataPath;
    run->state.UserSettingsFile.clear();
    run->state.MachineSettingsFile.clear();
    run->start();
    run->steps(steps);
    return run;
}

} // namespace

class TestDataFolder : public QObject
{
    Q_OBJECT

private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }

    void otherDataFoldersKeepTheUserSettings()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        ScopedHome home;
        // The user's settings, without a machine key (as an earlier version left them).
        modRegistry registry(DefaultUserSettingsFile(), DefaultMachineSettingsFile());
        QCOMPARE(registry.CreateKey(UserKey), 0);
        const QList<std::pair<const char *, int>> values = {
            {"MainLeft", 150}, {"MainTop", 300},   {"MainWidth", 7500}, {"MainHeight", 6000},
            {"MainState", 0},  {"ShowToolBar", 0}, {"ShowInfo", -1}};
        for (const auto &[name, value] : values)
            registry.SetDword(UserKey, QLatin1String(name), value);
        registry.SetString(UserKey, QStringLiteral("LastOpen"), QStringLiteral("Example"));

        for (const char *folder : {"A", "B", "A", "B"}) {
            const std::unique_ptr<Run> run = startIn(home.path(QLatin1String(folder)));
            QVERIFY2(run->main->isVisible(), folder);
            QVERIFY(!run->state.ShowToolBar && run->state.ShowStatusBar && run->state.ShowInfo);
            QCOMPARE(run->main->Tree().CurrentTree(), QStringLiteral("Example"));
            QVERIFY(!run->main->isMaximized());
            QCOMPARE(run->main->size() * run->state.TwipsPerPixel, QSize(7500, 6000));
            run->main->close();
            for (const auto &[name, value] : values)
                QCOMPARE(registry.GetDword(UserKey, QLatin1String(name)).toInt(), value);
            // The missing value got its first-run default, the machine key its version.
            QCOMPARE(registry.GetDword(UserKey, QStringLiteral("ShowStatusBar")).toInt(), -1);
            QCOMPARE(registry.GetDword(MachineKey, QStringLiteral("Version")).toInt(), 23);
        }
        QVERIFY(!QFile::exists(home.path(QStringLiteral("A")) + QStringLiteral("machine.ini")));
        QCOMPARE(messages.count(), 0);
    }

    void failedStartWritesNoSettings()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        ScopedHome home;
        const QString data = home.path(QStringLiteral("broken"));
        QVERIFY(QDir().mkpath(data));
        QFile junk(data + QStringLiteral("people.db"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(2048, 'j'));
        junk.close();

        // No settings yet, then settings without a machine key: neither start writes any.
        for (bool seeded : {false, true}) {
            if (seeded) {
                modRegistry registry(DefaultUserSettingsFile(), DefaultMachineSettingsFile());
                QCOMPARE(registry.CreateKey(UserKey), 0);
                registry.SetDword(UserKey, QStringLiteral("MainWidth"), 7500);
            }
            const QByteArray user = fileBytes(DefaultUserSettingsFile());
            const std::unique_ptr<Run> run = startIn(data);
            QCOMPARE(run->splash->Step(), 3);
            QCOMPARE(messages.last().title, QStringLiteral("Security error: 1202"));
            run->main->close();
            QCOMPARE(fileBytes(DefaultUserSettingsFile()), user);
            QVERIFY(!QFile::exists(DefaultMachineSettingsFile()));
        }
    }

    void existingDatabaseIsTheOneChosen()
    {
        ScopedHome home;
        const QString program = home.path(QStringLiteral("program"));
        const QString beside = program + QStringLiteral("Data/");
        const QString appData = AppDataFolder();
        QVERIFY(appData.startsWith(home.dir.path()));
        const auto writable = [](const QString &) { return true; };
        const auto readOnly = [](const QString &) { return false; };

        // A first start of an installed copy: the app-data folder, even where the program's
        // folder could be written.
        QVERIFY(QDir().mkpath(program));
        QVERIFY(!IsPortableCopy(program));
        QCOMPARE(ChooseDataFolder(program, QString(), writable), appData);
        // A portable copy (a file "portable" beside it): beside the program when that can be
        // written, else the app-data folder.
        QFile marker(program + QStringLiteral("portable"));
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        QVERIFY(IsPortableCopy(program));
        QCOMPARE(ChooseDataFolder(program, QString(), writable), beside);
        QCOMPARE(ChooseDataFolder(program, QString(), readOnly), appData);
        // A database in the app-data folder (made by such a start) stays the one used.
        QVERIFY(mDatabase::CreateDatabaseFile(appData + QStringLiteral("people.db")));
        QCOMPARE(ChooseDataFolder(program, QString(), writable), appData);
        QVERIFY(marker.remove());
        // A database beside the program is used whether or not its folder can be written.
        QVERIFY(QDir().mkpath(beside));
        QVERIFY(mDatabase::CreateDatabaseFile(beside + QStringLiteral("people.db")));
        QCOMPARE(ChooseDataFolder(program, QString(), readOnly), beside);
        QCOMPARE(ChooseDataFolder(program, home.path(QStringLiteral("mine")), readOnly),
                 home.path(QStringLiteral("mine")));
        // ... and makes the copy portable.
        QVERIFY(IsPortableCopy(program));
    }

    // An installed copy never makes a folder beside its program; the preview for --version makes
    // nothing at all, and names what a start would choose.
    void installedCopyMakesNothingBesideTheProgram()
    {
        ScopedHome home;
        const QString program = home.path(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program));
        QCOMPARE(PreviewDataFolder(program), AppDataFolder());
        QVERIFY(!QFileInfo::exists(AppDataFolder()));
        QCOMPARE(ChooseDataFolder(program), AppDataFolder());
        QVERIFY(QFileInfo(AppDataFolder()).isDir());
        QCOMPARE(QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());

        QVERIFY(QDir().mkpath(program + QStringLiteral("Data")));
        QCOMPARE(PreviewDataFolder(program), program + QStringLiteral("Data/"));
        const QString mine = home.path(QStringLiteral("mine"));
        QCOMPARE(PreviewDataFolder(program, mine), mine);
        QVERIFY(!QFileInfo::exists(mine));
    }

    void readOnlyFolderIsSeen()
    {
        if (geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("people.db"));
        QVERIFY(mDatabase::CreateDatabaseFile(path));
        QVERIFY(DatabaseIsWritable(path));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(!DatabaseIsWritable(path));
        QVERIFY(!FolderIsWritable(dir.path()));
        QVERIFY(QFile::setPermissions(dir.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    void readOnlyStartSaysSoAndCommandsRefuse()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        QStringList dialogs;
        QString dataShown;
        ScopedModalDriver driver([&](QDialog &dialog) {
            dialogs << dialog.objectName();
            if (const QLabel *data = dialog.findChild<QLabel *>(QStringLiteral("lblData")))
                dataShown = data->text();
            dialog.reject();
            return dialog.result();
        });
        Run run;
        QVERIFY(QDir().mkpath(run.state.DataPath));
        QVERIFY(mDatabase::CreateDatabaseFile(run.state.DataPath + QStringLiteral("people.db")));
        run.seed(0, 0, 9000, 7500, 0, QStringLiteral("Example"));
        run.start();
        run.main->Db().SetWriteCheck([](const QString &) { return false; });
        run.steps(6);
        const QString database =
            QDir::toNativeSeparators(run.state.DataPath + QStringLiteral("people.db"));

        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, QStringLiteral("Read-only database"));
        QCOMPARE(messages.last().icon, MsgIcon::Exclamation);
        QCOMPARE(messages.last().buttons, MsgButtons::OkOnly);
        QCOMPARE(messages.last().text,
                 QStringLiteral("The database '%1' cannot be changed: the file or its folder is "
                                "read-only. It has been opened for reading only.\r\n\r\n"
                                "Your trees can be opened and browsed. Unavailable: New Tree, "
                                "Modify Tree, Import GEDCOM, New person, Edit person, Delete "
                                "person and Compress.\r\n\r\nTo change your trees, make the "
                                "file and its folder writable and start Velkin Tree again.")
                     .arg(database));
        QVERIFY(run.main->Sbar().ReadOnlyShown());
        QCOMPARE(run.main->Tree().CurrentTree(), QStringLiteral("Example"));

        // Select a person, then every command that would change the database refuses.
        TreeChart &chart = run.main->VTree();
        const cNodePtr root = chart.Levels().Item(1)->Item(1);
        chart.setSelectedNode(root);
        emit chart.NodeClick(root, true);
        const QList<std::pair<const char *, const char *>> commands = {
            {"mnuFileNew", "New Tree"},
            {"mnuFileModify", "Modify Tree"},
            {"mnuPersonNew", "New person"},
            {"mnuPersonEdit", "Edit person"},
            {"mnuPersonDelete", "Delete person"},
            {"mnuToolsDbComp", "Compress"},
            {"mnuFileImportGedcom", "Import GEDCOM"}};
        for (const auto &[key, name] : commands) {
            messages.clear();
            run.main->Menus().Item(QLatin1String(key))->trigger();
            QCOMPARE(messages.count(), 1);
            QCOMPARE(messages.last().text,
                     QStringLiteral("%1 is unavailable: the database '%2' is open read-only.")
                         .arg(QLatin1String(name), database));
            QCOMPARE(messages.last().title, QStringLiteral("Read-only database"));
        }
        QVERIFY(dialogs.isEmpty());
        QVERIFY(run.main->Tree().People().Item(root->Key()));

        // About tells where the data is.
        run.main->Menus().Item(QStringLiteral("mnuHelpAbout"))->trigger();
        QCOMPARE(dialogs, QStringList{QStringLiteral("frmAbout")});
        QCOMPARE(dataShown,
                 QDir::toNativeSeparators(run.state.DataPath) + QStringLiteral(" (read-only)"));
        run.main->close();
    }

    // A database a newer version changed: said once at the start (no second message about
    // the file), read-only, and the empty chart offers nothing to make.
    void newerVersionsDatabaseStartsReadOnly()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        Run run;
        QVERIFY(QDir().mkpath(run.state.DataPath));
        const QString path = run.state.DataPath + QStringLiteral("people.db");
        QVERIFY(mDatabase::CreateDatabaseFile(path));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "newer");
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version = 7")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("newer"));
        run.seed(0, 0, 9000, 7500, 0, QStringLiteral("Example"));
        run.start();
        run.steps(6);

        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, QStringLiteral("Read-only database"));
        QVERIFY(messages.last().text.contains(QLatin1String("newer version")));
        QVERIFY(messages.last().text.contains(QLatin1String("version 7")));
        QVERIFY(run.main->Sbar().ReadOnlyShown());
        QCOMPARE(run.main->Tree().CurrentTree(), QStringLiteral("Example"));

        run.main->Menus().Item(QStringLiteral("mnuFileClose"))->trigger();
        const auto *hint = run.main->VTree().findChild<EmptyChartHint *>();
        QVERIFY(hint && hint->isVisible());
        QVERIFY(hint->text().contains(QLatin1String("open read-only")));
        QVERIFY(!hint->text().contains(QLatin1String("New Tree")));
        run.main->close();
    }
};

QTEST_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
