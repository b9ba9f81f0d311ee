// The control's public settings: limits, the offset rule, the saved design (defaults skipped,
// the inner border key), loading without listing, tooltips and the about box.
#include "ModalSeam.h"
#include "PropertyBag.h"
#include "ThumbPersistence.h"
#include "Thumbnailer.h"
#include "ThumbnailerTestAccess.h"
#include "cToolTip.h"
#include "support_pixtile.h"

#include <QDialog>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Pixtile;

using namespace PixtileTestWait;

class tst_properties : public QObject
{
    Q_OBJECT

private slots:
    void limits_data();
    void limits();
    void offsetRuleLowersOffset();
    void defaultsAreNotSaved();
    void roundTrip();
    void innerBorderKeyKeepsSmallIn();
    void loadedPathShowsNothingUntilAsked();
    void tooltipsSwitchOffAndOn();
    void aboutBox();

private:
    QTemporaryDir m_dir;
};

void tst_properties::limits_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("stored");
    QTest::newRow("width low") << "ThumbWidth" << 10 << 20;
    QTest::newRow("width high") << "ThumbWidth" << 500 << 200;
    QTest::newRow("height low") << "ThumbHeight" << 0 << 20;
    QTest::newRow("height ok") << "ThumbHeight" << 90 << 90;
    QTest::newRow("offset low") << "ThumbOffset" << 0 << 1;
    QTest::newRow("offset high") << "ThumbOffset" << 15 << 10;
    QTest::newRow("space low") << "ThumbSpace" << 0 << 1;
    QTest::newRow("space high") << "ThumbSpace" << 30 << 20;
}

void tst_properties::limits()
{
    QFETCH(QString, property);
    QFETCH(int, value);
    QFETCH(int, stored);
    Thumbnailer c;
    QVERIFY(c.setProperty(property.toLatin1(), value));
    QCOMPARE(c.property(property.toLatin1()).toInt(), stored);
}

void tst_properties::offsetRuleLowersOffset()
{
    Thumbnailer c;
    QSignalSpy changed(&c, &Thumbnailer::PropertyChanged);
    c.setThumbWidth(20); // m = 20: 20 - 2 - 20 - 0 < 10
    QCOMPARE(c.ThumbOffset(), 4);
    QVERIFY(changed.contains(QVariantList{QStringLiteral("ThumbOffset")}));
    // A thick inner border lowers it further.
    c.setThumbBorderInStyle(Thumbnailer::thiSunken);
    QCOMPARE(c.ThumbOffset(), 2);
}

void tst_properties::defaultsAreNotSaved()
{
    QSettings settings(m_dir.filePath("defaults.ini"), QSettings::IniFormat);
    PropertyBag bag(settings, "Thumbnailer");
    Thumbnailer c;
    c.WriteProperties(bag);
    settings.sync();
    settings.beginGroup("Thumbnailer");
    QVERIFY(settings.childKeys().isEmpty());
}

void tst_properties::roundTrip()
{
    QSettings settings(m_dir.filePath("round.ini"), QSettings::IniFormat);
    PropertyBag bag(settings, "Thumbnailer");
    {
        Thumbnailer c;
        c.setUserMode(false);
        c.setBorderStyle(Thumbnailer::thbNone);
        c.setBackColor(0x00336699);
        c.setThumbWidth(90);
        c.setThumbSpace(4);
        c.setLabelBorderStyle(Thumbnailer::thoEtched);
        c.setHasLabel(false);
        c.setLabelEdit(Thumbnailer::thlAutomatic);
        c.setCanDelete(true);
        c.setDragDrop(true);
        c.setSorted(Thumbnailer::thsBySize);
        c.setSortOrder(Thumbnailer::thdDescending);
        c.setTooltips(false);
        c.setGetDims(true);
        c.setUseThumbnailCache(false);
        c.setPattern("*.jpg;*.png");
        c.setPath(m_dir.path());
        QVERIFY(WaitShown(c));
        c.WriteProperties(bag);
    }
    settings.sync();
    settings.beginGroup("Thumbnailer");
    QCOMPARE(settings.childKeys().size(), 16);
    QVERIFY(!settings.contains("ThumbHeight")); // still its default
    QCOMPARE(settings.value("ThumbWidth").toInt(), 90);
    settings.endGroup();

    Thumbnailer d;
    d.ReadProperties(bag);
    QCOMPARE(d.BorderStyle(), Thumbnailer::thbNone);
    QCOMPARE(d.BackColor(), 0x00336699u);
    QCOMPARE(d.ThumbWidth(), 90);
    QCOMPARE(d.ThumbHeight(), 60);
    QCOMPARE(d.ThumbSpace(), 4);
    QCOMPARE(d.LabelBorderStyle(), Thumbnailer::thoEtched);
    QCOMPARE(d.HasLabel(), false);
    QCOMPARE(d.LabelEdit(), Thumbnailer::thlAutomatic);
    QCOMPARE(d.CanDelete(), true);
    QCOMPARE(d.DragDrop(), true);
    QVERIFY(d.findChild<QWidget *>("picBase")->acceptDrops());
    QCOMPARE(d.Sorted(), Thumbnailer::thsBySize);
    QCOMPARE(d.SortOrder(), Thumbnailer::thdDescending);
    QCOMPARE(d.Tooltips(), false);
    QCOMPARE(ThumbnailerTestAccess(d).toolTip(), nullptr);
    QCOMPARE(d.GetDims(), true);
    QCOMPARE(d.UseThumbnailCache(), false);
    QCOMPARE(d.Pattern(), QStringLiteral("*.jpg;*.png"));
    QCOMPARE(d.Path(), m_dir.path() + '/');
    QCOMPARE(d.frameShape(), QFrame::NoFrame);

    // Writing the loaded control again gives the same stored keys.
    QSettings again(m_dir.filePath("again.ini"), QSettings::IniFormat);
    PropertyBag bag2(again, "Thumbnailer");
    d.WriteProperties(bag2);
    again.sync();
    again.beginGroup("Thumbnailer");
    settings.beginGroup("Thumbnailer");
    QCOMPARE(again.childKeys(), settings.childKeys());
}

void tst_properties::innerBorderKeyKeepsSmallIn()
{
    QSettings settings(m_dir.filePath("inner.ini"), QSettings::IniFormat);
    PropertyBag bag(settings, QString());
    Thumbnailer c;
    c.setThumbBorderInStyle(Thumbnailer::thiEtched);
    c.WriteProperties(bag);
    QCOMPARE(settings.value("ThumbBorderinStyle").toInt(), 7);
    QVERIFY(!settings.contains("ThumbBorderInStyle"));
    // A saved design written by hand under that key loads.
    settings.setValue("ThumbBorderinStyle", 2);
    Thumbnailer d;
    d.ReadProperties(bag);
    QCOMPARE(d.ThumbBorderInStyle(), Thumbnailer::thiThinRaisedDark);
    QCOMPARE(ThumbPersistence::DefaultOf("ThumbBorderInStyle"), QVariant(0));
    // Stored values out of range are limited; enumerations are taken as they are.
    settings.setValue("ThumbWidth", 900);
    settings.setValue("LabelBorderStyle", 12);
    d.ReadProperties(bag);
    QCOMPARE(d.ThumbWidth(), 200);
    QCOMPARE(int(d.LabelBorderStyle()), 12);
}

void tst_properties::loadedPathShowsNothingUntilAsked()
{
    QTemporaryDir pictures;
    PixtileTestFiles::writeImage(pictures.filePath("a.bmp"), 30, 30, Qt::red);
    PixtileTestFiles::writeImage(pictures.filePath("b.bmp"), 30, 30, Qt::blue);
    QSettings settings(m_dir.filePath("path.ini"), QSettings::IniFormat);
    PropertyBag bag(settings, "T");
    bag.WriteProperty("Path", pictures.path() + '/', QString());

    Thumbnailer c;
    c.resize(300, 200);
    c.show();
    QSignalSpy listed(&c, &Thumbnailer::ItemsCountChange);
    c.ReadProperties(bag);
    QCOMPARE(c.Path(), pictures.path() + '/');
    QCOMPARE(c.Items(), 0);
    QCOMPARE(listed.count(), 0);
    c.Redraw();
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Items(), 2);
}

void tst_properties::tooltipsSwitchOffAndOn()
{
    Thumbnailer c;
    cToolTip *first = ThumbnailerTestAccess(c).toolTip();
    QVERIFY(first);
    c.setTooltips(false);
    QCOMPARE(ThumbnailerTestAccess(c).toolTip(), nullptr);
    c.setTooltips(true);
    QVERIFY(ThumbnailerTestAccess(c).toolTip());
    // At design time the switch is only stored.
    c.setUserMode(false);
    c.setTooltips(false);
    QVERIFY(ThumbnailerTestAccess(c).toolTip());
    QCOMPARE(c.Tooltips(), false);
}

void tst_properties::aboutBox()
{
    QString title;
    bool picture = false;
    ScopedModalDriver driver([&](QDialog &dialog) {
        title = dialog.windowTitle();
        const QLabel *label = dialog.findChild<QLabel *>("picAbout");
        picture = label && !label->pixmap().isNull();
        return int(QDialog::Accepted);
    });
    Thumbnailer c;
    c.ShowAboutBox();
    QCOMPARE(title, QStringLiteral("About"));
    QVERIFY(picture);
}

QTEST_MAIN(tst_properties)
#include "tst_properties.moc"
