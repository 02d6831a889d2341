#pragma once

#include "accounting/ViewModel.h"
#include "dialup/ManagerUi.h"

namespace tavlor {

class RasBinding;

// The connection manager's handlers, free of any window. Field texts (eUser, ePass, eNum),
// button states (btnEditEntry, btnHangup), lcon, lMit and the btnDetails caption live in the
// view model; the list box and the dialogs go through ManagerUi.
class ConnectionManager
{
public:
    ConnectionManager(RasBinding& ras, ViewModel& view, ManagerUi& ui);

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

private:
    RasBinding& m_ras;
    ViewModel& m_view;
    ManagerUi& m_ui;
};

} // namespace tavlor
