#pragma once

#include "platform/DialupService.h"
#include "platform/linux/nm/NmProfile.h"

#include <QObject>
#include <functional>
#include <map>
#include <vector>

class QTimer;

namespace tavlor::platform::nm {

class NmConnectionState;
class NmProxy;

// The dial-up service over NetworkManager on the system bus. Entries are the stored profiles of
// the dial-up kinds, known by their UUID and shown by their id; a dial with changed values
// activates an in-memory copy that carries the stored password, so the stored profile never
// changes. The active connections come from the kept state. When the
// bus goes away (a restart of the bus daemon) the next look at the state notices, and the
// connection is made again until the bus is back.
class NmDialupService final : public QObject, public DialupService
{
    Q_OBJECT

public:
    static constexpr int kDialTimeoutMs = 90000;
    static constexpr int kReconnectMs = 2000;
    // Where there is no system bus at all, trying every 2 s would wake the program for nothing.
    static constexpr int kReconnectMaxMs = 30000;
    static constexpr int kReasonGraceMs = 100;
    static constexpr std::size_t kMaxCopies = 64;

    explicit NmDialupService(int dialTimeoutMs = kDialTimeoutMs, QObject* parent = nullptr);
    ~NmDialupService() override;
    NmDialupService(const NmDialupService&) = delete;
    NmDialupService& operator=(const NmDialupService&) = delete;

    bool available() const override;
    std::vector<ActiveDialup> activeConnections() const override;
    std::string missingReason() const override;

    void listEntries(EntriesDone done) override;
    void readEntry(const std::string& id, DetailsDone done) override;
    void createEntry(DialupEntryFields fields, Done done) override;
    void editEntry(const std::string& id, DialupEntryFields fields, Done done) override;
    void renameEntry(const std::string& id, const std::string& to, Done done) override;
    void deleteEntry(const std::string& id, Done done) override;
    void dial(const std::string& id, DialValues values, Done done) override;
    void hangUp(const std::string& connectionId, Done done) override;

    // Runs after every change of the kept state (tests wait on it).
    std::function<void()> stateChanged;

private:
    using ProfilesDone = std::function<void(const DialupResult&, std::vector<DialUpProfile>)>;
    using ProfileDone = std::function<void(const DialupResult&, DialUpProfile)>;
    struct PendingDial
    {
        QString active;
        Done done;
        QTimer* deadline = nullptr;
        bool seen = false;
        uint reason = 0;
        uint deviceReason = 0;
        bool waitedForReason = false;
    };

    void connectBus();
    void noticeLostBus() const;
    bool usable(const Done& done) const;
    void loadProfiles(ProfilesDone done);
    void findProfile(const std::string& uuid, ProfileDone done);
    void activate(DialUpProfile profile, DialValues values, Done done);
    void watchActivation(const QString& active, Done done);
    void settleDials();
    void finishDial(std::size_t index, const DialupResult& result);

    NmProxy* m_proxy;
    NmConnectionState* m_state;
    int m_dialTimeoutMs;
    QString m_busName;
    int m_connections = 0;
    int m_reconnectMs = kReconnectMs;
    mutable bool m_reconnecting = false;
    std::vector<PendingDial> m_dials;
    // In-memory copies dialled with changed values -> the stored profile they stand for.
    std::map<std::string, std::string> m_copyOf;
};

} // namespace tavlor::platform::nm
