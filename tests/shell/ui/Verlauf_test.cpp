#include "ShellRig.h"
#include "datafile/ProfileFile.h"
#include "history/ui/ufrmVerlauf.h"
#include "shell/ui/DesktopNotifier.h"
#include "shell/ui/TrayController.h"
#include "text/WidgetNames.h"

#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <iostream>
#include <sstream>

using namespace tavlor;
using namespace tavlor::test;

namespace {
const char* const kLimit1MB = "[data]\r\n[Volumenwarner]\r\nLimitMB=1\r\nStichtag=15\r\n";

// Online ticks with `bytes` more downloaded before each.
void download(ShellRig& rig, std::uint32_t bytes, int ticks)
{
    for (int i = 0; i < ticks; ++i) {
        rig.rows->byIndex(2).rxBytes += bytes;
        rig.clock->advanceMs(1000);
        rig.app->tCheckTimer();
    }
}
} // namespace

class VerlaufTest final : public QObject
{
    Q_OBJECT
private slots:
    // First: the session bus is connected once per process.
    void notificationGoesToTheServiceElseToTheTray();
    void theTickFeedsTheHistoryWithWhatTheTotalsCount();
    void limitShowsInTheTooltipAndTheIconAndWarnsOnce();
    void trayItemOpensTheWindow();
    void theLimitCutsTheCountedConnectionUntilItIsReleased();
    void theLimitCutsAMeteredConnectionButNeverTheGateway();
    void aServiceThatDoesNotAnswerTheCutStopsNoCounting();
    void aConnectionThatVanishesWhileBeingCutCountsAsCut();
    void meteredBoxShowsAndChangesTheOneSetting();
};

void VerlaufTest::meteredBoxShowsAndChangesTheOneSetting()
{
    ShellRig rig([](UsageState& s) { s.countMetered = true; });
    rig.metered->primary = PrimaryConnection{"/active/3", "uuid-3", "Hotspot", "link3", Metering::GuessYes};
    rig.app->tray().historyItem()->trigger();
    auto* box = rig.app->verlauf()->findChild<QCheckBox*>(QLatin1String(names::cbGetaktet));
    QVERIFY(box != nullptr);
    QCOMPARE(box->text(),
             QStringLiteral(
                 "Getaktete Verbindungen z\u00E4hlen (Hotspot, Tethering, als getaktet markierte Netze)"));
    QCOMPARE(box->parentWidget()->objectName(), QStringLiteral("tsVolumenwarner"));
    QVERIFY(box->isChecked());

    // Counting the metered primary's own link, not the first adapter (link2).
    for (int i = 0; i < 3; ++i) {
        rig.rows->byIndex(2).rxBytes += 1000;
        rig.rows->byIndex(3).rxBytes += 400;
        rig.clock->advanceMs(1000);
        rig.app->tCheckTimer();
    }
    QCOMPARE(rig.app->state().totalDownBytes, 800.0);
    QCOMPARE(rig.app->tick().reading().connection,
             (CountedConnection{CountedKind::Metered, "/active/3", "Hotspot"}));

    // The user's click changes the setting: the next second is offline.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    QVERIFY(!rig.app->state().countMetered);
    rig.clock->advanceMs(1000);
    rig.app->tCheckTimer();
    QVERIFY(!rig.app->tick().reading().online);

    // Shown from the setting at every showing, never kept by the box.
    rig.app->verlauf()->hide();
    rig.app->state().countMetered = true;
    rig.app->tray().historyItem()->trigger();
    QVERIFY(box->isChecked());
}

void VerlaufTest::theTickFeedsTheHistoryWithWhatTheTotalsCount()
{
    ShellRig rig;
    rig.goOnline();
    download(rig, 123457, 30);
    rig.app->SaveUsageData();
    const std::string csv = rig.files->files.at("/opt/tavlor/data/verlauf.csv");
    const double down = rig.app->state().totalDownBytes;
    QCOMPARE(down, 29.0 * 123457); // the first tick takes the session start
    QVERIFY2(csv.find("\n2026-12-08;30;3580253;0;Mobil\n") != std::string::npos, csv.c_str());
    QCOMPARE(rig.files->files.at(ShellRig::kDataFile), std::string("[data]\r\n")); // no limit: untouched
    QVERIFY(!rig.app->tray().toolTip().contains(QStringLiteral("Volumen")));
}

void VerlaufTest::limitShowsInTheTooltipAndTheIconAndWarnsOnce()
{
    ShellRig rig({}, false, kLimit1MB);
    QCOMPARE(rig.app->tray().toolTip(), QStringLiteral("Tavlor\r\nVolumen: 0 von 1 MB (0 %)"));
    const QImage normal = rig.app->tray().icon()->icon().pixmap(32).toImage();
    QSignalSpy sent(&rig.app->notifier(), &DesktopNotifier::delivered);
    rig.goOnline();
    download(rig, 100000, 9); // 800,000 bytes after the first tick
    QTRY_COMPARE(sent.count(), 1);
    QCOMPARE(rig.app->tray().warnLevel(), 1);
    download(rig, 100000, 3);
    QTRY_COMPARE(sent.count(), 2);
    QCOMPARE(rig.app->tray().warnLevel(), 2);
    QVERIFY(rig.app->tray().icon()->icon().pixmap(32).toImage() != normal);
    download(rig, 100000, 10);
    QTest::qWait(50);
    QCOMPARE(sent.count(), 2);
    QVERIFY(rig.app->tray().toolTip().endsWith(QStringLiteral("\r\nVolumen: 2,1 von 1 MB (210 %)")));
    const ProfileFile file(rig.files->files.at(ShellRig::kDataFile));
    QCOMPARE(file.readString("Volumenwarner", "GewarntVolumen", ""), std::string("3"));
}

void VerlaufTest::trayItemOpensTheWindow()
{
    ShellRig rig;
    QVERIFY(rig.app->verlauf() == nullptr); // built at its first showing
    rig.app->tray().historyItem()->trigger();
    QVERIFY(rig.app->verlauf() != nullptr);
    QVERIFY(rig.app->verlauf()->isVisible());
    QCOMPARE(rig.app->verlauf()->windowTitle(), QStringLiteral("Verlauf und Volumenwarner"));
    QVERIFY(!rig.window().isVisible()); // the main window stays where it was
}

void VerlaufTest::notificationGoesToTheServiceElseToTheTray()
{
    // A session bus of the test's own, first without and then with a notification service.
    QProcess bus;
    QProcess mock;
    // Both stopped by their own process, whatever the test's outcome.
    struct Stop
    {
        QProcess& process;
        ~Stop()
        {
            process.terminate();
            process.waitForFinished(3000);
        }
    } stopBus{bus}, stopMock{mock};
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    QVERIFY(bus.waitForReadyRead(5000));
    const QByteArray address = bus.readLine().trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    QVERIFY(QDBusConnection::sessionBus().isConnected());

    QStringList fallback;
    DesktopNotifier notifier([&](const QString&, const QString& text) { fallback << text; });
    QSignalSpy delivered(&notifier, &DesktopNotifier::delivered);
    notifier.notify(QStringLiteral("Tavlor"), QStringLiteral("ohne Dienst"));
    QTRY_COMPARE(delivered.count(), 1);
    QCOMPARE(delivered.at(0).at(0).toBool(), false);
    QCOMPARE(fallback, QStringList{QStringLiteral("ohne Dienst")});

    QTemporaryDir dir;
    mock.setProcessChannelMode(QProcess::ForwardedChannels);
    mock.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"),
                QStringLiteral("notification_daemon"), QStringLiteral("-l"),
                dir.filePath(QStringLiteral("calls"))});
    QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(
                                 QStringLiteral("org.freedesktop.Notifications")),
                             10000);
    notifier.notify(QStringLiteral("Tavlor"), QStringLiteral("80 % verbraucht"));
    QTRY_COMPARE(delivered.count(), 2);
    QCOMPARE(delivered.at(1).at(0).toBool(), true);
    QCOMPARE(fallback.size(), 1);
    const auto logged = [&dir] {
        QFile calls(dir.filePath(QStringLiteral("calls")));
        return calls.open(QIODevice::ReadOnly) && calls.readAll().contains("80 % verbraucht");
    };
    QTRY_VERIFY(logged());
}

void VerlaufTest::theLimitCutsTheCountedConnectionUntilItIsReleased()
{
    ShellRig rig({}, false, "[data]\r\n[Volumenwarner]\r\nLimitMB=1\r\nStichtag=15\r\nTrennen=1\r\n");
    // Without a tray and a notification service the notice goes to the error output.
    std::ostringstream told;
    struct Restore
    {
        std::streambuf* old;
        ~Restore() { std::cerr.rdbuf(old); }
    } restore{std::cerr.rdbuf(told.rdbuf())};
    const auto hangUps = [&rig] {
        return std::count_if(rig.dialup->requests.begin(), rig.dialup->requests.end(),
                             [](const std::string& r) { return r.rfind("hangup ", 0) == 0; });
    };
    rig.goOnline();
    download(rig, 100000, 10); // 900,000 bytes after the first tick
    QCOMPARE(hangUps(), 0);
    const int saves = rig.store->saves;
    download(rig, 100000, 1); // 1 MB: the limit
    QCOMPARE(rig.dialup->requests.back(), std::string("hangup /active/7"));
    QCOMPARE(hangUps(), 1);
    QCOMPARE(rig.store->saves, saves + 1);
    QVERIFY(rig.files->files.at("/opt/tavlor/data/verlauf.csv").find(";1000000;0;Mobil\n") !=
            std::string::npos);
    QTRY_VERIFY2(told.str().find("Limit erreicht: Verbindung \xE2\x80\x9EMobil\xE2\x80\x9C getrennt.") !=
                     std::string::npos,
                 told.str().c_str());
    download(rig, 0, 3);
    QCOMPARE(hangUps(), 1); // gone: nothing more to cut

    rig.goOnline(); // dialled again in the same period
    download(rig, 0, 1);
    QCOMPARE(hangUps(), 2);

    // Released for the period: it may stay up, also after a restart.
    rig.app->tray().historyItem()->trigger();
    auto* release = rig.app->verlauf()->findChild<QPushButton*>(QLatin1String(names::btnFreigeben));
    QVERIFY(release != nullptr && release->isEnabled());
    release->click();
    rig.goOnline();
    download(rig, 100000, 5);
    QCOMPARE(hangUps(), 2);
    QCOMPARE(
        ProfileFile(rig.files->files.at(ShellRig::kDataFile)).readString("Volumenwarner", "Freigegeben", ""),
        std::string("1"));
}

void VerlaufTest::theLimitCutsAMeteredConnectionButNeverTheGateway()
{
    const std::string cutAt1MB = "[data]\r\n[Volumenwarner]\r\nLimitMB=1\r\nTrennen=1\r\n";
    ShellRig rig([](UsageState& s) { s.countMetered = true; }, false, cutAt1MB);
    rig.metered->primary = PrimaryConnection{"/active/3", "uuid-3", "Hotspot", "link3", Metering::Yes};
    for (int i = 0; i < 12; ++i) {
        rig.rows->byIndex(3).rxBytes += 100000;
        rig.clock->advanceMs(1000);
        rig.app->tCheckTimer();
    }
    QCOMPARE(rig.metered->deactivated, std::vector<std::string>{"/active/3"});
    QVERIFY(rig.files->files.at("/opt/tavlor/data/verlauf.csv").find(";Hotspot\n") != std::string::npos);

    ShellRig lan([](UsageState& s) { s.onLAN = true; }, false, cutAt1MB);
    lan.goOnline(); // a dial-up connection is up, but gateway mode counts whatever carries the route
    download(lan, 100000, 15);
    QVERIFY(lan.app->tick().reading().connection.kind == CountedKind::Gateway);
    QVERIFY(lan.app->state().totalDownBytes >= 1e6);
    QVERIFY(lan.metered->deactivated.empty());
    QVERIFY(std::none_of(lan.dialup->requests.begin(), lan.dialup->requests.end(),
                         [](const std::string& r) { return r.rfind("hangup", 0) == 0; }));
}

void VerlaufTest::aServiceThatDoesNotAnswerTheCutStopsNoCounting()
{
    ShellRig rig({}, false, "[data]\r\n[Volumenwarner]\r\nLimitMB=1\r\nTrennen=1\r\n");
    rig.dialup->deferred = true; // the hang-up is taken and never answered
    rig.goOnline();
    download(rig, 100000, 11);
    QCOMPARE(rig.dialup->requests, std::vector<std::string>{"hangup /active/7"});
    download(rig, 100000, LimitCut::kSecondsWithoutAnswer - 1);
    QCOMPARE(rig.dialup->requests.size(), std::size_t{1}); // not asked again while it may still answer
    const double counted = rig.app->state().totalDownBytes;
    QCOMPARE(counted, (10.0 + LimitCut::kSecondsWithoutAnswer - 1) * 100000);
    download(rig, 100000, 1);
    QCOMPARE(rig.dialup->requests.size(), std::size_t{2});
    rig.app->SaveUsageData();
    QVERIFY(rig.files->files.at("/opt/tavlor/data/verlauf.csv").find(";4000000;0;Mobil\n") !=
            std::string::npos);
    rig.dialup->answerAll(); // late answers change nothing of what was counted
    QCOMPARE(rig.app->state().totalDownBytes, counted + 100000);
}

void VerlaufTest::aConnectionThatVanishesWhileBeingCutCountsAsCut()
{
    ShellRig rig({}, false, "[data]\r\n[Volumenwarner]\r\nLimitMB=1\r\nTrennen=1\r\n");
    std::ostringstream told;
    struct Restore
    {
        std::streambuf* old;
        ~Restore() { std::cerr.rdbuf(old); }
    } restore{std::cerr.rdbuf(told.rdbuf())};
    rig.dialup->results["hangup"] = DialupResult::failure(DialupResult::Status::NotFound, "weg");
    rig.goOnline();
    download(rig, 100000, 11);
    QCOMPARE(rig.dialup->requests, std::vector<std::string>{"hangup /active/7"});
    rig.goOffline(); // it went by itself while the service failed to take it down
    download(rig, 0, 2);
    QTRY_VERIFY(told.str().find("Verbindung \xE2\x80\x9EMobil\xE2\x80\x9C getrennt.") != std::string::npos);
    QVERIFY2(told.str().find("kann nicht getrennt werden") == std::string::npos, told.str().c_str());

    rig.goOnline(); // back, and the service still fails: the user hears of it once
    download(rig, 0, 2 + 2 * LimitCut::kSecondsBeforeRetry);
    QVERIFY2(rig.dialup->requests.size() >= 3, std::to_string(rig.dialup->requests.size()).c_str());
    QTRY_VERIFY(
        told.str().find("Verbindung \xE2\x80\x9EMobil\xE2\x80\x9C kann nicht getrennt werden: weg.") !=
        std::string::npos);
    const std::string all = told.str();
    QCOMPARE(all.find("kann nicht"), all.rfind("kann nicht"));
    QVERIFY(rig.app->state().totalDownBytes >= 1e6);
}

QTEST_MAIN(VerlaufTest)
#include "Verlauf_test.moc"
