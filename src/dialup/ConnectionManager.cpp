#include "dialup/ConnectionManager.h"

#include "dialup/EntryEditor.h"
#include "dialup/RasFields.h"

#include <algorithm>
#include <vector>

namespace tavlor {

using rasfields::wipe;

namespace {
constexpr int kEntryBufferCount = 100;
constexpr const char* kOffline = "Offline";

class PasswordWipe
{
public:
    explicit PasswordWipe(RASDIALPARAMSA& params) : m_params(params) {}
    ~PasswordWipe() { wipe(m_params.szPassword, sizeof m_params.szPassword); }
    PasswordWipe(const PasswordWipe&) = delete;
    PasswordWipe& operator=(const PasswordWipe&) = delete;

private:
    RASDIALPARAMSA& m_params;
};

} // namespace

EListIndexError::EListIndexError(int index)
    : std::runtime_error("Der Index der Liste überschreitet das Maximum (" + std::to_string(index) + ")")
{
}

ConnectionManager::ConnectionManager(RasBinding& ras, ViewModel& view, ManagerUi& ui)
    : m_ras(ras), m_view(view), m_ui(ui)
{
}

void ConnectionManager::initialiseControls()
{
    m_view.setEnabled("btnEditEntry", false);
    m_view.setEnabled("btnDialEntry", false);
    m_view.setEnabled("btnHangup", true);
    m_view.setText("eUser", "eUser");
    m_view.setText("ePass", "ePass");
    m_view.setText("eNum", "0");
    m_view.setText("lcon", kOffline);
    m_view.setText("lMit", "lMit");
    m_view.setText("btnDetails", kDetailsClosed);
    m_ui.setWindowWidth(kWidthClosed);
}

std::string ConnectionManager::selectedName() const
{
    const int index = m_ui.selectedIndex();
    if (index < 0 || index >= m_ui.entryCount()) {
        throw EListIndexError(index);
    }
    return m_ui.entryText(index);
}

std::string ConnectionManager::errorText(RasDword code)
{
    char buffer[101] = {};
    m_ras.RasGetErrorStringA(code, buffer, 100);
    buffer[100] = '\0';
    return buffer;
}

bool ConnectionManager::fillDialParams(const std::string& entry, const std::string& user,
                                       const std::string& password, const std::string& number)
{
    wipe(&m_dialParams, sizeof m_dialParams);
    m_dialParams.dwSize = sizeof(RASDIALPARAMSA);
    std::string refusal;
    if (!rasfields::assign(m_dialParams.szEntryName, entry)) {
        refusal = tooLongText("Der Name", kRasMaxEntryName);
    } else if (!rasfields::assign(m_dialParams.szUserName, user)) {
        refusal = tooLongText("Der Benutzername", kRasMaxUserName);
    } else if (!rasfields::assign(m_dialParams.szPassword, password)) {
        refusal = tooLongText("Das Passwort", kRasMaxPassword);
    } else if (!rasfields::assign(m_dialParams.szPhoneNumber, number)) {
        refusal = tooLongText("Die Nummer", kRasMaxPhoneNumber);
    }
    if (!refusal.empty()) {
        m_ui.showMessage(refusal);
        return false;
    }
    return true;
}

void ConnectionManager::RefreshEntryList()
{
    try {
        m_view.setEnabled("btnEditEntry", false);
        m_ui.clearEntries();
        std::vector<RASENTRYNAMEA> entries(kEntryBufferCount);
        entries[0].dwSize = sizeof(RASENTRYNAMEA);
        RasDword bytes = sizeof(RASENTRYNAMEA) * kEntryBufferCount;
        RasDword count = 0;
        if (m_ras.RasEnumEntriesA(entries.data(), &bytes, &count) != kRasSuccess) {
            m_ui.showMessage("RasEnumEntries failed.");
            return;
        }
        if (count == 0) {
            return;
        }
        // A provider claiming more than the buffer holds must not make us read past it.
        const RasDword shown = std::min<RasDword>(count, kEntryBufferCount);
        for (RasDword i = 0; i < shown; ++i) {
            m_ui.addEntry(rasfields::text(entries[i].szEntryName));
        }
        m_ui.setSelectedIndex(0);
        m_view.setEnabled("btnEditEntry", true);
    } catch (const std::exception&) {
        // Dropped: the list simply stays as far as it got.
    }
}

void ConnectionManager::ShowDialParams()
{
    PasswordWipe wipeAfterUse(m_dialParams);
    try {
        const std::string name = selectedName();
        wipe(&m_dialParams, sizeof m_dialParams);
        m_dialParams.dwSize = sizeof(RASDIALPARAMSA);
        if (!rasfields::assign(m_dialParams.szEntryName, name)) {
            return;
        }
        RasBool hasPassword = 0;
        const RasDword rc = m_ras.RasGetEntryDialParamsA(&m_dialParams, &hasPassword);
        if (rc != kRasSuccess) {
            m_ui.showMessage("RasGetEntryDialParams failed: " + errorText(rc));
            return;
        }
        m_view.setText("eUser", rasfields::text(m_dialParams.szUserName));
        m_view.setText("eNum", rasfields::text(m_dialParams.szPhoneNumber));
        if (hasPassword != 0) {
            m_view.setText("ePass", rasfields::text(m_dialParams.szPassword));
        }
    } catch (const std::exception&) {
        // Dropped, like a click on an empty list.
    }
}

void ConnectionManager::lstEntriesClick()
{
    ShowDialParams();
}

void ConnectionManager::btnCreateEntryClick()
{
    if (m_ras.RasCreatePhonebookEntryA(m_ui.ownerWindow()) != kRasSuccess) {
        m_ui.showMessage("Fehler beim Anlegen.");
        return;
    }
    RefreshEntryList();
}

void ConnectionManager::btnEditEntryClick()
{
    const std::string name = selectedName();
    if (m_ras.RasEditPhonebookEntryA(m_ui.ownerWindow(), name.c_str()) != kRasSuccess) {
        m_ui.showMessage("RasEditPhonebookEntry failed.");
    }
}

void ConnectionManager::btnRenameEntryClick()
{
    const std::string newName = m_ui.inputQuery("Eintrag ändern", "Neuer Name:", selectedName());
    if (newName.empty()) {
        return;
    }
    if (newName.size() > static_cast<std::size_t>(kRasMaxEntryName)) {
        m_ui.showMessage(tooLongText("Der Name", kRasMaxEntryName));
        return;
    }
    auto rename = reinterpret_cast<RasRenameEntryFn>(m_ras.GetRasProc("RasRenameEntry"));
    const std::string oldName = selectedName();
    if (rename(nullptr, oldName.c_str(), newName.c_str()) != kRasSuccess) {
        m_ui.showMessage("Fehler beim umbennen.");
        return;
    }
    RefreshEntryList();
}

void ConnectionManager::btnDeleteEntryClick()
{
    const std::string name = selectedName();
    if (!m_ui.askWarning(name + " wirklich löschen?")) {
        return;
    }
    auto remove = reinterpret_cast<RasDeleteEntryFn>(m_ras.GetRasProc("RasDeleteEntry"));
    if (remove(nullptr, name.c_str()) != kRasSuccess) {
        m_ui.showMessage("Fehler beim Löschen.");
        return;
    }
    RefreshEntryList();
}

} // namespace tavlor
