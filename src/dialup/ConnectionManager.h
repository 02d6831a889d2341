#pragma once

#include "accounting/ViewModel.h"
#include "dialup/ManagerUi.h"
#include "platform/DialupService.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tavlor {

// The list box's error for an index it does not hold, e.g. "(-1)" when nothing is selected.
class EListIndexError : public std::runtime_error
{
public:
    explicit EListIndexError(int index);
};

inline constexpr const char* kDetailsClosed = "VerbindungsManager  öffnen>>";
inline constexpr const char* kDetailsOpen = "<< VerbindungsManager schliessen";
inline constexpr int kWidthClosed = 450;
inline constexpr int kWidthOpen = 830;

// The connection manager's handlers, free of any window. Field texts (eUser, ePass, eNum),
// button states (btnEditEntry, btnHangup), lcon, lMit and the btnDetails caption live in the
// view model; the list box and the dialogs go through ManagerUi. Every request to the dial-up
// service is answered later: the hourglass shows until then, and clicks meanwhile are ignored.
class ConnectionManager
{
public:
    // `gateway` is the gateway flag of the usage state, read where it is kept.
    ConnectionManager(DialupService& service, ViewModel& view, ManagerUi& ui, const bool& gateway);

    // The controls' texts and states when the window is created; the manager starts closed.
    void initialiseControls();

    void RefreshEntryList(std::function<void()> then = {});
    void ShowDialParams();
    void lstEntriesClick();
    void btnCreateEntryClick();
    void btnEditEntryClick();
    void btnRenameEntryClick();
    void btnDeleteEntryClick();

    // From the state the service keeps; in gateway mode lcon reads "Internet Gateway".
    void RefreshConnectionStatus();
    void btnDialEntryClick();
    void btnHangupClick();
    void btnDetailsClick();

    const std::string& currentConnection() const { return m_currentConnection; }
    bool busy() const { return m_busy > 0; }

private:
    std::string selectedName() const;
    std::vector<std::string> namesExcept(const std::string& name) const;
    void showEntries(std::vector<DialupEntry> entries);
    void showDetails(const std::string& name, DialupEntryDetails& details);
    void createWithOwnDialog();
    void editWithOwnDialog(const std::string& name);
    void report(const std::string& message, const DialupResult& result);
    // Starts a request: the hourglass until `finish` runs; false while another one is open.
    bool begin();
    void finish();
    // A service that throws (a RAS function missing) must not leave the hourglass behind.
    template <typename Start> void sending(Start&& start)
    {
        try {
            start();
        } catch (...) {
            finish();
            throw;
        }
    }
    // The answer to a change the user asked for: the hourglass goes, a refusal is reported with
    // `failure`, and `then` runs after a success.
    DialupService::Done afterwards(const char* failure, std::function<void()> then);
    // Wraps an answer so that it is dropped once this manager is gone.
    template <typename Handler> auto guarded(Handler handler)
    {
        return [alive = std::weak_ptr<bool>(m_alive), handler = std::move(handler)](auto&&... args) mutable {
            if (!alive.expired()) {
                handler(std::forward<decltype(args)>(args)...);
            }
        };
    }

    DialupService& m_service;
    ViewModel& m_view;
    ManagerUi& m_ui;
    const bool& m_gateway;
    std::vector<DialupEntry> m_entries; // as listed, names whole
    std::string m_currentConnection;    // CurrentConnection
    std::string m_connectedEntry;
    std::string m_passwordOf; // the entry whose stored password ePass shows
    int m_busy = 0;
    int m_readRequest = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace tavlor
