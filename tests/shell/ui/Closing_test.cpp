#include "ShellRig.h"
#include "shell/ui/TrayController.h"
#include "text/DayCount.h"
#include "text/WidgetNames.h"

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
    void failingSaveAsksAndOnlyJaEnds();
    void sessionEndNeverAsksNorHidesAndSavesOnce();
    void checkpointSavesAndGoesOnTheSessionsQuitEnds();
    void aSaveAfterMidnightHoldsTheNewDaysTodayCounters();
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
    QCOMPARE(rig.app->view().text(names::lOTS), std::string("-"));
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

void ClosingTest::failingSaveAsksAndOnlyJaEnds()
{
    for (const bool viaTray : {false, true}) {
        ShellRig rig(settings(false, false), true);
        QVERIFY(rig.shownFromTray());
        rig.store->failSave = true;
        {
            // "Nein": the program keeps counting, as it was.
            BoxAnswerer nein(QStringLiteral("&Nein"));
            viaTray ? trayQuit(rig) : closeButton(rig);
            QCOMPARE(nein.answered, 1);
            QCOMPARE(nein.caption, QStringLiteral("Bestätigung"));
            QCOMPARE(nein.icon, QMessageBox::Question);
            QCOMPARE(nein.buttons, (QStringList{"&Ja", "&Nein"}));
            QVERIFY2(
                nein.text.startsWith(QStringLiteral("Die Daten konnten nicht gespeichert werden: nach "
                                                    "/nowhere/data/data.ini kann nicht geschrieben werden.")),
                qPrintable(nein.text));
            QVERIFY(nein.text.contains(QStringLiteral("Onlinezeit")));
            QVERIFY(nein.text.endsWith(QStringLiteral("Trotzdem beenden?")));
            QVERIFY(rig.window().isVisible());
            QVERIFY(rig.exitCodes.empty());
            rig.app->tCheckTimer();
            QCOMPARE(rig.app->view().hint(kTrayIcon), std::string("Offline"));
        }
        // "Ja": the program ends although nothing could be saved.
        BoxAnswerer ja(QStringLiteral("&Ja"));
        viaTray ? trayQuit(rig) : closeButton(rig);
        QCOMPARE(ja.answered, 1);
        QCOMPARE(rig.exitCodes, std::vector<int>{0});
        QCOMPARE(rig.store->saves, 0);
    }
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

void ClosingTest::checkpointSavesAndGoesOnTheSessionsQuitEnds()
{
    ShellRig rig(settings(true, true), true);
    QVERIFY(rig.shownFromTray());
    BoxAnswerer never(QStringLiteral("&Ja"));
    // A checkpoint ("save session" while the session goes on): saved, still counting.
    rig.app->checkpoint();
    QCOMPARE(rig.store->saves, 1);
    QVERIFY(rig.exitCodes.empty());
    rig.app->tCheckTimer();
    QVERIFY(rig.exitCodes.empty());
    // The session manager's "die" arrives as a quit event to the application: one more save,
    // no question, no hiding.
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
    QCOMPARE(rig.store->saves, 2);
    QCOMPARE(rig.exitCodes, std::vector<int>{0});
    QCOMPARE(never.answered, 0);
    QVERIFY(rig.window().isVisible());
}

// Offline since before midnight and ended after it: yesterday's online time is not saved as
// today's.
void ClosingTest::aSaveAfterMidnightHoldsTheNewDaysTodayCounters()
{
    ShellRig rig;
    rig.clock->setLocal({2026, 12, 8, 23, 59, 0, 0});
    rig.app->state().dayStamp = ToDayCount(rig.clock->nowLocal());
    rig.goOnline();
    for (int i = 0; i < 5; ++i) {
        rig.clock->advanceMs(1000);
        rig.app->tCheckTimer();
    }
    rig.goOffline();
    rig.app->tCheckTimer();
    QCOMPARE(rig.app->state().todaySeconds, 5);
    rig.clock->setLocal({2026, 12, 9, 0, 20, 0, 0});
    rig.app->sessionEnd();
    QCOMPARE(rig.store->savedStates.size(), std::size_t{1});
    const UsageState& saved = rig.store->savedStates.front();
    QCOMPARE(saved.todaySeconds, 0);
    QCOMPARE(saved.totalSeconds, 5);
    QVERIFY(SameCalendarDate(FromDayCount(saved.dayStamp), rig.clock->nowLocal()));
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
