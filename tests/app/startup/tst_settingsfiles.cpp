// The settings files: values of every kind written and read back without a false alarm, and a
// file that cannot be written whole (a real full disk) kept as it was, with one message.
#include "FullDisk.h"
#include "ScriptedMessageService.h"
#include "SettingsFiles.h"
#include "modRegistry.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QRect>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class tst_settingsfiles : public QObject
{
    Q_OBJECT

private slots:
    void everyKindOfValueIsWrittenAndCheckedBack()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("user.ini"));
        QFont font(QStringLiteral("DejaVu Sans"), 11);
        font.setItalic(true);
        const QList<std::pair<QString, QVariant>> values{
            {"Number", 42},
            {"Colour", 0x80000005u},
            {"Big", qint64(1) << 40},
            {"Truth", true},
            {"Half", 1.5},
            {"Blanks", QStringLiteral("  Ärger, \"quoted\"; =  ")},
            {"At", QStringLiteral("@Variant(no)")},
            {"Empty", QString()},
            {"One", QStringList{"one"}},
            {"Several", QStringList{"a", "b, c"}},
            {"None", QStringList()},
            {"Bytes", QByteArray("\0\x01\xff", 3)},
            {"Font", font},
            {"Color", QColor(1, 2, 3)},
            {"Rect", QRect(1, 2, 3, 4)},
            {"Size", QSize(5, 6)},
            {"When", QDateTime(QDate(1999, 12, 31), QTime(23, 59), Qt::UTC)},
            {"Group/Inner/Deep", QStringLiteral("deep")}};
        {
            SettingsFiles files;
            QSettings &settings = files.File(file);
            for (const auto &[key, value] : values)
                settings.setValue(key, value);
            // A caller in the middle of a group: its groups are as they were afterwards.
            settings.beginGroup(QStringLiteral("Group"));
            settings.beginGroup(QStringLiteral("Inner"));
            QVERIFY2(files.Sync(), qPrintable(files.LastError()));
            QCOMPARE(settings.group(), QStringLiteral("Group/Inner"));
            settings.endGroup();
            QCOMPARE(settings.group(), QStringLiteral("Group"));
            settings.endGroup();
            QVERIFY(files.LastError().isEmpty());
        }
        QCOMPARE(messages.count(), 0);
        QSettings read(file, QSettings::IniFormat);
        QCOMPARE(read.value("Font").value<QFont>(), font);
        QCOMPARE(read.value("Several").toStringList(), QStringList({"a", "b, c"}));
        QCOMPARE(read.value("Blanks").toString(), QStringLiteral("  Ärger, \"quoted\"; =  "));
        QCOMPARE(read.value("Group/Inner/Deep").toString(), QStringLiteral("deep"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"user.ini"});
    }

    void fullDiskKeepsTheFileAndSaysSoOnce()
    {
        FullDisk disk;
        if (!disk.ok())
            QSKIP(qPrintable(disk.why()));
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        const QString file = disk.filePath(QStringLiteral("user.ini"));
        SettingsFiles files;
        QSettings &settings = files.File(file);
        settings.setValue(QStringLiteral("Software/Viewer/Width"), 640);
        settings.setValue(QStringLiteral("LastOpen"), QStringLiteral("Example"));
        QVERIFY(files.Sync());
        const QByteArray before = ReadWholeFile(file);
        QVERIFY(before.contains("Example"));

        QVERIFY(disk.fill());
        settings.setValue(QStringLiteral("LastOpen"), QStringLiteral("Another tree"));
        const QString failure =
            QStringLiteral("The settings could not be saved to '%1': the disk may be full, or the "
                           "file or its folder cannot be written. The file was left as it was.")
                .arg(file);
        QVERIFY(!files.Sync());
        QCOMPARE(files.LastError(), failure);
        QCOMPARE(ReadWholeFile(file), before);
        QCOMPARE(disk.entries(), QStringList{"user.ini"});
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, failure);
        QCOMPARE(messages.last().icon, MsgIcon::Exclamation);
        // Once for the file until it can be written again.
        settings.setValue(QStringLiteral("LastOpen"), QStringLiteral("A third"));
        QVERIFY(!files.Sync());
        QCOMPARE(messages.count(), 1);
        QCOMPARE(ReadWholeFile(file), before);

        disk.empty();
        settings.setValue(QStringLiteral("LastOpen"), QStringLiteral("A fourth"));
        QVERIFY(files.Sync());
        QCOMPARE(QSettings(file, QSettings::IniFormat).value("LastOpen").toString(),
                 QStringLiteral("A fourth"));
        QCOMPARE(messages.count(), 1);
    }

    void registryOnFilesOfItsOwnFailsWithItsCode()
    {
        FullDisk disk;
        if (!disk.ok())
            QSKIP(qPrintable(disk.why()));
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        const QString user = disk.filePath(QStringLiteral("user.ini"));
        const QString key = QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillmar\\Velkin Tree");
        {
            modRegistry registry(user, disk.filePath(QStringLiteral("machine.ini")));
            QCOMPARE(registry.CreateKey(key), modRegistry::ERROR_NONE);
            QCOMPARE(registry.SetString(key, QStringLiteral("LastOpen"), QStringLiteral("Old")),
                     modRegistry::ERROR_NONE);
        }
        const QByteArray before = ReadWholeFile(user);
        QVERIFY(disk.fill());
        {
            modRegistry registry(user, disk.filePath(QStringLiteral("machine.ini")));
            QCOMPARE(registry.SetString(key, QStringLiteral("LastOpen"), QStringLiteral("New")),
                     modRegistry::ERROR_CANNOT_SET_STRING);
        }
        QCOMPARE(ReadWholeFile(user), before);
        QCOMPARE(messages.count(), 0); // its result code says it
    }
};

QTEST_MAIN(tst_settingsfiles)
#include "tst_settingsfiles.moc"
