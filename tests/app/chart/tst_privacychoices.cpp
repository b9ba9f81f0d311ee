// The Reports menu and the privacy choices of the export dialogs in the real main window: the
// commands follow the selection, the dialogs start from their defaults (reports hide the
// living, GEDCOM keeps everything) and remember the user's last choice, and what is written
// honours it.
#include "MenuBar.h"
#include "ModalSeam.h"
#include "ModelStore.h"
#include "ReportCommands.h"
#include "ReportOptionsDialog.h"
#include "ScriptedMessageService.h"
#include "dlgExportGedcom.h"
#include "support_MainWindowFixture.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QSpinBox>
#include <QTest>

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

struct Window : MainWindowFixture
{
    ScriptedMessageService messages;
    ScopedMessageService scoped{messages};

    Window()
        : MainWindowFixture([](mDatabase &db) {
              QVERIFY(db.CreateTree(QStringLiteral("Family")));
              for (const PersonRecord &r :
                   {row("r1", "ROOT", "Ada", "1850", "1920"),
                    row("a1", "r1", "Cid", "1880", "1950"), row("b1", "a1", "Livvy", "1975"),
                    row("c1", "b1", "Kit", "2001")})
                  QVERIFY(db.InsertPerson(QStringLiteral("Family"), r));
          })
    {
        QVERIFY(main->Tree().Load(QStringLiteral("Family")));
    }
    QAction *item(const char *key) { return main->Menus().Item(QLatin1String(key)); }
};

// Works the report dialog (after `inspect`) and the file dialog.
ModalSeam::Driver reportDriver(const QString &target,
                               const std::function<void(ReportOptionsDialog &)> &inspect)
{
    return [=](QDialog &d) {
        if (auto *options = qobject_cast<ReportOptionsDialog *>(&d)) {
            inspect(*options);
            return int(QDialog::Accepted);
        }
        if (auto *files = qobject_cast<QFileDialog *>(&d)) {
            files->selectFile(target);
            return int(QDialog::Accepted);
        }
        return int(QDialog::Rejected);
    };
}

} // namespace

class tst_privacychoices : public QObject
{
    Q_OBJECT

private slots:
    void reportsMenuFollowsTheSelection()
    {
        Window w;
        QVERIFY(w.main->Menus().Menu(QStringLiteral("mnuReports")));
        QVERIFY(!w.item("mnuReportsDescendants")->isEnabled());
        w.main->Tree().Select(QStringLiteral("r1"));
        for (const char *key : {"mnuReportsFamily", "mnuReportsDescendants", "mnuReportsAncestors"})
            QVERIFY2(w.item(key)->isEnabled(), key);
        w.main->Tree().ClearSelection();
        QVERIFY(!w.item("mnuReportsAncestors")->isEnabled());
    }

    void reportDialogDefaultsAndMemory()
    {
        Window w;
        w.main->Tree().Select(QStringLiteral("r1"));
        const QString pdf = w.dir.filePath(QStringLiteral("ada.pdf"));
        bool hide = false, include = true;
        int generations = 0;
        {
            ScopedModalDriver driver(reportDriver(pdf, [&](ReportOptionsDialog &d) {
                hide = d.findChild<QCheckBox *>(QStringLiteral("chkHideLiving"))->isChecked();
                include =
                    d.findChild<QCheckBox *>(QStringLiteral("chkIncludePrivate"))->isChecked();
                auto *spin = d.findChild<QSpinBox *>(QStringLiteral("spnGenerations"));
                generations = spin->value();
                spin->setValue(4);
                d.findChild<QCheckBox *>(QStringLiteral("chkHideLiving"))->setChecked(false);
            }));
            w.item("mnuReportsDescendants")->trigger();
        }
        QVERIFY(hide && !include);
        QCOMPARE(generations, 3);
        QVERIFY(QFile(pdf).size() > 0);
        QVERIFY(w.messages.last().text.contains(QStringLiteral("was written")));
        // The next report starts from the last choice.
        {
            ScopedModalDriver driver(reportDriver(pdf, [&](ReportOptionsDialog &d) {
                hide = d.findChild<QCheckBox *>(QStringLiteral("chkHideLiving"))->isChecked();
                generations = d.findChild<QSpinBox *>(QStringLiteral("spnGenerations"))->value();
            }));
            w.messages.enqueue(MsgResult::Yes); // replace the file
            w.item("mnuReportsAncestors")->trigger();
        }
        QVERIFY(!hide);
        QCOMPARE(generations, 4);
    }

    void reportWithTheLivingHidden()
    {
        Window w;
        ReportCommands commands(w.main->Tree(), w.main.get());
        const QString odt = w.dir.filePath(QStringLiteral("r.odt"));
        ReportOptionsDialog::Choices choices;
        QVERIFY(choices.privacy.hideLiving);
        QVERIFY(commands.WriteReport(Reports::ReportKind::Descendants, QStringLiteral("r1"),
                                     choices, odt));
        QVERIFY(QFile(odt).size() > 0);
        // No such person: a message, no file.
        const QString none = w.dir.filePath(QStringLiteral("none.pdf"));
        QVERIFY(!commands.WriteReport(Reports::ReportKind::Ancestors, QStringLiteral("zz"), choices,
                                      none));
        QVERIFY(w.messages.last().text.contains(QStringLiteral("no person")));
        QVERIFY(!QFile::exists(none));
    }

    void mainChartExportHidesTheLiving()
    {
        Window w;
        w.main->Tree().Select(QStringLiteral("c1")); // opens the rows down to Kit
        const QString svg = w.dir.filePath(QStringLiteral("chart.svg"));
        bool remembered = false;
        const auto driver = [&](bool hide) {
            return [&, hide](QDialog &d) {
                if (d.objectName() == QLatin1String("dlgExportOptions")) {
                    auto *box = d.findChild<QCheckBox *>(QStringLiteral("chkHideLiving"));
                    remembered = box->isChecked();
                    box->setChecked(hide);
                    return int(QDialog::Accepted);
                }
                if (auto *files = qobject_cast<QFileDialog *>(&d)) {
                    files->selectFile(svg);
                    return int(QDialog::Accepted);
                }
                return int(QDialog::Rejected);
            };
        };
        const auto text = [&svg] {
            QFile f(svg);
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        };
        {
            ScopedModalDriver scoped(driver(true));
            w.menu("mnuFileExportChart");
        }
        QVERIFY(!remembered); // nothing hidden at first
        const QString hidden = text();
        QVERIFY(hidden.contains(QStringLiteral("Ash Ada")) &&
                hidden.contains(QStringLiteral("Living")));
        QVERIFY2(!hidden.contains(QStringLiteral("Livvy")),
                 qPrintable(hidden.mid(hidden.indexOf(QStringLiteral("Livvy")) - 300, 400)));
        QVERIFY(!hidden.contains(QStringLiteral("Kit"))); // nor in the title
        {
            ScopedModalDriver scoped(driver(false));
            w.messages.enqueue(MsgResult::Yes); // replace the file
            w.menu("mnuFileExportChart");
        }
        QVERIFY(remembered);
        QVERIFY(text().contains(QStringLiteral("Livvy")));
    }

    // A title naming the selected person names the tree alone when the export leaves the
    // person's box out: Kit goes with Cid, marked private, above him.
    void mainChartTitleNamesNoPersonLeftOut()
    {
        Window w;
        {
            Genealogy::ModelSlice read =
                ModelStore::readTree(w.main->Db(), QStringLiteral("Family")).value();
            for (const Genealogy::PersonRow &row : read.rows) {
                Genealogy::PersonSide side;
                if (row.ID == QLatin1String("a1"))
                    side.privacy = Genealogy::Privacy::Private;
                read.model.persons.add(side);
            }
            QVERIFY(ModelStore::saveModel(w.main->Db(), QStringLiteral("Family"), read.rows,
                                          read.model));
        }
        w.main->Tree().Select(QStringLiteral("c1"));
        const QString svg = w.dir.filePath(QStringLiteral("kit.svg"));
        const auto exported = [&](bool includePrivate) {
            ScopedModalDriver scoped([&](QDialog &d) {
                if (d.objectName() == QLatin1String("dlgExportOptions")) {
                    d.findChild<QCheckBox *>(QStringLiteral("chkHideLiving"))->setChecked(false);
                    d.findChild<QCheckBox *>(QStringLiteral("chkIncludePrivate"))
                        ->setChecked(includePrivate);
                    return int(QDialog::Accepted);
                }
                if (auto *files = qobject_cast<QFileDialog *>(&d)) {
                    files->selectFile(svg);
                    return int(QDialog::Accepted);
                }
                return int(QDialog::Rejected);
            });
            if (QFile::exists(svg))
                w.messages.enqueue(MsgResult::Yes); // replace the file
            w.menu("mnuFileExportChart");
            QFile f(svg);
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        };
        QVERIFY(exported(true).contains(QStringLiteral("<title>Family - Kit Ash</title>")));
        const QString leftOut = exported(false);
        QVERIFY(leftOut.contains(QStringLiteral("<title>Family</title>")));
        QVERIFY(!leftOut.contains(QStringLiteral("Kit")) &&
                !leftOut.contains(QStringLiteral("Cid")));
        QVERIFY(leftOut.contains(QStringLiteral("Ada")));
    }

    void gedcomExportDialogPrivacy()
    {
        Window w;
        const QString ged = w.dir.filePath(QStringLiteral("family.ged"));
        bool hide = true, include = false;
        const auto driver = [&](bool tick) {
            return [&, tick](QDialog &d) {
                if (auto *ask = qobject_cast<dlgExportGedcom *>(&d)) {
                    hide = ask->chkHideLiving()->isChecked();
                    include = ask->chkIncludePrivate()->isChecked();
                    ask->chkHideLiving()->setChecked(tick);
                    return int(QDialog::Accepted);
                }
                if (auto *files = qobject_cast<QFileDialog *>(&d)) {
                    files->selectFile(ged);
                    return int(QDialog::Accepted);
                }
                return int(QDialog::Rejected);
            };
        };
        {
            ScopedModalDriver scoped(driver(true));
            w.menu("mnuFileExportGedcom");
        }
        // A backup stays whole unless the user asks otherwise.
        QVERIFY(!hide && include);
        QFile file(ged);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        file.close();
        QVERIFY(text.contains("Ada /Ash/"));
        QVERIFY(!text.contains("Livvy") && !text.contains("Kit") && !text.contains("2001") &&
                !text.contains("Place of Livvy"));
        {
            ScopedModalDriver scoped(driver(false));
            w.messages.enqueue(MsgResult::Yes);
            w.menu("mnuFileExportGedcom");
        }
        QVERIFY(hide); // remembered
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("Livvy"));
    }
};

QTEST_MAIN(tst_privacychoices)
#include "tst_privacychoices.moc"
