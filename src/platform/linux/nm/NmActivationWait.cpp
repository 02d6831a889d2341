#include "platform/linux/nm/NmActivationWait.h"

#include "platform/linux/nm/NmProxy.h"

#include <QTimer>

namespace tavlor::platform::nm {

namespace {
const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kActiveIface = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
constexpr uint kActivating = 1;
constexpr uint kActivated = 2;
constexpr int kPollMs = 250;
} // namespace

NmActivationWait::NmActivationWait(NmProxy& proxy, QDBusObjectPath active)
    : m_proxy(proxy), m_active(std::move(active))
{
    // QtDBus offers only the string-based connect for bus signals.
    m_subscribed =
        m_proxy.bus().connect(kService, m_active.path(), kActiveIface, QStringLiteral("StateChanged"), this,
                              SLOT(onStateChanged(uint, uint)));
}

NmActivationWait::~NmActivationWait()
{
    if (m_subscribed) {
        m_proxy.bus().disconnect(kService, m_active.path(), kActiveIface, QStringLiteral("StateChanged"),
                                 this, SLOT(onStateChanged(uint, uint)));
    }
}

NmActivationWait::Outcome NmActivationWait::run(int timeoutMs)
{
    poll(); // the state may have settled before we subscribed
    if (!m_loop.isRunning() && m_outcome != Outcome::TimedOut) {
        return m_outcome;
    }
    // A missed signal or a vanished object is caught by polling the state as well.
    QTimer poller;
    connect(&poller, &QTimer::timeout, this, &NmActivationWait::poll);
    poller.start(kPollMs);
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &m_loop, &QEventLoop::quit);
    deadline.start(timeoutMs);
    m_loop.exec(QEventLoop::ExcludeUserInputEvents);
    return m_outcome;
}

void NmActivationWait::onStateChanged(uint state, uint reason)
{
    m_reason = reason;
    settle(state);
}

void NmActivationWait::poll()
{
    uint state = 0;
    if (!m_proxy.ActiveConnectionState(m_active, state)) {
        settle(4); // the active connection is gone
        return;
    }
    settle(state);
}

void NmActivationWait::settle(uint state)
{
    if (state == kActivated) {
        m_outcome = Outcome::Activated;
    } else if (state > kActivated) {
        m_outcome = Outcome::Failed;
    } else {
        return; // unknown or still activating
    }
    m_loop.quit();
}

} // namespace tavlor::platform::nm
