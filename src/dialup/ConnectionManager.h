#pragma once

#include "dialup/ManagerUi.h"
#include "platform/DialupService.h"
#include "text/ViewModel.h"

#include <functional>
#include <memory>
#include <optional>
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

// The three fields of the manager, as the window reports what the user typed into them.
enum class ManagerField
{
    User,
    Password,
    Number,
};

// The connection manager's handlers, free of any window. Field texts (eUser, ePass, eNum),
// button states (btnEditEntry, btnHangup), lcon, lMit and the btnDetails caption live in the
// view model; the list box and the dialogs go through ManagerUi. Every request to the dial-up
// service is answered later: the hourglass shows until then, and clicks meanwhile are ignored.
// Entries are told apart by their id, never by their name or a text on screen: the fields stand
// for the selected entry, and a dial sends only what the user typed for it since selecting it.
class ConnectionManager
{
public:
    // `gateway` is the gateway flag of the usage state, read where it is kept.
    ConnectionManager(DialupService& service, ViewModel& view, ManagerUi& ui, const bool& gateway);

    // The controls' texts and states when the window is created; the manager starts closed.
    void initialiseControls();

    // Afterwards the entry selected before (else the first) is selected and the fields show it.
    void RefreshEntryList(std::function<void()> then = {});
    void ShowDialParams();
    void lstEntriesClick();
    // The user typed into one of the three fields; `text` is the field's whole text now.
    void fieldTyped(ManagerField field, const std::string& text);
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
    bool managerOpen() const { return m_open; }

private:
    // What the user typed for the entry `of` since selecting it.
    struct Typed
    {
        std::string of;
        std::optional<std::string> user;
        std::optional<std::string> number;
        std::optional<SecretText> password;
    };

    const DialupEntry& selectedEntry() const;
    std::vector<std::string> namesExcept(const std::string& id) const;
    // Lists, selects the entry `keep` (else one named `keepName`, else the first) and shows it.
    void refreshSelecting(std::string keep, std::string keepName, std::function<void()> then);
    void showEntries(std::vector<DialupEntry> entries, const std::string& keep, const std::string& keepName);
    void readSelected(bool keepTyped);
    void showDetails(const std::string& id, DialupEntryDetails& details);
    DialValues typedFor(const std::string& id) const;
    void forgetTyped();
    void createWithOwnDialog();
    void editWithOwnDialog(const std::string& id, const std::string& name);
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
    ActiveDialup m_connected;           // the connection shown in lcon
    std::string m_passwordOf;           // the entry whose stored password ePass shows
    Typed m_typed;
    bool m_open = false;
    int m_busy = 0;
    int m_readRequest = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace tavlor
