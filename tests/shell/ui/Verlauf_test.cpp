#include "ShellRig.h"
#include "datafile/ProfileFile.h"
#include "history/ui/ufrmVerlauf.h"
#include "shell/ui/DesktopNotifier.h"
#include "shell/ui/TrayController.h"

#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

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
    QVERIFY2(csv.find("\n2026-12-08;30;3580253;0\n") != std::string::npos, csv.c_str());
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

QTEST_MAIN(VerlaufTest)
#include "Verlauf_test.moc"
