#include "ShellRig.h"
#include "accounting/ResetGateway.h"
#include "desktop/Donation.h"
#include "netmeter/ui/ufrmExpert.h"
#include "shell/ui/TrayController.h"
#include "text/DayCount.h"
#include "text/WidgetNames.h"
#include "views/ui/ufrmMonitor.h"

#include <QCheckBox>
#include <QHelpEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;

namespace {
void hover(ShellRig& rig)
{
    QHelpEvent event(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
    QCoreApplication::sendEvent(rig.app->tray().icon(), &event);
}

QString toolTip(ShellRig& rig)
{
    return rig.app->tray().icon()->toolTip();
}
} // namespace

class HandlersTest final : public QObject
{
    Q_OBJECT
private slots:
    void resetClearsTotalsRecordsTheDateAndSaves();
    void gatewayQuestionOnlyJaKeepsTheBoxTicked();
    void theConnectionLabelFollowsTheGatewayModeWithADialUpConnectionUp();
    void trayHintFollowsTheTickAndThePointer();
    void noItemSelectedKeepsTheLastHint();
    void neinToTheMonitorQuestionLeavesEverythingAsItWas();
    void jaToTheMonitorQuestionHidesTheProgramFirst();
    void donationLinesPressedTwiceAppearOnce();
    void newAdapterMethodsReachTheNextSave();
    void theSettingControlsShowAndChangeTheOneSettings();
    void autostartSaysWhetherTheShortcutWasWritten();
    void contactLabelOpensTheAddress();
};

void HandlersTest::resetClearsTotalsRecordsTheDateAndSaves()
{
    ShellRig rig([](UsageState& state) {
        state.totalHours = 5;
        state.totalUpBytes = state.baseUpBytes = 4000;
        state.totalDownBytes = state.baseDownBytes = 9000;
        state.totalBytes = 13000;
        state.todayHours = 2;
        state.dayStamp = ToDayCount(CivilDateTime{2026, 12, 8, 9, 0, 0, 0}); // today's two hours
        state.lastResetDate = "01.01.2026";
    });
    rig.find<QPushButton>(names::btnReset)->click();
    QCOMPARE(rig.store->saves, 1);
    QCOMPARE(rig.find<QLabel>(names::lAll)->text(), QStringLiteral("0 kb"));
    QCOMPARE(rig.find<QLabel>(names::lotAll)->text(), QStringLiteral("-"));
    QCOMPARE(rig.find<QLabel>(names::lIn)->text(), QStringLiteral("0 kb"));
    QCOMPARE(rig.find<QLabel>(names::lOut)->text(), QStringLiteral("0 kb"));
    QCOMPARE(rig.find<QLabel>(names::lRd)->text(), QStringLiteral("08.12.2026"));
    QCOMPARE(rig.app->state().totalHours, 0);
    QCOMPARE(rig.app->state().totalBytes, 0.0);
    QCOMPARE(rig.app->state().todayHours, 2);

    // Online afterwards: the totals restart from zero and grow with new traffic only.
    rig.goOnline();
    rig.app->tCheckTimer();
    rig.rows->byIndex(2).rxBytes += 2048;
    rig.clock->advanceMs(1000);
    rig.app->tCheckTimer();
    QCOMPARE(rig.app->state().totalDownBytes, 2048.0);
}

void HandlersTest::gatewayQuestionOnlyJaKeepsTheBoxTicked()
{
    ShellRig rig;
    auto* lan = rig.find<QCheckBox>(names::cbLan);
    QVERIFY(!lan->isChecked());
    {
        BoxAnswerer nein(QStringLiteral("&Nein"));
        lan->click();
        QCOMPARE(nein.answered, 1);
        QCOMPARE(nein.text, QString::fromUtf8(kGatewayQuestion));
        QCOMPARE(nein.caption, QStringLiteral("Bestätigung"));
        QCOMPARE(nein.icon, QMessageBox::Question);
    }
    QVERIFY(!lan->isChecked());
    QVERIFY(!rig.app->state().onLAN);
    {
        BoxAnswerer ja(QStringLiteral("&Ja"));
        lan->click();
        QCOMPARE(ja.answered, 1);
    }
    QVERIFY(lan->isChecked());
    QVERIFY(rig.app->state().onLAN);
    rig.app->tCheckTimer();
    QCOMPARE(rig.find<QLabel>(names::lcon)->text(), QStringLiteral("Internet Gateway"));
    BoxAnswerer never(QStringLiteral("&Ja"));
    lan->click();
    QTest::qWait(20);
    QCOMPARE(never.answered, 0);
    QVERIFY(!lan->isChecked());
    QVERIFY(!rig.app->state().onLAN);
}

void HandlersTest::theConnectionLabelFollowsTheGatewayModeWithADialUpConnectionUp()
{
    ShellRig rig;
    rig.goOnline();
    rig.app->tCheckTimer();
    auto* lcon = rig.find<QLabel>(names::lcon);
    auto* lan = rig.find<QCheckBox>(names::cbLan);
    QCOMPARE(lcon->text(), QStringLiteral("Mobil"));
    {
        // A tick while the question is open, then "Nein".
        QTimer::singleShot(0, [&rig] { rig.app->tCheckTimer(); });
        BoxAnswerer nein(QStringLiteral("&Nein"));
        lan->click();
        QCOMPARE(nein.answered, 1);
    }
    rig.app->tCheckTimer();
    QCOMPARE(lcon->text(), QStringLiteral("Mobil"));
    {
        BoxAnswerer ja(QStringLiteral("&Ja"));
        lan->click();
    }
    rig.app->tCheckTimer();
    QCOMPARE(lcon->text(), QStringLiteral("Internet Gateway"));
    lan->click();
    rig.app->tCheckTimer();
    QCOMPARE(lcon->text(), QStringLiteral("Mobil"));
    rig.goOffline();
    rig.app->tCheckTimer();
    QCOMPARE(lcon->text(), QStringLiteral("Offline"));
}

void HandlersTest::trayHintFollowsTheTickAndThePointer()
{
    ShellRig rig;
    rig.app->tCheckTimer();
    QCOMPARE(toolTip(rig), QStringLiteral("Offline"));
    // Offline, a hovering pointer (an XEmbed tray's tooltip request) keeps "Offline", as a
    // StatusNotifierItem host shows it, for every display choice and every hover.
    for (const char* item : {names::rGroupItem0, names::rGroupItem1, names::rGroupItem2}) {
        rig.find<QRadioButton>(item)->click();
        hover(rig);
        hover(rig);
        QCOMPARE(toolTip(rig), QStringLiteral("Offline"));
    }
    rig.find<QRadioButton>(names::rGroupItem2)->click();
    rig.clock->advanceMs(1000);
    rig.app->tCheckTimer();
    QCOMPARE(toolTip(rig), QStringLiteral("Offline"));
    // Online, every tick refreshes it (trays without pointer events show current figures).
    rig.goOnline();
    rig.find<QRadioButton>(names::rGroupItem0)->click();
    rig.clock->advanceMs(1000);
    rig.app->tCheckTimer();
    QVERIFY2(toolTip(rig).startsWith(QStringLiteral("Zeit: 0 Stunden, 0 Minuten, 1 Sekunden.\r\nDown: ")),
             qPrintable(toolTip(rig)));
    rig.clock->advanceMs(1000);
    rig.app->tCheckTimer();
    QVERIFY(toolTip(rig).startsWith(QStringLiteral("Zeit: 0 Stunden, 0 Minuten, 2 Sekunden.")));
    // Online, the pointer composes the chosen form at once.
    rig.find<QRadioButton>(names::rGroupItem2)->click();
    hover(rig);
    QVERIFY2(toolTip(rig).startsWith(QStringLiteral("Zeit 0 Stunden, 0 Minuten, 2 Sekunden.\r\n Down: ")),
             qPrintable(toolTip(rig)));
}

void HandlersTest::noItemSelectedKeepsTheLastHint()
{
    ShellRig rig([](UsageState& state) { state.trayTime = TrayTime::None; });
    for (QRadioButton* item : rig.find<QWidget>(names::rGroup)->findChildren<QRadioButton*>()) {
        QVERIFY(!item->isChecked());
    }
    rig.app->tCheckTimer();
    hover(rig);
    QCOMPARE(toolTip(rig), QStringLiteral("Offline"));
    rig.goOnline();
    rig.app->tCheckTimer();
    QCOMPARE(toolTip(rig), QStringLiteral("Offline"));
}

void HandlersTest::neinToTheMonitorQuestionLeavesEverythingAsItWas()
{
    ShellRig rig({}, true);
    QVERIFY(rig.shownFromTray());
    BoxAnswerer nein(QStringLiteral("&Nein"));
    rig.find<QPushButton>(names::Button1)->click();
    QCOMPARE(nein.answered, 1);
    QCOMPARE(nein.text,
             QStringLiteral("Die \"Graph-Funktion\" ist noch im Beta Stadium. Graphen wirklich anzeigen?"));
    QCOMPARE(nein.caption, QStringLiteral("Bestätigung"));
    QVERIFY(rig.window().isVisible());
    QVERIFY(!rig.app->monitor().isVisible());
    QCOMPARE(rig.app->monitor().model().sampleCount(), 0);
}

void HandlersTest::jaToTheMonitorQuestionHidesTheProgramFirst()
{
    ShellRig rig({}, true);
    QVERIFY(rig.shownFromTray());
    bool hiddenWhileShown = false;
    bool monitorShown = false;
    QTimer::singleShot(50, [&] {
        monitorShown = rig.app->monitor().isVisible();
        hiddenWhileShown = !rig.window().isVisible();
        rig.app->monitor().close();
    });
    BoxAnswerer ja(QStringLiteral("&Ja"));
    rig.find<QPushButton>(names::Button1)->click();
    QVERIFY(monitorShown);
    QVERIFY(hiddenWhileShown);
    // Nothing is restored afterwards: the program stays in the tray.
    QVERIFY(!rig.window().isVisible());
    QVERIFY(rig.app->monitor().model().sampleCount() >= 1);
}

void HandlersTest::donationLinesPressedTwiceAppearOnce()
{
    ShellRig rig;
    QStringList expected;
    for (const std::string& line : DonationLines()) {
        expected << QString::fromStdString(line);
    }
    QCOMPARE(expected.size(), 11);
    auto* memo = rig.find<QPlainTextEdit>(names::Memo1);
    rig.find<QPushButton>(names::btnSpende)->click();
    rig.find<QPushButton>(names::btnSpende)->click();
    QCOMPARE(memo->toPlainText().split('\n'), expected);
}

void HandlersTest::newAdapterMethodsReachTheNextSave()
{
    ShellRig rig;
    QTimer::singleShot(20, [&rig] {
        TfrmExpert& expert = rig.app->expert();
        QVERIFY(expert.isVisible());
        expert.findChild<QRadioButton*>("rDown1")->click();
        expert.findChild<QRadioButton*>("rUp0")->click();
        expert.findChild<QPushButton*>(names::btnClose)->click();
    });
    rig.find<QPushButton>(names::btnExpert)->click();
    QCOMPARE(rig.app->state().downloadMethod, 1);
    QCOMPARE(rig.app->state().uploadMethod, 0);
    rig.find<QPushButton>(names::btnReset)->click();
    QCOMPARE(rig.store->savedMethods.back(), (std::pair<int, int>{1, 0}));
}

// The controls show what was loaded, and a click changes the settings the save writes: nothing
// is taken back from a control or the view model later.
void HandlersTest::theSettingControlsShowAndChangeTheOneSettings()
{
    ShellRig rig([](UsageState& state) {
        state.trayTime = TrayTime::Session;
        state.minimiseOnClose = true;
        state.onLAN = true;
    });
    QVERIFY(rig.find<QRadioButton>(names::rGroupItem2)->isChecked());
    QVERIFY(rig.find<QCheckBox>(names::cbMini)->isChecked());
    QVERIFY(!rig.find<QCheckBox>(names::cbBeenden)->isChecked());
    QVERIFY(rig.find<QCheckBox>(names::cbLan)->isChecked());
    const UsageState& state = rig.app->state();

    rig.find<QRadioButton>(names::rGroupItem1)->click();
    rig.find<QCheckBox>(names::cbMini)->click();
    rig.find<QCheckBox>(names::cbBeenden)->click();
    QCOMPARE(state.trayTime, TrayTime::Today);
    QVERIFY(!state.minimiseOnClose);
    QVERIFY(state.confirmQuit);
    QVERIFY(!rig.app->view().has(names::cbMini, ViewModel::Prop::Checked));
    QVERIFY(!rig.app->view().has(names::rGroup, ViewModel::Prop::ItemIndex));

    rig.find<QCheckBox>(names::cbLan)->click();
    QVERIFY(!state.onLAN);
    QVERIFY(!rig.find<QCheckBox>(names::cbLan)->isChecked());
    QVERIFY(!rig.app->view().has(names::cbLan, ViewModel::Prop::Checked));
}

void HandlersTest::autostartSaysWhetherTheShortcutWasWritten()
{
    ShellRig rig;
    BoxAnswerer ok(QStringLiteral("OK"));
    rig.find<QPushButton>(names::btnWinStart)->click();
    QCOMPARE(ok.answered, 1);
    QCOMPARE(ok.text, QStringLiteral("Tavlor konnte keine Verknüpfung im Autostart Ordner anlegen."));
    QCOMPARE(ok.icon, QMessageBox::NoIcon);
}

void HandlersTest::contactLabelOpensTheAddress()
{
    ShellRig rig;
    rig.app->start();
    QTest::mouseClick(rig.find<QLabel>(names::lContact), Qt::LeftButton);
    QCOMPARE(rig.openedAddresses, std::vector<std::string>{kContactAddress});
}

QTEST_MAIN(HandlersTest)
#include "Handlers_test.moc"
