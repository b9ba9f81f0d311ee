#include "modRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The settings store over two INI files in a temporary folder.
class TestRegistry : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_case = 0;

    const QString user = QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillmar\\Velkin Tree");
    const QString machine = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Quillmar\\Velkin Tree");

    // A store on files of its own.
    std::unique_ptr<modRegistry> fresh()
    {
        ++m_case;
        return std::make_unique<modRegistry>(
            m_dir.filePath(QStringLiteral("user%1.ini").arg(m_case)),
            m_dir.filePath(QStringLiteral("m%1/machine.ini").arg(m_case)));
    }

private slots:
    void parseKey()
    {
        QString path = QStringLiteral("HKEY_CURRENT_USER");
        quint32 root = 7;
        modRegistry::ParseKey(path, root);
        QCOMPARE(root, 0x80000001u);
        QCOMPARE(path, QString());

        path = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Quillmar\\Velkin Tree");
        modRegistry::ParseKey(path, root);
        QCOMPARE(root, 0x80000002u);
        QCOMPARE(path, QStringLiteral("Software\\Quillmar\\Velkin Tree"));

        // Malformed paths leave root and path as they were.
        for (const char *bad :
             {"HKEY_CURRENT_USER\\Software\\", "Software\\Quillmar", "hkey_users"}) {
            path = QLatin1String(bad);
            root = 0x80000003u;
            modRegistry::ParseKey(path, root);
            QCOMPARE(root, 0x80000003u);
            QCOMPARE(path, QLatin1String(bad));
        }
        path = QStringLiteral("HKEY_NOWHERE\\x");
        modRegistry::ParseKey(path, root);
        QCOMPARE(root, 0u);
        QCOMPARE(path, QStringLiteral("x"));

        QCOMPARE(modRegistry::RootKeyFromName(QStringLiteral("HKEY_DYN_DATA")), 0x80000006u);
        QCOMPARE(modRegistry::RootKeyFromName(QStringLiteral("HKEY_CLASSES_ROOT")), 0x80000000u);
        QCOMPARE(modRegistry::RootKeyFromName(QStringLiteral("HKEY_CURRENT_CONFIG")), 0x80000005u);
    }

    void malformedPathKeepsPreviousRoot()
    {
        auto reg = fresh();
        QCOMPARE(reg->CreateKey(user), 0);
        QCOMPARE(reg->SetDword(user, QStringLiteral("A"), 5), 0);
        // The root of the last parsed path stays in force for a path without one.
        QCOMPARE(
            reg->GetDword(QStringLiteral("Software\\Quillmar\\Velkin Tree"), QStringLiteral("A")),
            QVariant(5));
        QCOMPARE(reg->LastRoot(), modRegistry::HKEY_CURRENT_USER);
    }

    void errorTexts()
    {
        QCOMPARE(modRegistry::ErrorText(5), QStringLiteral("Access to this key is denied"));
        QCOMPARE(modRegistry::ErrorText(3), QStringLiteral("Undefined Error Code:  3"));
        QCOMPARE(modRegistry::ErrorText(2), QStringLiteral("Bad Key Name"));
        QCOMPARE(modRegistry::ErrorText(14), QStringLiteral("Out of memory"));
        QCOMPARE(modRegistry::ErrorText(992), QStringLiteral("Cannot set the Dword value."));
        QCOMPARE(modRegistry::ErrorText(994), QStringLiteral("Cannot set the String value."));
        QCOMPARE(modRegistry::ErrorText(995), QStringLiteral("The key could not be created."));
        QCOMPARE(modRegistry::ErrorText(1015), QStringLiteral("The Registry Database is corrupt!"));
        QCOMPARE(modRegistry::ErrorText(1013), QStringLiteral("Can't Write Key"));
        QCOMPARE(modRegistry::ErrorText(-1), QStringLiteral("Undefined Error Code:  -1"));
    }

    void keysAndNumbers()
    {
        auto reg = fresh();
        QVERIFY(!reg->KeyExists(user));
        QCOMPARE(reg->GetDword(user, QStringLiteral("MainLeft")),
                 QVariant(QStringLiteral("Error")));
        QCOMPARE(reg->GetString(user, QStringLiteral("LastOpen")), QString());
        // Writing needs the key.
        QCOMPARE(reg->SetDword(user, QStringLiteral("MainLeft"), 1), 992);
        QCOMPARE(reg->SetString(user, QStringLiteral("LastOpen"), QStringLiteral("x")), 994);

        QCOMPARE(reg->CreateKey(user), 0);
        QVERIFY(reg->KeyExists(user));
        QVERIFY(reg->KeyExists(QStringLiteral("HKEY_CURRENT_USER\\Software")));
        QVERIFY(
            reg->KeyExists(QStringLiteral("HKEY_CURRENT_USER\\software\\QUILLMAR\\velkin tree")));
        QVERIFY(!reg->KeyExists(machine));
        QCOMPARE(reg->CreateKey(user), 0); // an existing key
        QCOMPARE(reg->GetDword(user, QStringLiteral("MainLeft")),
                 QVariant(QStringLiteral("Error")));
        QCOMPARE(reg->GetString(user, QStringLiteral("LastOpen")), QStringLiteral("Error"));

        for (qint32 value : {0, 1, -1, 2147483647, -2147483647 - 1, 9000}) {
            QCOMPARE(reg->SetDword(user, QStringLiteral("MainWidth"), value), 0);
            const QVariant read = reg->GetDword(user, QStringLiteral("MainWidth"));
            QCOMPARE(read.typeId(), int(QMetaType::Int));
            QCOMPARE(read.toInt(), value);
        }
        // Value names compare without regard to case and keep one entry.
        QCOMPARE(reg->SetDword(user, QStringLiteral("MAINWIDTH"), 7), 0);
        QCOMPARE(reg->GetDword(user, QStringLiteral("mainwidth")), QVariant(7));
        // A text is not a number.
        QCOMPARE(reg->SetString(user, QStringLiteral("Text"), QStringLiteral("12a")), 0);
        QCOMPARE(reg->GetDword(user, QStringLiteral("Text")), QVariant(QStringLiteral("Error")));

        // The two keys live in two files.
        QCOMPARE(reg->CreateKey(machine), 0);
        QCOMPARE(reg->SetDword(machine, QStringLiteral("Version"), 23), 0);
        QCOMPARE(reg->GetDword(user, QStringLiteral("Version")), QVariant(QStringLiteral("Error")));
        QCOMPARE(reg->GetDword(machine, QStringLiteral("Version")), QVariant(23));
        QVERIFY(QFile::exists(reg->FileForRoot(modRegistry::HKEY_LOCAL_MACHINE)));

        // Roots without a file fail.
        const QString users = QStringLiteral("HKEY_USERS\\x");
        QCOMPARE(reg->CreateKey(users), 995);
        QVERIFY(!reg->KeyExists(users));
        QCOMPARE(reg->GetDword(users, QStringLiteral("a")), QVariant(QStringLiteral("Error")));
        QCOMPARE(reg->SetDword(users, QStringLiteral("a"), 1), 992);
    }

    void stringsRoundTripExactly()
    {
        auto reg = fresh();
        QCOMPARE(reg->CreateKey(user), 0);
        const QStringList texts = {QString(),
                                   QStringLiteral("Example"),
                                   QStringLiteral("  leading and trailing  "),
                                   QStringLiteral("O'Brien \"family\""),
                                   QStringLiteral("Семья, 张家; Zürich"),
                                   QStringLiteral("1, 2, 3"),
                                   QStringLiteral("true"),
                                   QStringLiteral("@Variant(x)"),
                                   QStringLiteral("back\\slash / and = sign"),
                                   QStringLiteral("line\nbreak\ttab"),
                                   QString(1000, QChar(u'w')),
                                   QStringLiteral("Error")};
        for (const QString &text : texts) {
            QCOMPARE(reg->SetString(user, QStringLiteral("LastOpen"), text), 0);
            QCOMPARE(reg->GetString(user, QStringLiteral("LastOpen")), text);
            QCOMPARE(reg->LastResult(), 0);
        }
        // A second store on the same files reads the same.
        modRegistry again(reg->FileForRoot(modRegistry::HKEY_CURRENT_USER),
                          reg->FileForRoot(modRegistry::HKEY_LOCAL_MACHINE));
        QCOMPARE(again.GetString(user, QStringLiteral("LastOpen")), texts.last());
        // A NUL ends the text.
        QCOMPARE(reg->SetString(user, QStringLiteral("N"),
                                QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")),
                 0);
        QCOMPARE(reg->GetString(user, QStringLiteral("N")), QStringLiteral("ab"));
    }

    void unwritableFileFails()
    {
        // A folder where the file should be cannot be written by anyone.
        modRegistry blocked(m_dir.path(), m_dir.filePath(QStringLiteral("none.ini")));
        QCOMPARE(blocked.CreateKey(user), 995);
        QCOMPARE(blocked.SetDword(user, QStringLiteral("A"), 1), 992);
        QCOMPARE(blocked.GetDword(user, QStringLiteral("A")), QVariant(QStringLiteral("Error")));
    }
};

QTEST_MAIN(TestRegistry)
#include "tst_registry.moc"
