#include "ShellRig.h"
#include "text/WidgetNames.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;

namespace {

const QString kSaveFailed = QStringLiteral("nach /nowhere/data/data.ini kann nicht geschrieben werden");

void gatewayMode(UsageState& state)
{
    state.onLAN = true;
}

int onlineSeconds(TavlorApp& app)
{
    const UsageState& s = app.state();
    return (s.totalHours * 60 + s.totalMinutes) * 60 + s.totalSeconds;
}

// Counts the message boxes that open and leaves them open, as when nobody is at the machine,
// until closeWhen holds. Works from inside the box's own event loop, where the test's waiting
// loop is suspended.
class BoxWatcher final : public QObject
{
public:
    int opened = 0;
    int closed = 0;
    QStringList texts;
    std::function<bool()> closeWhen = [] { return false; };

    explicit BoxWatcher(std::function<int()> seconds) : m_seconds(std::move(seconds))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr && box != m_last) {
                ++opened;
                texts << box->text();
                secondsAtOpen << m_seconds();
            }
            m_last = box;
            // A box that holds the tick would wait for ever: give up on it after a while.
            if (box != nullptr && (closeWhen() || m_running.elapsed() > 30000)) {
                ++closed;
                m_last = nullptr;
                box->accept();
            }
        });
        m_timer.start(2);
        m_running.start();
    }
    QList<int> secondsAtOpen;

private:
    std::function<int()> m_seconds;
    QTimer m_timer;
    QElapsedTimer m_running;
    QMessageBox* m_last = nullptr;
};

// The tick runs every millisecond here, so that five "minutes" of online ticks pass quickly.
void hurry(ShellRig& rig)
{
    rig.app->findChild<QTimer*>(QLatin1String(names::tCheck))->setInterval(1);
}

} // namespace

class FailureReportingTest final : public QObject
{
    Q_OBJECT
private slots:
    void aFailingPeriodicSaveIsShownOnceWhileCountingGoesOn();
    void whereTheDataFileWentIsSaidOnceWithoutHoldingTheTick();
};

void FailureReportingTest::aFailingPeriodicSaveIsShownOnceWhileCountingGoesOn()
{
    ShellRig rig(gatewayMode);
    rig.store->failSave = true;
    BoxWatcher boxes([&] { return onlineSeconds(*rig.app); });
    hurry(rig);
    // Periodic saves after 300, 600 and 900 online seconds all fail; the first box stays open
    // while the tick counts on.
    boxes.closeWhen = [&] { return onlineSeconds(*rig.app) >= 700; };
    QVERIFY(QTest::qWaitFor([&] { return boxes.closed == 1; }, 60000));
    QCOMPARE(boxes.opened, 1);
    QCOMPARE(boxes.texts, QStringList{kSaveFailed});
    QVERIFY2(boxes.secondsAtOpen.front() <= 310, qPrintable(QString::number(boxes.secondsAtOpen.front())));
    QVERIFY(QTest::qWaitFor([&] { return onlineSeconds(*rig.app) >= 950; }, 60000));
    QCOMPARE(boxes.opened, 1); // the cause lasts: no new box every five minutes

    rig.store->failSave = false; // the file is writable again
    QVERIFY(QTest::qWaitFor([&] { return rig.store->saves == 1; }, 60000));
    QTest::qWait(20);
    QCOMPARE(boxes.opened, 1); // a successful save says nothing

    rig.store->failSave = true; // and fails anew: that is worth a box again
    boxes.closeWhen = [] { return true; };
    QVERIFY(QTest::qWaitFor([&] { return boxes.closed == 2; }, 60000));
    QCOMPARE(boxes.opened, 2);
    QVERIFY2(boxes.secondsAtOpen.back() >= 1500, qPrintable(QString::number(boxes.secondsAtOpen.back())));
}

void FailureReportingTest::whereTheDataFileWentIsSaidOnceWithoutHoldingTheTick()
{
    const std::string notice = "Tavlor speichert Z\xC3\xA4hler und Einstellungen in /home/u/data/data.ini.";
    ShellRig rig(gatewayMode, false, "[data]\r\n", notice);
    BoxWatcher boxes([&] { return onlineSeconds(*rig.app); });
    hurry(rig);
    boxes.closeWhen = [&] { return onlineSeconds(*rig.app) >= 100; };
    QVERIFY(QTest::qWaitFor([&] { return boxes.closed == 1; }, 60000));
    QCOMPARE(boxes.texts, QStringList{QString::fromStdString(notice)});
    QTest::qWait(50);
    QCOMPARE(boxes.opened, 1);
}

QTEST_MAIN(FailureReportingTest)
#include "FailureReporting_test.moc"
