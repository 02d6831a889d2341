#include "ShellRig.h"
#include "shell/ui/TrayController.h"

#include <QCheckBox>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;

namespace {
auto settings(bool mini, bool beenden)
{
    return [mini, beenden](UsageState& state) {
        state.minimiseOnClose = mini;
        state.confirmQuit = beenden;
        state.windowLeft = 40;
        state.windowTop = 30;
    };
}

void closeButton(ShellRig& rig)
{
    rig.window().close();
}

void trayQuit(ShellRig& rig)
{
    rig.app->tray().quitItem()->trigger();
}

} // namespace

class ClosingTest final : public QObject
{
    Q_OBJECT
private slots:
    void plainCloseEndsAfterOneSave();
    void miniHidesOnCloseButtonButTrayQuitEnds();
    void neinKeepsEverythingAndClearsTheQuitRequest();
    void jaToTheQuestionEndsAfterOneSave();
    void questionHasItsOneForm();
    void failingSaveKeepsTheProgramRunning();
    void sessionEndNeverAsksNorHidesAndSavesOnce();
    void withoutNotificationAreaNothingHidesOutOfReach();
    void firstActivationSendsTheProgramToTheTray();
    void doubleClickRestoresTheLoadedPositionShowItemKeepsTheCurrent();
};

void ClosingTest::plainCloseEndsAfterOneSave()
{
    ShellRig rig(settings(false, false), true);
    QVERIFY(rig.shownFromTray());
    BoxAnswerer never(QStringLiteral("&Ja"));
    QVERIFY(rig.window().close());
    QCOMPARE(rig.store->saves, 1);
    QCOMPARE(rig.exitCodes, std::vector<int>{0});
    QCOMPARE(never.answered, 0);
}

void ClosingTest::miniHidesOnCloseButtonButTrayQuitEnds()
{
    ShellRig rig(settings(true, false), true);
    QVERIFY(rig.shownFromTray());
    closeButton(rig);
    QVERIFY(!rig.window().isVisible());
    QCOMPARE(rig.store->saves, 0);
    QVERIFY(rig.exitCodes.empty());
    // Counting goes on while hidden.
    rig.app->tCheckTimer();
    QCOMPARE(rig.app->view().text("lOTS"), std::string("-"));
    trayQuit(rig);
    QCOMPARE(rig.store->saves, 1);
    QCOMPARE(rig.exitCodes, std::vector<int>{0});
}

void ClosingTest::neinKeepsEverythingAndClearsTheQuitRequest()
{
    ShellRig rig(settings(true, true), true);
    QVERIFY(rig.shownFromTray());
    {
        BoxAnswerer nein(QStringLiteral("&Nein"));
        trayQuit(rig);
        QCOMPARE(nein.answered, 1);
    }
    QVERIFY(rig.window().isVisible());
    QCOMPARE(rig.store->saves, 0);
    QVERIFY(rig.exitCodes.empty());
    // The quit request is gone: the close button hides again without asking.
    BoxAnswerer never(QStringLiteral("&Ja"));
    closeButton(rig);
    QVERIFY(!rig.window().isVisible());
    QCOMPARE(never.answered, 0);
    QCOMPARE(rig.store->saves, 0);
}

void ClosingTest::jaToTheQuestionEndsAfterOneSave()
{
    for (const bool viaTray : {false, true}) {
        ShellRig rig(settings(false, true), true);
        QVERIFY(rig.shownFromTray());
        BoxAnswerer ja(QStringLiteral("&Ja"));
        viaTray ? trayQuit(rig) : closeButton(rig);
        QCOMPARE(ja.answered, 1);
        QCOMPARE(rig.store->saves, 1);
        QCOMPARE(rig.exitCodes, std::vector<int>{0});
    }
}

void ClosingTest::questionHasItsOneForm()
{
    ShellRig rig(settings(false, true));
    rig.app->start();
    BoxAnswerer ja(QStringLiteral("&Nein"));
    closeButton(rig);
    QCOMPARE(ja.text, QStringLiteral("Tavlor wirklich beenden?"));
    QCOMPARE(ja.caption, QStringLiteral("Bestätigung"));
    QCOMPARE(ja.icon, QMessageBox::Question);
    QCOMPARE(ja.buttons, (QStringList{"&Ja", "&Nein"}));
}

void ClosingTest::failingSaveKeepsTheProgramRunning()
{
    ShellRig rig(settings(false, false), true);
    QVERIFY(rig.shownFromTray());
    rig.store->failSave = true;
    BoxAnswerer report(QStringLiteral("OK"));
    QVERIFY(!rig.window().close());
    QCOMPARE(report.answered, 1);
    QCOMPARE(report.text, QStringLiteral("nach /nowhere/data/data.ini kann nicht geschrieben werden"));
    QVERIFY(rig.window().isVisible());
    QVERIFY(rig.exitCodes.empty());
    // The next tick starts normally.
    rig.app->tCheckTimer();
    QCOMPARE(rig.app->view().hint(kTrayIcon), std::string("Offline"));
}

void ClosingTest::sessionEndNeverAsksNorHidesAndSavesOnce()
{
    ShellRig rig(settings(true, true), true);
    QVERIFY(rig.shownFromTray());
    BoxAnswerer never(QStringLiteral("&Ja"));
    rig.app->sessionEnd();
    rig.app->sessionEnd();
    QCOMPARE(rig.store->saves, 1);
    QCOMPARE(rig.exitCodes, std::vector<int>{0});
    QVERIFY(rig.window().isVisible());
    // The windows going away afterwards must not save or ask a second time.
    rig.window().close();
    QTest::qWait(20);
    QCOMPARE(never.answered, 0);
    QCOMPARE(rig.store->saves, 1);
}

void ClosingTest::withoutNotificationAreaNothingHidesOutOfReach()
{
    ShellRig rig(settings(true, false), false);
    rig.app->start();
    QTest::qWait(20);
    QVERIFY(rig.window().isVisible());
    closeButton(rig);
    QVERIFY(rig.window().isVisible());
    QVERIFY(rig.window().isMinimized());
    QCOMPARE(rig.store->saves, 0);
    // Opening the monitor does not hide it either; "Nein" leaves everything as it was.
    BoxAnswerer nein(QStringLiteral("&Nein"));
    rig.app->Button1Click();
    QCOMPARE(nein.answered, 1);
    QVERIFY(rig.window().isVisible());
}

void ClosingTest::firstActivationSendsTheProgramToTheTray()
{
    ShellRig rig({}, true);
    rig.app->start();
    QTRY_VERIFY(!rig.window().isVisible());
    // Only the first activation does that: shown again, it stays.
    rig.app->tray().ShowFromTray();
    rig.window().activateWindow();
    QTest::qWait(30);
    QVERIFY(rig.window().isVisible());
}

void ClosingTest::doubleClickRestoresTheLoadedPositionShowItemKeepsTheCurrent()
{
    ShellRig rig(settings(false, false), true);
    rig.app->start();
    QTRY_VERIFY(!rig.window().isVisible());
    emit rig.app->tray().icon()->activated(QSystemTrayIcon::DoubleClick);
    QVERIFY(rig.window().isVisible());
    QCOMPARE(rig.window().pos(), QPoint(40, 30));
    rig.window().move(200, 150);
    rig.app->tray().HideToTray();
    rig.app->tray().showItem()->trigger();
    QVERIFY(rig.window().isVisible());
    QCOMPARE(rig.window().pos(), QPoint(200, 150));
    // The next save writes where the window stands now.
    rig.window().close();
    QCOMPARE(rig.store->savedPositions.back(), QPoint(200, 150));
}

QTEST_MAIN(ClosingTest)
#include "Closing_test.moc"
