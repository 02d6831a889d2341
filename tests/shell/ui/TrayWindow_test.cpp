// The window and the tray as the user meets them: the frame placed at the saved position and
// kept on a screen, the window coming back when the notification area goes, and the donation
// details read from their first line.
#include "ShellRig.h"
#include "shell/ui/uFrmMainTavlor.h"
#include "text/WidgetNames.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;

namespace {
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
