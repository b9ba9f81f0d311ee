// "Hide living persons" in the export and print dialogs of the descendant, ancestor, fan and
// hourglass windows, in the real main window over a real store: nothing of a living person in
// the SVG or the PDF (read back through pdftotext) of each window, everything without the
// choice, and a chart whose person is left out refused with a message and no file. The choices
// of every export dialog outlive the window: a new window on new settings objects over the same
// files offers them again.
#include "AppSettings.h"
#include "ChartViewCommands.h"
#include "DescendantChartWindow.h"
#include "FanChartWindow.h"
#include "HourglassWindow.h"
#include "MenuBar.h"
#include "ModalSeam.h"
#include "PrivacyChoices.h"
#include "PrivateKinship.h"
#include "ScriptedMessageService.h"
#include "support_MainWindowFixture.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

using Genealogy::FamilyKeys;
using Genealogy::Sex;

namespace {

PersonRecord row(const char *id, const char *parent, const char *first, const char *born,
                 const char *died = "")
{
    PersonRecord r;
    r.ID = QString::fromLatin1(id);
    r.PrntKey = QString::fromLatin1(parent);
    r.Fname = QString::fromLatin1(first);
    r.Sname = QStringLiteral("Ash");
    r.Bdate = QString::fromLatin1(born);
    r.Ddate = QString::fromLatin1(died);
    r.Bplace = QStringLiteral("Place of ") + r.Fname;
    return r;
}

FamilyKeys family(const char *a, const char *b, const QStringList &children)
{
    FamilyKeys f;
    f.partner[0] = QString::fromLatin1(a);
    f.partner[1] = QString::fromLatin1(b);
    for (const QString &c : children)
        f.children.push_back({c});
    return f;
}

// Ada (1850-1920) and Sam (1848-1910), their son Cid (1880-1950); Cid's daughter Livvy (1975)
// and her husband Pat (1974), both living, and their son Kit (2001), living.
const QStringList kLiving{"Livvy", "Pat", "Kit", "1975", "1974", "2001", "Place of"};

struct Window : MainWindowFixture
{
    ScriptedMessageService messages;
    ScopedMessageService scoped{messages};

    Window()
        : MainWindowFixture([](mDatabase &db) {
              QVERIFY(db.CreateTree(QStringLiteral("Family")));
              for (const PersonRecord &r :
                   {row("r1", "ROOT", "Ada", "1850", "1920"), row("s1", "", "Sam", "1848", "1910"),
                    row("a1", "r1", "Cid", "1880", "1950"), row("b1", "a1", "Livvy", "1975"),
                    row("p1", "", "Pat", "1974"), row("c1", "b1", "Kit", "2001")})
                  QVERIFY(db.InsertPerson(QStringLiteral("Family"), r));
          })
    {
        main->Charts().SetKinshipReaders(
            [](const QString &) -> Result<std::vector<FamilyKeys>> {
                return std::vector<FamilyKeys>{family("s1", "r1", {"a1"}),
                                               family("b1", "p1", {"c1"})};
            },
            [](const QString &) {
                return QHash<QString, Sex>{{"b1", Sex::Female}, {"p1", Sex::Male}};
            });
        QVERIFY(main->Tree().Load(QStringLiteral("Family")));
    }

    // Exports the chart of `window` to `file` through its File > Export Chart..., ticking
    // "Hide living persons" as `hide` says; what the check box showed first.
    bool exportFrom(QWidget *window, const QString &file, bool hide)
    {
        bool shown = false;
        ScopedModalDriver driver([&](QDialog &d) {
            if (d.objectName() == QLatin1String("dlgExportOptions")) {
                auto *box = d.findChild<QCheckBox *>(QStringLiteral("chkHideLiving"));
                if (!box)
                    return int(QDialog::Rejected);
                shown = box->isChecked();
                box->setChecked(hide);
                return int(QDialog::Accepted);
            }
            if (auto *files = qobject_cast<QFileDialog *>(&d)) {
                files->selectFile(file);
                return int(QDialog::Accepted);
            }
            return int(QDialog::Rejected);
        });
        if (QFile::exists(file))
            messages.enqueue(MsgResult::Yes); // replace it
        window->findChild<QAction *>(QStringLiteral("mnuFileExport"))->trigger();
        return shown;
    }
};

QString textOf(const QString &path)
{
    if (path.endsWith(QLatin1String(".pdf"))) {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (tool.isEmpty())
            return QString();
        QProcess p;
        p.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QStringList leaks(const QString &text)
{
    QStringList found;
    for (const QString &secret : kLiving) {
        if (text.contains(secret))
            found << secret;
    }
    return found;
}

} // namespace

class tst_windowprivacy : public QObject
{
    Q_OBJECT

private slots:
    void everyWindowHidesTheLiving()
    {
        Window w;
        ChartViewCommands &charts = w.main->Charts();
        // Each window of a person with living relatives, and a word its chart must show.
        struct Case
        {
            const char *key;
            QString menu;
            const char *file;
            QString kept;
        };
        const QList<Case> cases{
            {"r1", ChartViewCommands::DescendantsKey(), "descendants", QStringLiteral("Cid")},
            {"c1", ChartViewCommands::AncestorsKey(), "ancestors", QStringLiteral("Ada")},
            {"c1", ChartViewCommands::FanKey(), "fan", QStringLiteral("Sam")},
            {"b1", ChartViewCommands::HourglassKey(), "hourglass", QStringLiteral("Cid")}};
        const bool pdfRead = !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
        bool remembered = false;
        for (const Case &c : cases) {
            w.main->Tree().Select(QString::fromLatin1(c.key), true);
            QCOMPARE(w.main->Tree().SelectedKey(), QString::fromLatin1(c.key));
            w.main->Menus().Item(c.menu)->trigger();
            QWidget *window = nullptr;
            if (!charts.DescendantWindows().isEmpty())
                window = charts.DescendantWindows().last();
            else if (!charts.FanWindows().isEmpty())
                window = charts.FanWindows().last();
            else if (!charts.HourglassWindows().isEmpty())
                window = charts.HourglassWindows().last();
            QVERIFY2(window, c.file);
            for (const char *suffix : {".svg", ".pdf"}) {
                const QString file = w.dir.filePath(QLatin1String(c.file) + suffix);
                const bool wasTicked = w.exportFrom(window, file, true);
                // The choice is remembered from one export to the next, in every window.
                QCOMPARE(wasTicked, remembered);
                remembered = true;
                QVERIFY2(QFile(file).size() > 0, qPrintable(file));
                // The names along the fan's arcs come out of a PDF letter by letter, in no order
                // to search: its SVG tells.
                const bool pdf = QLatin1String(suffix) == QLatin1String(".pdf");
                if (pdf && (!pdfRead || c.menu == ChartViewCommands::FanKey()))
                    continue;
                const QString text = textOf(file);
                QVERIFY2(text.contains(c.kept), qPrintable(file));
                QVERIFY2(leaks(text).isEmpty(),
                         qPrintable(file + QStringLiteral(": ") + leaks(text).join(", ")));
            }
            // Without the choice the living are there as they are stored.
            const QString whole = w.dir.filePath(QLatin1String(c.file) + "-whole.svg");
            QVERIFY(w.exportFrom(window, whole, false));
            remembered = false;
            QVERIFY2(!leaks(textOf(whole)).isEmpty(), c.file);
            window->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QCOMPARE(w.messages.count(), 0);
    }

    void choicesOutliveTheWindow()
    {
        using namespace Genealogy::PrivacyChoices;
        QString userFile, dataPath;
        QTemporaryDir keep; // the first window's folder goes with it: its files are copied here
        {
            Window w;
            // Every kind starts from its own default.
            QVERIFY(!last(Export::Charts).hideLiving && last(Export::Charts).includePrivate);
            QVERIFY(!last(Export::Gedcom).hideLiving && last(Export::Gedcom).includePrivate);
            QVERIFY(last(Export::Reports).hideLiving && !last(Export::Reports).includePrivate);
            w.main->Tree().Select(QStringLiteral("r1"), true);
            w.main->Charts().ShowFan();
            QVERIFY(!w.exportFrom(w.main->Charts().FanWindows().last(),
                                  w.dir.filePath(QStringLiteral("fan.svg")), true));
            Genealogy::PrivacyOptions gedcom;
            gedcom.includePrivate = false;
            remember(Export::Gedcom, gedcom);
            Genealogy::PrivacyOptions reports;
            remember(Export::Reports, reports); // hides nothing now
            QVERIFY(QFile::copy(w.state.UserSettingsFile, keep.filePath(QStringLiteral("u.ini"))));
            userFile = keep.filePath(QStringLiteral("u.ini"));
            dataPath = keep.filePath(QStringLiteral("Data")) + QLatin1Char('/');
        }
        // No window: nothing remembered any more.
        QVERIFY(!last(Export::Charts).hideLiving);
        // A new window on new settings objects over the saved file.
        AppState state;
        state.ProgramPath = keep.path() + QLatin1Char('/');
        state.DataPath = dataPath;
        state.UserSettingsFile = userFile;
        state.MachineSettingsFile = dataPath + QStringLiteral("machine.ini");
        {
            frmMain main(state);
            QVERIFY(last(Export::Charts).hideLiving && last(Export::Charts).includePrivate);
            QVERIFY(!last(Export::Gedcom).hideLiving && !last(Export::Gedcom).includePrivate);
            QVERIFY(!last(Export::Reports).hideLiving && last(Export::Reports).includePrivate);
        }
        // A value that is no number is no choice: the default again.
        {
            QSettings ini(userFile, QSettings::IniFormat);
            const QStringList keys =
                ini.allKeys().filter(QStringLiteral("ChartsHideLiving"), Qt::CaseInsensitive);
            QCOMPARE(keys.size(), 1);
            ini.setValue(keys.first(), QStringLiteral("yes"));
        }
        AppState again;
        again.UserSettingsFile = userFile;
        again.MachineSettingsFile = state.MachineSettingsFile;
        setStore(AppSettings::PrivacyStore(again));
        QVERIFY(!last(Export::Charts).hideLiving);
        QVERIFY(!last(Export::Reports).hideLiving); // the others stay
        setStore({});
    }

    void aChartOfAPersonLeftOutIsRefused()
    {
        // The reader gives a tree without the chart's person (private, left out): the export
        // says so and writes nothing.
        ScriptedMessageService messages;
        ScopedMessageService scoped(messages);
        QTemporaryDir dir;
        cPeople people;
        cPerson person;
        person.setKey(QStringLiteral("k"));
        person.setFname(QStringLiteral("Kept"));
        people.Add(person);
        const KinshipLinks links(people, {});
        const FanChart shown(links, QStringLiteral("k"), 3);
        bool asked = false;
        const KinshipExportSource source(
            shown,
            [](const Genealogy::PrivacyOptions &) { return std::make_shared<PrivateTree>(); },
            [&asked](const cPeople &p, const KinshipLinks &,
                     QString *why) -> std::unique_ptr<ChartRenderSource> {
                asked = true;
                if (!p.Item(QStringLiteral("k")))
                    *why = PrivateChartRefusal();
                return nullptr;
            });
        QVERIFY(source.OffersPrivacy());
        Genealogy::PrivacyOptions privacy;
        privacy.includePrivate = false;
        QVERIFY(!source.WithPrivacy(privacy));
        QVERIFY(asked);
        QVERIFY(source.PrivacyError().contains(QStringLiteral("Include private")));
        // Without a reader there is no choice to offer.
        QVERIFY(!KinshipExportSource(shown, {}, {}).OffersPrivacy());
        QCOMPARE(KinshipExportSource(shown, {}, {}).Title(), shown.Title());
    }
};

QTEST_MAIN(tst_windowprivacy)
#include "tst_windowprivacy.moc"
