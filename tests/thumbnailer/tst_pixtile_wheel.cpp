// The mouse wheel over the thumbnails, alone and inside a scrolled panel: the rows scroll until
// their end, then the panel.
#include "Thumbnailer.h"
#include "ThumbnailerTestAccess.h"
#include "support_pixtile.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest>
#include <qtestspontaneevent.h>

using namespace Pixtile;

using namespace PixtileTestWait;

using namespace PixtileTestFiles;

namespace {

// Turns the wheel over a widget as the window system does (the event goes on to the parents
// that ignore it); true when someone took it.
bool turn(QWidget *over, QPoint angle, Qt::KeyboardModifiers modifiers = {}, QPoint pixels = {})
{
    const QPointF at(5, 5);
    QWheelEvent event(at, over->mapToGlobal(at), pixels, angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    // Delivered as from the window system: Qt passes only such wheel events on to the
    // parents (sendEvent would mark it as the program's own).
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(over, &event);
    return event.isAccepted();
}

QScrollBar *bar(Thumbnailer &control, const char *name)
{
    return control.findChild<QScrollBar *>(QLatin1String(name));
}

} // namespace

class TestPixtileWheel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (int i = 0; i < 25; ++i)
            QVERIFY(
                writeImage(m_dir.filePath(QStringLiteral("%1.bmp").arg(i, 2, 10, QLatin1Char('0'))),
                           8, 8, Qt::red));
    }

    void rowsScrollThenThePanel()
    {
        QScrollArea panel;
        auto *content = new QWidget;
        auto *layout = new QVBoxLayout(content);
        auto *control = new Thumbnailer(content);
        control->setBorderStyle(Thumbnailer::thbNone);
        control->setHasLabel(false);
        const int S = ThumbnailerTestAccess(*control).geometry().scrollBarSize;
        control->setFixedSize(300 + S, 220);
        layout->addWidget(control);
        layout->addSpacing(900);
        panel.setWidget(content);
        panel.resize(360, 400);
        panel.show();
        control->setPath(m_dir.path());
        QVERIFY(WaitShown(*control));
        QScrollBar *rows = bar(*control, "VScroll");
        QScrollBar *page = panel.verticalScrollBar();
        QCOMPARE(rows->maximum(), 4);
        QVERIFY(page->maximum() > 0);
        QWidget *surface = control->findChild<QWidget *>(QStringLiteral("picBase"));

        // A notch is a row, down to the last one; only then does the panel move.
        for (int row = 1; row <= 4; ++row) {
            QVERIFY(turn(surface, QPoint(0, -120)));
            QCOMPARE(rows->value(), row);
            QCOMPARE(page->value(), 0);
        }
        QCOMPARE(control->VisibleFirst(), 17);
        turn(surface, QPoint(0, -120));
        QCOMPARE(rows->value(), 4);
        QVERIFY(page->value() > 0);
        // Back up: the rows first, the panel where it is.
        const int panelAt = page->value();
        QVERIFY(turn(surface, QPoint(0, 120)));
        QCOMPARE(rows->value(), 3);
        QCOMPARE(page->value(), panelAt);

        // A fine wheel adds up to a row; a touchpad moves a row per row of pixels.
        QVERIFY(turn(surface, QPoint(0, 40)));
        QVERIFY(turn(surface, QPoint(0, 40)));
        QCOMPARE(rows->value(), 3);
        QVERIFY(turn(surface, QPoint(0, 40)));
        QCOMPARE(rows->value(), 2);
        const int rowPitch = ThumbnailerTestAccess(*control).geometry().rowPitch;
        QVERIFY(turn(surface, QPoint(0, 0), {}, QPoint(0, 2 * rowPitch)));
        QCOMPARE(rows->value(), 0);
        QCOMPARE(page->value(), panelAt);
        // At the top the panel takes it.
        turn(surface, QPoint(0, 120));
        QVERIFY(page->value() < panelAt);
        // Sideways there is nothing to scroll here: the rows stay.
        turn(control, QPoint(0, -120), Qt::ShiftModifier);
        QCOMPARE(rows->value(), 0);
    }
};

QTEST_MAIN(TestPixtileWheel)
#include "tst_pixtile_wheel.moc"
