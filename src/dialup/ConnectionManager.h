#pragma once

#include "accounting/ViewModel.h"
#include "dialup/ManagerUi.h"
#include "dialup/Ras.h"

#include <stdexcept>

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
// view model; the list box and the dialogs go through ManagerUi.
class ConnectionManager
{
public:
    ConnectionManager(RasBinding& ras, ViewModel& view, ManagerUi& ui);

    // The controls' texts and states when the window is created; the manager starts closed.
    void initialiseControls();

    void RefreshEntryList();
    void ShowDialParams();
    void lstEntriesClick();
    void btnCreateEntryClick();
    void btnEditEntryClick();
    void btnRenameEntryClick();
    void btnDeleteEntryClick();

    void RefreshConnectionStatus();
    void btnDialEntryClick();
    void btnHangupClick();
    void btnDetailsClick();

    RasHandle currentConnection() const { return m_currentConnection; }
    const RASDIALPARAMSA& dialParams() const { return m_dialParams; }

private:
    std::string selectedName() const;
    bool fillDialParams(const std::string& entry, const std::string& user, const std::string& password,
                        const std::string& number);
    std::string errorText(RasDword code);

    RasBinding& m_ras;
    ViewModel& m_view;
    ManagerUi& m_ui;
    RASDIALPARAMSA m_dialParams{};     // DialParams; its password is wiped after every use
    RasHandle m_currentConnection = 0; // CurrentConnection
};

} // namespace tavlor
