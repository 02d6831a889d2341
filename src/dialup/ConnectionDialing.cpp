#include "dialup/ConnectionManager.h"
#include "text/WidgetNames.h"

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
        m_view.setText(names::lcon, kGateway);
        // Gateway mode asks no dial-up connection; a device shown is one still known from
        // before the switch, else there is none (never the field's design-time caption).
        if (m_currentConnection.empty()) {
            m_view.setText(names::lMit, "-");
        }
        return;
    }
    const std::vector<ActiveDialup> active = m_service.activeConnections();
    if (active.empty()) {
        m_currentConnection.clear();
        m_connected = {};
        m_view.setEnabled(names::btnHangup, false);
        m_view.setText(names::lcon, kOffline);
        m_view.setText(names::lMit, "-");
        return;
    }
    const ActiveDialup& first = active.front();
    m_currentConnection = first.id;
    m_connected = first;
    m_view.setText(names::lcon, displayName(first.entry));
    m_view.setText(names::lMit, first.device);
    m_view.setEnabled(names::btnHangup, true);
}

void ConnectionManager::btnDialEntryClick()
{
    const std::string id = selectedEntry().id;
    if (!begin()) {
        return;
    }
    // Only what was typed for this entry goes; the rest is dialled as stored, so that neither a
    // design-time caption nor another entry's value is ever sent.
    DialValues values = typedFor(id);
    sending([&] {
        m_service.dial(id, std::move(values), guarded([this](const DialupResult& result) {
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
    if (m_open) {
        m_open = false;
        m_view.setText(names::btnDetails, kDetailsClosed);
        m_ui.setWindowWidth(kWidthClosed);
        return;
    }
    // The connected entry is selected and shown; without one (or when it is not listed) the
    // first. By id where the service tells it, else by the name it reports.
    refreshSelecting(m_connected.entryId, m_connected.entry, {});
    m_open = true;
    m_view.setText(names::btnDetails, kDetailsOpen);
    m_ui.setWindowWidth(kWidthOpen);
}

} // namespace tavlor
