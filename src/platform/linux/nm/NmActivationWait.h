#pragma once

#include <QDBusObjectPath>
#include <QEventLoop>
#include <QObject>

namespace tavlor::platform::nm {

class NmProxy;

// Waits for an active connection to come up or go away. The nested event loop keeps windows
// repainting and timers running, but holds user input back as a blocking dial would.
class NmActivationWait final : public QObject
{
    Q_OBJECT

public:
    enum class Outcome
    {
        Activated,
        Failed,
        TimedOut
    };

    NmActivationWait(NmProxy& proxy, QDBusObjectPath active);
    ~NmActivationWait() override;
    NmActivationWait(const NmActivationWait&) = delete;
    NmActivationWait& operator=(const NmActivationWait&) = delete;

    Outcome run(int timeoutMs);
    // NetworkManager's reason for the last state change (NMActiveConnectionStateReason).
    uint reason() const { return m_reason; }

private Q_SLOTS:
    void onStateChanged(uint state, uint reason);

private:
    void poll();
    void settle(uint state);

    NmProxy& m_proxy;
    QDBusObjectPath m_active;
    QEventLoop m_loop;
    Outcome m_outcome = Outcome::TimedOut;
    uint m_reason = 0;
    bool m_subscribed = false;
};

} // namespace tavlor::platform::nm
