#include "AppearancePage.h"
#include "BehaviorPage.h"
#include "ModalSeam.h"
#include "PagePreview.h"
#include "PageRules.h"
#include "ScriptedMessageService.h"
#include "Thumbnailer.h"
#include "ThumbnailerPropertiesDialog.h"
#include "TranslateColor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using namespace Pixtile;

// An object with the viewer's properties, standing in for the control: the pages only know
// property names.
class FakeViewer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int ThumbWidth MEMBER ThumbWidth)
    Q_PROPERTY(int ThumbHeight MEMBER ThumbHeight)
    Q_PROPERTY(int ThumbOffset MEMBER ThumbOffset)
    Q_PROPERTY(int ThumbSpace MEMBER ThumbSpace)
    Q_PROPERTY(int ThumbBorderStyle MEMBER ThumbBorderStyle)
    Q_PROPERTY(int ThumbBorderInStyle MEMBER ThumbBorderInStyle)
    Q_PROPERTY(int LabelBorderStyle MEMBER LabelBorderStyle)
    Q_PROPERTY(bool HasLabel MEMBER HasLabel)
    Q_PROPERTY(bool GetType MEMBER GetType)
    Q_PROPERTY(bool GetSize MEMBER GetSize)
    Q_PROPERTY(bool GetDate MEMBER GetDate)
    Q_PROPERTY(bool GetDims MEMBER GetDims)
    Q_PROPERTY(bool GetExt MEMBER GetExt)
    Q_PROPERTY(bool CanDelete MEMBER CanDelete)
    Q_PROPERTY(bool DragDrop MEMBER DragDrop)
    Q_PROPERTY(bool FSOEnable MEMBER FSOEnable)
    Q_PROPERTY(bool Tooltips MEMBER Tooltips)
    Q_PROPERTY(bool ShowHidden MEMBER ShowHidden)
    Q_PROPERTY(bool ShowSystem MEMBER ShowSystem)
    Q_PROPERTY(bool ShowReadOnly MEMBER ShowReadOnly)
    Q_PROPERTY(bool UseThumbnailCache MEMBER UseThumbnailCache)
    Q_PROPERTY(QString Pattern MEMBER Pattern)

public:
    int ThumbWidth = 60, ThumbHeight = 60, ThumbOffset = 10, ThumbSpace = 10;
    int ThumbBorderStyle = 1, ThumbBorderInStyle = 0, LabelBorderStyle = 3;
    bool HasLabel = true;
    bool GetType = false, GetSize = false, GetDate = false, GetDims = false, GetExt = false;
    bool CanDelete = false, DragDrop = false, FSOEnable = false, Tooltips = true;
    bool ShowHidden = true, ShowSystem = true, ShowReadOnly = true, UseThumbnailCache = true;
    QString Pattern = "*.bmp";
};

class TestPages : public QObject
{
    Q_OBJECT

private:
    template <typename T> static T *child(QWidget *page, const char *name)
    {
        T *found = page->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("missing child %s", name);
        return found;
    }

private slots:
    void metricRepairRules()
    {
        using namespace PageRules;
        QCOMPARE(RepairMetric("250", kWidthRange), QString("200"));
        QCOMPARE(RepairMetric("", kWidthRange), QString("60"));
        QCOMPARE(RepairMetric("abc", kHeightRange), QString("60"));
        QCOMPARE(RepairMetric("5", kWidthRange), QString("20"));
        QCOMPARE(RepairMetric("120", kWidthRange), QString("120"));
        QCOMPARE(RepairMetric("", kOffsetRange), QString("1"));
        QCOMPARE(RepairMetric("0", kOffsetRange), QString("1"));
        QCOMPARE(RepairMetric("11", kOffsetRange), QString("10"));
        QCOMPARE(RepairMetric("x", kSpaceRange), QString("1"));
        QCOMPARE(RepairMetric("21", kSpaceRange), QString("20"));
        QVERIFY(!IsNumber(""));
        QVERIFY(!IsNumber("  "));
        QVERIFY(IsNumber(" 12 "));
        QCOMPARE(NumberOf("12.6"), 13);
    }

    void borderWidthsAndOffsetCheck()
    {
        using namespace PageRules;
        QCOMPARE(PageRules::OuterBorderWidth(3), 1);
        QCOMPARE(PageRules::OuterBorderWidth(4), 2);
        QCOMPARE(PageRules::InnerBorderWidth(0), 0);
        QCOMPARE(PageRules::InnerBorderWidth(4), 1); // thiThinSunkenDark is thin like the others
        QCOMPARE(PageRules::InnerBorderWidth(5), 2);
        QCOMPARE(PageRules::InnerBorderWidth(9), 0);
        QCOMPARE(PageRules::LabelBorderWidth(7), 2);
        // 60 - 4 - 20 - 0 = 36: no change; with height 20 the offset becomes 3.
        QCOMPARE(CheckedOffset(100, 60, 10, 2, 0), std::optional<int>());
        QCOMPARE(CheckedOffset(100, 20, 10, 2, 0), std::optional<int>(3));
        // Exactly 10 pixels left is enough.
        QCOMPARE(CheckedOffset(32, 100, 10, 1, 0), std::optional<int>());
        QCOMPARE(CheckedOffset(31, 100, 10, 1, 0), std::optional<int>(9));
        QCOMPARE(BorderNames().size(), 8);
        QCOMPARE(BorderInNames().size(), 9);
        QCOMPARE(BorderInNames().at(8), QString("thiBump"));
    }

    void patternSplitAndBuild()
    {
        using namespace PageRules;
        PatternChecks checks{};
        SplitPattern("*.JPG;*.gif", checks);
        QCOMPARE(BuildPattern(checks), QString("*.gif"));
        PatternChecks all;
        all.fill(true);
        QCOMPARE(BuildPattern(all),
                 QString("*.bmp;*.jpg;*.jpeg;*.gif;*.dib;*.wmf;*.emf;*.ico;*.cur;*.png"));
        PatternChecks none{};
        SplitPattern("*.bmp;*.png;;*.cur", none);
        QVERIFY(none[0] && none[8] && none[9] && !none[1]);
        QCOMPARE(BuildPattern(PatternChecks{}), QString());
    }

    void appearanceLoadsWithoutMarkingChanged()
    {
        FakeViewer viewer;
        viewer.ThumbWidth = 120;
        viewer.ThumbHeight = 80;
        viewer.ThumbOffset = 4;
        viewer.ThumbBorderStyle = 6;
        viewer.ThumbBorderInStyle = 8;
        viewer.HasLabel = false;
        AppearancePage page;
        QSignalSpy changed(&page, &AppearancePage::changed);
        page.SelectionChanged(&viewer);
        QCOMPARE(changed.count(), 0);
        QVERIFY(!page.isChanged());
        QCOMPARE(child<QLineEdit>(&page, "txtThumbWidth")->text(), QString("120"));
        QCOMPARE(child<QLineEdit>(&page, "txtThumbOffset")->text(), QString("4"));
        QCOMPARE(child<QScrollBar>(&page, "HSize")->value(), 120);
        QCOMPARE(child<QScrollBar>(&page, "VSize")->value(), 80);
        QCOMPARE(child<QComboBox>(&page, "cboThumbBorderStyle")->currentText(),
                 QString("thoEtched"));
        QCOMPARE(child<QComboBox>(&page, "cboThumbBorderInStyle")->currentText(),
                 QString("thiBump"));
        QVERIFY(!child<QCheckBox>(&page, "chkHasLabel")->isChecked());
        QCOMPARE(child<QComboBox>(&page, "cboLabelBorderStyle")->toolTip(),
                 QString("Label borders style"));
    }

    void appearanceEditsRepairAndMirror()
    {
        FakeViewer viewer;
        AppearancePage page;
        page.SelectionChanged(&viewer);
        QSignalSpy changed(&page, &AppearancePage::changed);
        auto *width = child<QLineEdit>(&page, "txtThumbWidth");
        auto *hsize = child<QScrollBar>(&page, "HSize");

        width->setText("250");
        QCOMPARE(width->text(), QString("200"));
        QCOMPARE(hsize->value(), 200);
        width->setText("");
        QCOMPARE(width->text(), QString("60"));
        QCOMPARE(hsize->value(), 60);
        width->setText("5");
        QCOMPARE(width->text(), QString("20"));
        QCOMPARE(hsize->value(), 20);
        QVERIFY(page.isChanged());
        QVERIFY(changed.count() > 0);

        // Moving the bar writes the box.
        child<QScrollBar>(&page, "VSize")->setValue(150);
        QCOMPARE(child<QLineEdit>(&page, "txtThumbHeight")->text(), QString("150"));

        // A key is dropped while the box does not hold a number.
        auto *space = child<QLineEdit>(&page, "txtThumbSpace");
        space->setText("7");
        QTest::keyClick(space, Qt::Key_End);
        QTest::keyClick(space, Qt::Key_Backspace);
        QCOMPARE(space->text(), QString("1")); // empty is repaired to 1
        space->setText("12");
        QCOMPARE(space->text(), QString("12"));
    }

    void appearanceOffsetCheck()
    {
        FakeViewer viewer;
        viewer.ThumbWidth = 100;
        viewer.ThumbHeight = 60;
        viewer.ThumbOffset = 10;
        viewer.ThumbBorderStyle = 4; // thoRaised, 2 pixels
        viewer.ThumbBorderInStyle = 0;
        AppearancePage page;
        page.SelectionChanged(&viewer);
        auto *offset = child<QLineEdit>(&page, "txtThumbOffset");
        QCOMPARE(offset->text(), QString("10"));
        child<QLineEdit>(&page, "txtThumbHeight")->setText("20");
        QCOMPARE(offset->text(), QString("3"));

        // A thicker inner border, chosen from the list, counts at the next metric edit.
        child<QComboBox>(&page, "cboThumbBorderInStyle")->setCurrentIndex(5);
        child<QLineEdit>(&page, "txtThumbOffset")->setText("10");
        QCOMPARE(offset->text(), QString("1"));
    }

    void appearanceApplyWritesByName()
    {
        FakeViewer viewer;
        AppearancePage page;
        page.SelectionChanged(&viewer);
        child<QLineEdit>(&page, "txtThumbWidth")->setText("90");
        child<QLineEdit>(&page, "txtThumbSpace")->setText("3");
        child<QComboBox>(&page, "cboThumbBorderStyle")->setCurrentIndex(7);
        child<QComboBox>(&page, "cboThumbBorderInStyle")->setCurrentIndex(4);
        child<QComboBox>(&page, "cboLabelBorderStyle")->setCurrentIndex(0);
        child<QCheckBox>(&page, "chkHasLabel")->setChecked(false);
        page.ApplyChanges(&viewer);
        QCOMPARE(viewer.ThumbWidth, 90);
        QCOMPARE(viewer.ThumbHeight, 60);
        QCOMPARE(viewer.ThumbSpace, 3);
        QCOMPARE(viewer.ThumbBorderStyle, 7);
        QCOMPARE(viewer.ThumbBorderInStyle, 4);
        QCOMPARE(viewer.LabelBorderStyle, 0);
        QCOMPARE(viewer.HasLabel, false);
    }

    void previewDrawsCellAndLabel()
    {
        PagePreview::Settings s;
        s.width = 100;
        s.height = 60;
        s.offset = 5;
        s.borderStyle = 4; // raised: light outside, highlight inside, top-left
        s.borderInStyle = 0;
        s.hasLabel = true;
        s.labelBorderStyle = 3;
        s.textHeight = 13;
        QImage image(200, 200, QImage::Format_RGB32);
        const QColor back(1, 2, 3);
        PagePreview::Paint(image, s, back);
        const QRect cell = PagePreview::CellRect(image.size(), s);
        // label height 13 + 2 + 1 = 16; top = (200 - 16 - 60 - 1) / 2 = 61.5 -> 62
        QCOMPARE(PagePreview::LabelHeight(s), 16);
        QCOMPARE(cell, QRect(50, 62, 100, 60));
        QCOMPARE(image.pixel(cell.topLeft()), SystemColorValue(COLOR_3DLIGHT).rgb());
        QCOMPARE(image.pixel(cell.bottomRight()), SystemColorValue(COLOR_3DDKSHADOW).rgb());
        QCOMPARE(image.pixel(cell.topLeft() + QPoint(1, 1)),
                 SystemColorValue(COLOR_BTNHIGHLIGHT).rgb());
        // Inside the frame: the window colour; the offset strip keeps the background.
        QCOMPARE(image.pixel(cell.center()), SystemColorValue(COLOR_WINDOW).rgb());
        QCOMPARE(image.pixel(cell.topLeft() + QPoint(3, 3)), back.rgb());
        const QRect label = PagePreview::LabelRect(image.size(), s);
        QCOMPARE(label.top(), cell.top() + 61);
        QCOMPARE(image.pixel(label.topLeft()), SystemColorValue(COLOR_3DDKSHADOW).rgb());
        QCOMPARE(image.pixel(label.center()), SystemColorValue(COLOR_WINDOW).rgb());

        // Without a label nothing is drawn below the cell.
        s.hasLabel = false;
        PagePreview::Paint(image, s, back);
        QCOMPARE(image.pixel(label.center()), back.rgb());
    }

    void behaviorLoadsAndSplitsPattern()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        FakeViewer viewer;
        viewer.Pattern = "*.JPG;*.gif";
        viewer.GetDims = true;
        viewer.ShowHidden = false;
        BehaviorPage page;
        QSignalSpy changed(&page, &BehaviorPage::changed);
        page.SelectionChanged(&viewer);
        QCOMPARE(child<QLineEdit>(&page, "txtPattern")->text(), QString("*.gif"));
        for (int i = 0; i < PageRules::kPatternBoxCount; ++i) {
            const auto *box =
                child<QCheckBox>(&page, QByteArray("chkPtn_") + QByteArray::number(i));
            QCOMPARE(box->isChecked(), i == 3);
        }
        QVERIFY(child<QCheckBox>(&page, "chkGetDims")->isChecked());
        QVERIFY(!child<QCheckBox>(&page, "chkShowHidden")->isChecked());
        QVERIFY(child<QCheckBox>(&page, "chkTooltips")->isChecked());
        QCOMPARE(changed.count(), 0);
        QCOMPARE(messages.count(), 0);

        // A second load starts from a clean set of boxes.
        viewer.Pattern = "*.bmp;*.jpg";
        page.SelectionChanged(&viewer);
        QCOMPARE(child<QLineEdit>(&page, "txtPattern")->text(), QString("*.bmp;*.jpg"));
        QVERIFY(!child<QCheckBox>(&page, "chkPtn_3")->isChecked());
    }

    void behaviorRefusesEmptyPattern()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        FakeViewer viewer;
        viewer.Pattern = "*.gif";
        BehaviorPage page;
        page.SelectionChanged(&viewer);
        auto *gif = child<QCheckBox>(&page, "chkPtn_3");
        gif->click(); // the only checked box
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text,
                 QString("If the Pattern string is empty, the Pattern property of the control "
                         "will not change."));
        QCOMPARE(messages.last().title, QString("Empty string"));
        QCOMPARE(messages.last().icon, MsgIcon::Critical);
        QCOMPARE(messages.last().buttons, MsgButtons::OkOnly);
        QVERIFY(child<QCheckBox>(&page, "chkPtn_0")->isChecked());
        QCOMPARE(child<QLineEdit>(&page, "txtPattern")->text(), QString("*.bmp"));
        QVERIFY(page.isChanged());

        child<QPushButton>(&page, "cmdCheckAll")->click();
        QCOMPARE(child<QLineEdit>(&page, "txtPattern")->text(),
                 QString("*.bmp;*.jpg;*.jpeg;*.gif;*.dib;*.wmf;*.emf;*.ico;*.cur;*.png"));
        child<QPushButton>(&page, "cmdUnCheckAll")->click();
        QCOMPARE(child<QLineEdit>(&page, "txtPattern")->text(), QString("*.bmp"));
        QCOMPARE(messages.count(), 1);
    }

    void behaviorApplyWritesEverySwitch()
    {
        FakeViewer viewer;
        BehaviorPage page;
        page.SelectionChanged(&viewer);
        child<QCheckBox>(&page, "chkGetType")->setChecked(true);
        child<QCheckBox>(&page, "chkCanDelete")->setChecked(true);
        child<QCheckBox>(&page, "chkTooltips")->setChecked(false);
        QVERIFY(child<QCheckBox>(&page, "chkUseThumbnailCache")->isChecked());
        child<QCheckBox>(&page, "chkUseThumbnailCache")->setChecked(false);
        child<QCheckBox>(&page, "chkPtn_1")->click();
        page.ApplyChanges(&viewer);
        QVERIFY(!viewer.UseThumbnailCache);
        QVERIFY(viewer.GetType);
        QVERIFY(viewer.CanDelete);
        QVERIFY(!viewer.Tooltips);
        QVERIFY(viewer.ShowSystem);
        QCOMPARE(viewer.Pattern, QString("*.bmp;*.jpg"));
        QCOMPARE(BehaviorPage::SwitchNames().size(), std::size_t(13));
    }

    void pagesWorkOnTheRealControl()
    {
        // The border styles are enumerations on the control; the pages write and read them
        // as list positions.
        Thumbnailer control;
        control.setThumbBorderInStyle(Thumbnailer::thiThinSunkenDark);
        control.setPattern("*.JPG;*.gif");
        ThumbnailerPropertiesDialog dialog(&control);
        QCOMPARE(child<QComboBox>(&dialog, "cboThumbBorderInStyle")->currentIndex(), 4);
        QCOMPARE(child<QComboBox>(&dialog, "cboThumbBorderStyle")->currentIndex(), 1);
        QCOMPARE(child<QLineEdit>(&dialog, "txtPattern")->text(), QString("*.gif"));
        child<QComboBox>(&dialog, "cboThumbBorderStyle")->setCurrentIndex(5);
        child<QComboBox>(&dialog, "cboLabelBorderStyle")->setCurrentIndex(7);
        child<QLineEdit>(&dialog, "txtThumbHeight")->setText("120");
        child<QCheckBox>(&dialog, "chkGetSize")->setChecked(true);
        dialog.Apply();
        QCOMPARE(control.ThumbBorderStyle(), Thumbnailer::thoSunken);
        QCOMPARE(control.LabelBorderStyle(), Thumbnailer::thoBump);
        QCOMPARE(control.ThumbHeight(), 120);
        QVERIFY(control.GetSize());
        QCOMPARE(control.Pattern(), QString("*.gif"));
    }

    void dialogAppliesOnlyOnApplyOrOk()
    {
        FakeViewer viewer;
        ThumbnailerPropertiesDialog dialog(&viewer);
        auto *apply = dialog.findChild<QPushButton *>("cmdApply");
        QVERIFY(apply && !apply->isEnabled());
        child<QLineEdit>(&dialog, "txtThumbWidth")->setText("80");
        QVERIFY(apply->isEnabled());
        QCOMPARE(viewer.ThumbWidth, 60);
        apply->click();
        QCOMPARE(viewer.ThumbWidth, 80);
        QVERIFY(!apply->isEnabled());
        QVERIFY(dialog.hasApplied());

        child<QCheckBox>(&dialog, "chkGetExt")->setChecked(true);
        dialog.findChild<QPushButton *>("cmdCancel")->click();
        QVERIFY(!viewer.GetExt);

        // Through the modal seam: OK writes.
        ScopedModalDriver driver([](QDialog &d) {
            d.findChild<QCheckBox *>("chkGetExt")->setChecked(true);
            d.findChild<QPushButton *>("cmdOK")->click();
            return d.result();
        });
        QVERIFY(ThumbnailerPropertiesDialog::Edit(&viewer));
        QVERIFY(viewer.GetExt);
    }
};

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
