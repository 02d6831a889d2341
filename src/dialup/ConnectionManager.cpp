#include "dialup/ConnectionManager.h"

#include "dialup/EntryEditor.h"

#include <algorithm>

namespace tavlor {

namespace {
constexpr const char* kOffline = "Offline";
} // namespace

EListIndexError::EListIndexError(int index)
    : std::runtime_error("Der Index der Liste überschreitet das Maximum (" + std::to_string(index) + ")")
{
}

ConnectionManager::ConnectionManager(DialupService& service, ViewModel& view, ManagerUi& ui,
                                     const bool& gateway)
    : m_service(service), m_view(view), m_ui(ui), m_gateway(gateway)
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

bool ConnectionManager::begin()
{
    if (m_busy > 0) {
        return false;
    }
    ++m_busy;
    m_ui.setBusyCursor(true);
    return true;
}

void ConnectionManager::finish()
{
    if (m_busy > 0) {
        --m_busy;
        m_ui.setBusyCursor(false);
    }
}

void ConnectionManager::report(const std::string& message, const DialupResult& result)
{
    m_ui.showMessage(result.reason.empty() ? message : message + "\n" + result.reason);
}

std::string ConnectionManager::selectedName() const
{
    const int index = m_ui.selectedIndex();
    if (index < 0 || index >= static_cast<int>(m_entries.size()) || index >= m_ui.entryCount()) {
        throw EListIndexError(index);
    }
    return m_entries[static_cast<std::size_t>(index)].name;
}

std::vector<std::string> ConnectionManager::namesExcept(const std::string& name) const
{
    std::vector<std::string> names;
    for (const DialupEntry& entry : m_entries) {
        if (entry.name != name) {
            names.push_back(entry.name);
        }
    }
    return names;
}

void ConnectionManager::showEntries(std::vector<DialupEntry> entries)
{
    m_entries = std::move(entries);
    for (const DialupEntry& entry : m_entries) {
        m_ui.addEntry(displayName(entry.name));
    }
    if (!m_entries.empty()) {
        m_ui.setSelectedIndex(0);
        m_view.setEnabled("btnEditEntry", true);
    }
}

void ConnectionManager::RefreshEntryList(std::function<void()> then)
{
    if (!begin()) {
        return;
    }
    m_view.setEnabled("btnEditEntry", false);
    m_ui.clearEntries();
    m_entries.clear();
    try {
        m_service.listEntries(guarded(
            [this, then = std::move(then)](const DialupResult& result, std::vector<DialupEntry> entries) {
                finish();
                if (!result.ok()) {
                    report("RasEnumEntries failed.", result);
                    return;
                }
                showEntries(std::move(entries));
                if (then) {
                    then();
                }
            }));
    } catch (const std::exception&) {
        finish(); // dropped: the list simply stays empty
    }
}

void ConnectionManager::showDetails(const std::string& name, DialupEntryDetails& details)
{
    m_view.setText("eUser", details.user);
    m_view.setText("eNum", details.number);
    if (details.passwordReadable) {
        m_view.setText("ePass", std::string(details.password.view()));
        m_passwordOf = name;
    } else if (!m_passwordOf.empty() && m_passwordOf != name) {
        // Another entry's password must never be dialled with this one.
        m_view.setText("ePass", "");
        m_passwordOf.clear();
    }
    details.password.wipe();
}

void ConnectionManager::ShowDialParams()
{
    std::string name;
    try {
        name = selectedName();
    } catch (const std::exception&) {
        return; // dropped, like a click on an empty list
    }
    if (!m_passwordOf.empty() && m_passwordOf != name) {
        // Not even while the answer is on its way may another entry's password stand here.
        m_view.setText("ePass", "");
        m_passwordOf.clear();
    }
    const int request = ++m_readRequest;
    m_ui.setBusyCursor(true);
    m_service.readEntry(
        name, guarded([this, name, request](const DialupResult& result, DialupEntryDetails details) {
            m_ui.setBusyCursor(false);
            // Only the answer for the entry clicked last is shown.
            if (request != m_readRequest) {
                details.password.wipe();
                return;
            }
            if (!result.ok()) {
                m_ui.showMessage("RasGetEntryDialParams failed: " + result.reason);
                return;
            }
            showDetails(name, details);
        }));
}

void ConnectionManager::lstEntriesClick()
{
    ShowDialParams();
}

void ConnectionManager::btnCreateEntryClick()
{
    if (!m_service.available()) {
        m_ui.showMessage(std::string("Fehler beim Anlegen.\n") + m_service.missingReason());
        return;
    }
    if (!m_service.hasSystemEntryDialogs()) {
        createWithOwnDialog();
        return;
    }
    if (!begin()) {
        return;
    }
    sending([&] {
        m_service.createEntryInSystemDialog(
            m_ui.ownerWindow(), afterwards("Fehler beim Anlegen.", [this] { RefreshEntryList(); }));
    });
}

void ConnectionManager::createWithOwnDialog()
{
    DialupEntryFields fields;
    const std::vector<std::string> taken = namesExcept({});
    if (!m_ui.askEntryFields(fields, true, false,
                             [&taken](const DialupEntryFields& f) { return entryFieldsProblem(f, taken); }) ||
        !begin()) {
        return;
    }
    sending([&] {
        m_service.createEntry(std::move(fields),
                              afterwards("Fehler beim Anlegen.", [this] { RefreshEntryList(); }));
    });
}

void ConnectionManager::btnEditEntryClick()
{
    const std::string name = selectedName();
    if (!m_service.hasSystemEntryDialogs()) {
        editWithOwnDialog(name);
        return;
    }
    if (!begin()) {
        return;
    }
    sending([&] {
        m_service.editEntryInSystemDialog(
            m_ui.ownerWindow(), name,
            afterwards("RasEditPhonebookEntry failed.", [this] { ShowDialParams(); }));
    });
}

void ConnectionManager::editWithOwnDialog(const std::string& name)
{
    if (!begin()) {
        return;
    }
    m_service.readEntry(name, guarded([this, name](const DialupResult& read, DialupEntryDetails details) {
                            finish();
                            details.password.wipe();
                            if (!read.ok()) {
                                report("RasEditPhonebookEntry failed.", read);
                                return;
                            }
                            DialupEntryFields fields{name,        details.kind, details.number,
                                                     details.apn, details.user, std::nullopt};
                            const std::vector<std::string> taken = namesExcept(name);
                            if (!m_ui.askEntryFields(fields, false, details.passwordStored,
                                                     [&taken](const DialupEntryFields& f) {
                                                         return entryFieldsProblem(f, taken);
                                                     }) ||
                                !begin()) {
                                return;
                            }
                            sending([&] {
                                // Afterwards the fields show what is stored now, so that a dial uses the
                                // edited values.
                                m_service.editEntry(name, std::move(fields),
                                                    afterwards("RasEditPhonebookEntry failed.",
                                                               [this] { ShowDialParams(); }));
                            });
                        }));
}

DialupService::Done ConnectionManager::afterwards(const char* failure, std::function<void()> then)
{
    return guarded([this, failure, then = std::move(then)](const DialupResult& result) {
        finish();
        if (!result.ok()) {
            report(failure, result);
            return;
        }
        then();
    });
}

void ConnectionManager::btnRenameEntryClick()
{
    const std::string oldName = selectedName();
    const std::string newName = m_ui.inputQuery("Eintrag ändern", "Neuer Name:", oldName);
    if (newName.empty() || !begin()) {
        return;
    }
    sending([&] {
        m_service.renameEntry(oldName, newName,
                              afterwards("Fehler beim umbennen.", [this] { RefreshEntryList(); }));
    });
}

void ConnectionManager::btnDeleteEntryClick()
{
    const std::string name = selectedName();
    if (!m_ui.askWarning(displayName(name) + " wirklich löschen?") || !begin()) {
        return;
    }
    sending([&] {
        m_service.deleteEntry(name, afterwards("Fehler beim Löschen.", [this] { RefreshEntryList(); }));
    });
}

} // namespace tavlor
