#include "dialup/ConnectionManager.h"

#include "dialup/EntryEditor.h"

// Dialling, hang-up, the connection status and opening the manager.
namespace tavlor {

namespace {
constexpr const char* kOffline = "Offline";
constexpr const char* kGateway = "Internet Gateway";
constexpr int kHangUpSettleMs = 1000;
} // namespace

void ConnectionManager::RefreshConnectionStatus()
{
    // Derived from the state every time, so the label follows the gateway switch both ways.
    if (m_gateway) {
        m_view.setText("lcon", kGateway);
        // Gateway mode asks no dial-up connection; a device shown is one still known from
        // before the switch, else there is none (never the field's design-time caption).
        if (m_currentConnection.empty()) {
            m_view.setText("lMit", "-");
        }
        return;
    }
    const std::vector<ActiveDialup> active = m_service.activeConnections();
    if (active.empty()) {
        m_currentConnection.clear();
        m_connectedEntry.clear();
        m_view.setEnabled("btnHangup", false);
        m_view.setText("lcon", kOffline);
        m_view.setText("lMit", "-");
        return;
    }
    const ActiveDialup& first = active.front();
    m_currentConnection = first.id;
    m_connectedEntry = first.entry;
    m_view.setText("lcon", displayName(first.entry));
    m_view.setText("lMit", first.device);
    m_view.setEnabled("btnHangup", true);
}

void ConnectionManager::btnDialEntryClick()
{
    const std::string entry = selectedName();
    if (!begin()) {
        return;
    }
    std::string typed = m_view.text("ePass");
    DialValues values{m_view.text("eUser"), m_view.text("eNum"), SecretText(typed)};
    SecretText(std::move(typed)).wipe();
    sending([&] {
        m_service.dial(entry, std::move(values), guarded([this](const DialupResult& result) {
                           finish();
                           if (!result.ok()) {
                               report("Verbindung konnte nicht hergestellt werden", result);
                               return;
                           }
                           RefreshConnectionStatus();
                       }));
    });
}

void ConnectionManager::btnHangupClick()
{
    if (!begin()) {
        return;
    }
    sending([&] {
        m_service.hangUp(m_currentConnection, guarded([this](const DialupResult& result) {
                             finish();
                             if (!result.ok()) {
                                 report("RasHangUp failed.", result);
                                 return;
                             }
                             m_ui.waitMs(kHangUpSettleMs);
                             RefreshConnectionStatus();
                         }));
    });
}

void ConnectionManager::btnDetailsClick()
{
    if (m_view.text("btnDetails") != kDetailsClosed) {
        m_view.setText("btnDetails", kDetailsClosed);
        m_ui.setWindowWidth(kWidthClosed);
        return;
    }
    RefreshEntryList([this] {
        ShowDialParams();
        if (m_connectedEntry.empty()) {
            return;
        }
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].name == m_connectedEntry) {
                m_ui.setSelectedIndex(static_cast<int>(i));
                break;
            }
        }
    });
    m_view.setText("btnDetails", kDetailsOpen);
    m_ui.setWindowWidth(kWidthOpen);
}

} // namespace tavlor
