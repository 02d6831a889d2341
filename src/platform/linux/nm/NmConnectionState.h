#pragma once

#include "platform/DialupService.h"
#include "platform/MeteredLinkSource.h"
#include "platform/linux/nm/NmProxy.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavlor::platform::nm {

// NetworkManager's active connections and their devices, kept from its signals: whether it runs
// (NameOwnerChanged), which connections are active (the manager's ActiveConnections), their
// state (PropertiesChanged, StateChanged) and the devices' interfaces. Reading never calls the
// bus; only a connection or device seen for the first time is fetched, once.
class NmConnectionState final : public QObject
{
    Q_OBJECT

public:
    static constexpr uint kActivated = 2;
    static constexpr uint kDeactivated = 4;

    struct Active
    {
        QString id;
        QString uuid;
        QString type;
        QString connection; // the profile's path
        uint state = 0;
        uint reason = 0;
        PathList devices;
        bool loaded = false;
        // Bluetooth carries dial-up networking (DUN) and PAN alike; only DUN is a dial-up
        // connection, told by the profile once it is read. Other kinds are known by their type.
        enum class Kind
        {
            Unknown,
            DialUp,
            Other,
        } kind = Kind::Unknown;
        bool kindAsked = false;
    };

    // followAllDevices: the devices of every active connection are kept, not only those of
    // dial-up connections (the metered source names the primary's link and any link's profile).
    explicit NmConnectionState(NmProxy& proxy, QObject* parent = nullptr, bool followAllDevices = false);

    // Subscribes on the proxy's bus and loads what is there.
    void attach();
    // The bus went away: nothing is known any more.
    void clear();

    bool running() const { return m_running; }
    std::vector<ActiveDialup> dialups() const;
    // nullptr once the active connection is no longer listed; its state may come from a signal
    // before its properties have been fetched.
    const Active* active(const QString& path) const;
    // Why the first device of an active connection failed last (NMDeviceStateReason), 0 when
    // it has not failed since it last started.
    uint deviceFailure(const QString& activePath) const;
    // The manager's PrimaryConnection while it is activated, with the manager's Metered; nullopt
    // while there is none, it is not loaded yet or NetworkManager is not there.
    std::optional<PrimaryConnection> primary() const;
    // The id of the activated connection whose device carries this kernel interface; "".
    std::string profileOver(const std::string& interfaceName) const;
    // Runs after every change, on the window thread.
    std::function<void()> changed;

private Q_SLOTS:
    void onNameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void onPropertiesChanged(const QDBusMessage& message);
    void onActiveStateChanged(const QDBusMessage& message);

private:
    struct Device
    {
        QString interface;
        QString ipInterface;
        uint failure = 0;
    };
    void setRunning(bool running);
    void loadManager();
    void applyManager(const QVariantMap& values);
    QString ipInterfaceOf(const Active& active) const;
    void setActivePaths(const PathList& paths);
    void loadActive(const QString& path);
    void loadKind(const QString& path, const QString& connection);
    void applyActive(const QString& path, Active& active, const QVariantMap& values);
    void loadDevice(const QString& path);
    void applyDevice(Device& device, const QVariantMap& values);
    void notify();

    NmProxy& m_proxy;
    bool m_followAllDevices;
    bool m_running = false;
    QString m_primary;  // the manager's PrimaryConnection; "/" or "" for none
    uint m_metered = 0; // the manager's Metered (NMMetered)
    QStringList m_order;
    QHash<QString, Active> m_actives;
    QHash<QString, Device> m_devices;
    QHash<QString, QString> m_firstDevice; // active connection -> its first device, kept
    // Answers of an earlier NetworkManager or bus are dropped.
    int m_generation = 0;
};

} // namespace tavlor::platform::nm
