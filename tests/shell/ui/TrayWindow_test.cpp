// The window and the tray as the user meets them: the frame placed at the saved position and
// kept on a screen, the window coming back when the notification area goes, and the donation
// details read from their first line.
#include "ShellRig.h"
#include "shell/ui/LedLamp.h"
#include "shell/ui/uFrmMainTavlor.h"
#include "text/WidgetNames.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;

namespace {
// Runs a check at the window's first paint.
class PaintWatch final : public QObject
{
public:
    explicit PaintWatch(std::function<void()> check) : m_check(std::move(check)) {}
    bool seen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            m_check();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_check;
};

auto savedAt(int x, int y)
{
    return [x, y](UsageState& state) {
        state.windowLeft = x;
        state.windowTop = y;
    };
}
} // namespace

class TrayWindowTest final : public QObject
{
    Q_OBJECT
private slots:
    void doubleClickPlacesTheFrameAtTheSavedPositionOnAScreen_data();
    void doubleClickPlacesTheFrameAtTheSavedPositionOnAScreen();
    void trayHostGoingAwayShowsTheHiddenWindow();
    void aWindowHiddenInTheTrayIsUpToDateTheMomentItIsShown();
    void theGaugeIsMeasuredOnShowingNotWhileHidden();
    void donationDetailsShowTheirFirstLine();
};

void TrayWindowTest::doubleClickPlacesTheFrameAtTheSavedPositionOnAScreen_data()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QTest::addColumn<QPoint>("saved");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("on screen") << QPoint(60, 40) << QPoint(60, 40);
    QTest::newRow("fresh file") << QPoint(0, 0) << screen.topLeft();
    QTest::newRow("screen gone") << QPoint(screen.right() + 2000, 40) << QPoint(-1, 40);
    QTest::newRow("above the screen") << QPoint(60, -500) << QPoint(60, screen.top());
}

void TrayWindowTest::doubleClickPlacesTheFrameAtTheSavedPositionOnAScreen()
{
    QFETCH(QPoint, saved);
    QFETCH(QPoint, expected);
    ShellRig rig(savedAt(saved.x(), saved.y()), true);
    rig.app->start();
    QVERIFY(QTest::qWaitFor([&rig] { return !rig.window().isVisible(); }));
    emit rig.app->tray().doubleClicked();
    QVERIFY(rig.window().isVisible());
    QTest::qWait(100);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = rig.window().frameGeometry();
    if (expected.x() < 0) {
        // Moved back onto the screen, as far right as it fits.
        QCOMPARE(frame.right(), std::min(screen.right(), frame.right()));
        QVERIFY(screen.contains(frame.topLeft()));
        QCOMPARE(frame.top(), expected.y());
    } else {
        QCOMPARE(frame.topLeft(), expected);
    }
    // What the next save writes is where the frame stands: no creep.
    rig.app->SaveUsageData();
    QCOMPARE(rig.store->savedPositions.back(), frame.topLeft());
}

void TrayWindowTest::trayHostGoingAwayShowsTheHiddenWindow()
{
    ShellRig rig({}, true);
    rig.app->start();
    QVERIFY(QTest::qWaitFor([&rig] { return !rig.window().isVisible(); }));
    rig.app->tCheckTimer();
    QVERIFY(!rig.window().isVisible()); // the host is there: the program stays in the tray

    rig.trayAvailable = false;
    rig.app->tCheckTimer();
    QVERIFY(rig.window().isVisible());
    QVERIFY(!rig.window().isMinimized());

    // Without a tray, minimising keeps the window reachable instead of hiding it.
    rig.window().showMinimized();
    QTest::qWait(20);
    rig.app->tCheckTimer();
    QVERIFY(rig.window().isVisible());

    // Back with a host, the window stays until the user sends it away.
    rig.window().showNormal();
    rig.trayAvailable = true;
    rig.app->tCheckTimer();
    QVERIFY(rig.window().isVisible());
}

// While hidden the labels wait; the tray's hint does not. Shown again, every widget shows this
// second's figures before the first paint, without waiting for the next tick.
void TrayWindowTest::aWindowHiddenInTheTrayIsUpToDateTheMomentItIsShown()
{
    ShellRig rig({}, true);
    rig.app->start();
    QVERIFY(QTest::qWaitFor([&rig] { return !rig.window().isVisible(); }));
    rig.goOnline();
    for (int second = 0; second < 3; ++second) {
        rig.clock->advanceMs(1000);
        rig.rows->rows[1].rxBytes += 40000;
        rig.app->tCheckTimer();
    }
    const char* const labels[] = {names::lcon,   names::lMit, names::lOTS,
                                  names::lotAll, names::lIn,  names::lInS};
    const ViewModel& view = rig.app->view();
    QCOMPARE(rig.app->tray().hint(), QString::fromStdString(view.hint(kTrayIcon)));
    QVERIFY(rig.app->tray().hint().startsWith(QStringLiteral("Zeit: 0 Stunden, 0 Minuten, 3 Sekunden.")));
    QVERIFY(rig.find<QLabel>(names::lcon)->text() != QStringLiteral("Mobil"));

    QStringList paintedStale;
    PaintWatch watch([&] {
        for (const char* name : labels) {
            if (rig.find<QLabel>(name)->text() != QString::fromStdString(view.text(name))) {
                paintedStale << QLatin1String(name);
            }
        }
    });
    rig.window().installEventFilter(&watch);
    rig.app->tray().ShowFromTray();
    for (const char* name : labels) {
        QCOMPARE(rig.find<QLabel>(name)->text(), QString::fromStdString(view.text(name)));
    }
    QCOMPARE(rig.find<QLabel>(names::lcon)->text(), QStringLiteral("Mobil"));
    QCOMPARE(rig.find<LedLamp>(names::LEd)->color(), QColor(0, 255, 0));
    QCOMPARE(rig.window().statusPanel(0)->text(), QString::fromStdString(view.text(names::sBar)));
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window()));
    QVERIFY(watch.seen);
    QVERIFY2(paintedStale.isEmpty(), qPrintable(paintedStale.join(", ")));

    // Shown, a tick writes its labels at once again.
    rig.clock->advanceMs(1000);
    rig.app->tCheckTimer();
    QCOMPARE(rig.find<QLabel>(names::lOTS)->text(), QStringLiteral("0 Stunden, 0 Minuten, 4 Sekunden."));
}

// Nobody sees the gauge of a hidden window: the processor times are not read while it is in the
// tray, and the moment it is shown the gauge shows the load since the last reading.
void TrayWindowTest::theGaugeIsMeasuredOnShowingNotWhileHidden()
{
    ShellRig rig({}, true);
    rig.times->times = CpuTimes{1000, 1000, 1};
    rig.app->tGraphTimer();
    QCOMPARE(rig.times->asked, 1);
    rig.app->start();
    QVERIFY(QTest::qWaitFor([&rig] { return !rig.window().isVisible(); }));
    rig.times->times = CpuTimes{1500, 2000, 1}; // half of the time idle
    rig.app->tGraphTimer();
    rig.app->tGraphTimer();
    QCOMPARE(rig.times->asked, 1);

    rig.app->tray().ShowFromTray();
    QCOMPARE(rig.times->asked, 2);
    QCOMPARE(rig.find<QLabel>(names::lCpu)->text(), QStringLiteral("50%"));
    rig.app->tGraphTimer();
    QCOMPARE(rig.times->asked, 3);
}

void TrayWindowTest::donationDetailsShowTheirFirstLine()
{
    ShellRig rig;
    rig.app->start();
    rig.window().setDesignWidth(TfrmTavlor::kExpandedWidth);
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window()));
    auto* memo = rig.find<QPlainTextEdit>(names::Memo1);
    // A field lower than the details, as at the design's size with a larger font.
    memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 5);
    for (int press = 0; press < 2; ++press) {
        rig.find<QPushButton>(names::btnSpende)->click();
        QCoreApplication::processEvents();
        QCOMPARE(memo->blockCount(), 11);
        QVERIFY(memo->verticalScrollBar()->maximum() > 0); // more lines than the field shows
        QCOMPARE(memo->verticalScrollBar()->value(), 0);
        QCOMPARE(memo->cursorForPosition(QPoint(4, 4)).block().text(),
                 QStringLiteral("Ihre Spende überweisen Sie bitte auf folgendes Konto:"));
    }
}

QTEST_MAIN(TrayWindowTest)
#include "TrayWindow_test.moc"
