#include "dialup/ConnectionManager.h"

#include "dialup/RasFields.h"

#include <vector>

// Dialling, hang-up, the connection status and opening the manager.
namespace tavlor {

namespace {
constexpr int kConnectionBufferCount = 100;
constexpr const char* kOffline = "Offline";
constexpr int kHangUpSettleMs = 1000;

class BusyCursor
{
public:
    explicit BusyCursor(ManagerUi& ui) : m_ui(ui) { m_ui.setBusyCursor(true); }
    ~BusyCursor() { m_ui.setBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    ManagerUi& m_ui;
};
} // namespace

void ConnectionManager::RefreshConnectionStatus()
{
    if (m_view.checked("cbLan")) {
        return;
    }
    m_view.setEnabled("btnHangup", false);
    std::vector<RASCONNA> connections(kConnectionBufferCount);
    connections[0].dwSize = sizeof(RASCONNA);
    RasDword bytes = sizeof(RASCONNA) * kConnectionBufferCount;
    RasDword count = 0;
    const RasDword rc = m_ras.RasEnumConnectionsA(connections.data(), &bytes, &count);
    if (rc != kRasSuccess || count == 0) {
        m_currentConnection = 0;
        m_view.setText("lcon", kOffline);
        m_view.setText("lMit", "-");
        return;
    }
    const RASCONNA& first = connections[0];
    m_currentConnection = first.hrasconn;
    m_view.setText("lcon", rasfields::text(first.szEntryName));
    m_view.setText("lMit", rasfields::text(first.szDeviceName));
    m_view.setEnabled("btnHangup", true);
}

void ConnectionManager::btnDialEntryClick()
{
    BusyCursor busy(m_ui);
    // Declared after the cursor so the password is gone before the cursor comes back.
    struct Wipe
    {
        RASDIALPARAMSA& params;
        ~Wipe() { rasfields::wipe(params.szPassword, sizeof params.szPassword); }
    } wipeAfterUse{m_dialParams};

    if (!fillDialParams(selectedName(), m_view.text("eUser"), m_view.text("ePass"), m_view.text("eNum"))) {
        return;
    }
    RasHandle handle = 0;
    if (m_ras.RasDialA(&m_dialParams, &handle) != kRasSuccess) {
        if (handle != 0) {
            m_ras.RasHangUpA(handle);
        }
        m_ui.showMessage("Verbindung konnte nicht hergestellt werden");
        return;
    }
    RefreshConnectionStatus();
}

void ConnectionManager::btnHangupClick()
{
    if (m_ras.RasHangUpA(m_currentConnection) != kRasSuccess) {
        m_ui.showMessage("RasHangUp failed.");
        return;
    }
    m_ui.waitMs(kHangUpSettleMs);
    RefreshConnectionStatus();
}

void ConnectionManager::btnDetailsClick()
{
    if (m_view.text("btnDetails") != kDetailsClosed) {
        m_view.setText("btnDetails", kDetailsClosed);
        m_ui.setWindowWidth(kWidthClosed);
        return;
    }
    try {
        RefreshEntryList();
        ShowDialParams();
        const std::string connected = m_view.text("lcon");
        if (connected != kOffline) {
            for (int i = 0; i < m_ui.entryCount(); ++i) {
                if (m_ui.entryText(i) == connected) {
                    m_ui.setSelectedIndex(i);
                    break;
                }
            }
        }
        m_view.setText("btnDetails", kDetailsOpen);
        m_ui.setWindowWidth(kWidthOpen);
    } catch (const std::exception&) {
        // Dropped: the manager stays closed.
    }
}

} // namespace tavlor
