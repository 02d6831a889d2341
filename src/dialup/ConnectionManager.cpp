#include "dialup/ConnectionManager.h"
#include "text/WidgetNames.h"

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
    m_view.setEnabled(names::btnEditEntry, false);
    m_view.setEnabled(names::btnDialEntry, false);
    m_view.setEnabled(names::btnHangup, true);
    m_view.setText(names::eUser, names::eUser);
    m_view.setText(names::ePass, names::ePass);
    m_view.setText(names::eNum, "0");
    m_view.setText(names::lcon, kOffline);
    m_view.setText(names::lMit, names::lMit);
    m_view.setText(names::btnDetails, kDetailsClosed);
    m_open = false;
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

const DialupEntry& ConnectionManager::selectedEntry() const
{
    const int index = m_ui.selectedIndex();
    if (index < 0 || index >= static_cast<int>(m_entries.size()) || index >= m_ui.entryCount()) {
        throw EListIndexError(index);
    }
    return m_entries[static_cast<std::size_t>(index)];
}

std::vector<std::string> ConnectionManager::namesExcept(const std::string& id) const
{
    std::vector<std::string> names;
    for (const DialupEntry& entry : m_entries) {
        if (entry.id != id || id.empty()) {
            names.push_back(entry.name);
        }
    }
    return names;
}

void ConnectionManager::showEntries(std::vector<DialupEntry> entries, const std::string& keep,
                                    const std::string& keepName)
{
    m_entries = std::move(entries);
    for (const DialupEntry& entry : m_entries) {
        m_ui.addEntry(displayName(entry.name));
    }
    if (m_entries.empty()) {
        return;
    }
    std::size_t chosen = 0;
    auto byId = std::find_if(m_entries.begin(), m_entries.end(),
                             [&keep](const DialupEntry& e) { return !keep.empty() && e.id == keep; });
    auto byName = std::find_if(m_entries.begin(), m_entries.end(), [&keepName](const DialupEntry& e) {
        return !keepName.empty() && e.name == keepName;
    });
    if (byId != m_entries.end()) {
        chosen = static_cast<std::size_t>(byId - m_entries.begin());
    } else if (byName != m_entries.end()) {
        chosen = static_cast<std::size_t>(byName - m_entries.begin());
    }
    m_ui.setSelectedIndex(static_cast<int>(chosen));
    m_view.setEnabled(names::btnEditEntry, true);
    // The fields follow the selection, so that a dial never mixes two entries; what the user
    // typed stays while the same entry stays selected.
    readSelected(true);
}

void ConnectionManager::RefreshEntryList(std::function<void()> then)
{
    const int index = m_ui.selectedIndex();
    std::string keep;
    if (index >= 0 && index < static_cast<int>(m_entries.size())) {
        keep = m_entries[static_cast<std::size_t>(index)].id;
    }
    refreshSelecting(std::move(keep), {}, std::move(then));
}

void ConnectionManager::refreshSelecting(std::string keep, std::string keepName, std::function<void()> then)
{
    if (!begin()) {
        return;
    }
    m_view.setEnabled(names::btnEditEntry, false);
    m_ui.clearEntries();
    m_entries.clear();
    try {
        m_service.listEntries(guarded([this, keep, keepName, then = std::move(then)](
                                          const DialupResult& result, std::vector<DialupEntry> entries) {
            finish();
            if (!result.ok()) {
                report("RasEnumEntries failed.", result);
                return;
            }
            showEntries(std::move(entries), keep, keepName);
            if (then) {
                then();
            }
        }));
    } catch (const std::exception&) {
        finish(); // dropped: the list simply stays empty
    }
}

void ConnectionManager::forgetTyped()
{
    m_typed.of.clear();
    m_typed.user.reset();
    m_typed.number.reset();
    if (m_typed.password) {
        m_typed.password->wipe();
    }
    m_typed.password.reset();
}

void ConnectionManager::fieldTyped(ManagerField field, const std::string& text)
{
    std::string id;
    try {
        id = selectedEntry().id;
    } catch (const std::exception&) {
        return; // nothing selected: there is nothing a typed value could be dialled with
    }
    if (m_typed.of != id) {
        forgetTyped();
        m_typed.of = id;
    }
    switch (field) {
    case ManagerField::User:
        m_typed.user = text;
        m_view.setText(names::eUser, text);
        break;
    case ManagerField::Number:
        m_typed.number = text;
        m_view.setText(names::eNum, text);
        break;
    case ManagerField::Password:
        m_typed.password.emplace(text);
        m_view.setText(names::ePass, text);
        m_passwordOf.clear();
        break;
    }
}

DialValues ConnectionManager::typedFor(const std::string& id) const
{
    DialValues values;
    if (m_typed.of != id) {
        return values; // the stored values of the entry, nothing of another's
    }
    values.user = m_typed.user;
    values.number = m_typed.number;
    if (m_typed.password) {
        values.password.emplace(m_typed.password->view());
    }
    return values;
}

void ConnectionManager::showDetails(const std::string& id, DialupEntryDetails& details)
{
    const bool typed = m_typed.of == id;
    if (!typed || !m_typed.user) {
        m_view.setText(names::eUser, details.user);
    }
    if (!typed || !m_typed.number) {
        m_view.setText(names::eNum, details.number);
    }
    if (typed && m_typed.password) {
        // what the user typed stays
    } else if (details.passwordReadable) {
        m_view.setText(names::ePass, std::string(details.password.view()));
        m_passwordOf = id;
    } else if (!m_passwordOf.empty() && m_passwordOf != id) {
        // Another entry's password must never be dialled with this one.
        m_view.setText(names::ePass, "");
        m_passwordOf.clear();
    }
    details.password.wipe();
}

void ConnectionManager::readSelected(bool keepTyped)
{
    std::string id;
    try {
        id = selectedEntry().id;
    } catch (const std::exception&) {
        return; // dropped, like a click on an empty list
    }
    if (!keepTyped || m_typed.of != id) {
        forgetTyped();
    }
    if (!m_passwordOf.empty() && m_passwordOf != id) {
        // Not even while the answer is on its way may another entry's password stand here.
        m_view.setText(names::ePass, "");
        m_passwordOf.clear();
    }
    const int request = ++m_readRequest;
    m_ui.setBusyCursor(true);
    m_service.readEntry(id,
                        guarded([this, id, request](const DialupResult& result, DialupEntryDetails details) {
                            m_ui.setBusyCursor(false);
                            // Only the answer for the entry selected last is shown.
                            if (request != m_readRequest) {
                                details.password.wipe();
                                return;
                            }
                            if (!result.ok()) {
                                m_ui.showMessage("RasGetEntryDialParams failed: " + result.reason);
                                return;
                            }
                            showDetails(id, details);
                        }));
}

void ConnectionManager::ShowDialParams()
{
    readSelected(false);
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
    const DialupEntry entry = selectedEntry();
    const std::string& id = entry.id;
    if (!m_service.hasSystemEntryDialogs()) {
        editWithOwnDialog(id, entry.name);
        return;
    }
    if (!begin()) {
        return;
    }
    sending([&] {
        m_service.editEntryInSystemDialog(
            m_ui.ownerWindow(), id,
            afterwards("RasEditPhonebookEntry failed.", [this] { ShowDialParams(); }));
    });
}

void ConnectionManager::editWithOwnDialog(const std::string& id, const std::string& name)
{
    if (!begin()) {
        return;
    }
    m_service.readEntry(id, guarded([this, id, name](const DialupResult& read, DialupEntryDetails details) {
                            finish();
                            details.password.wipe();
                            if (!read.ok()) {
                                report("RasEditPhonebookEntry failed.", read);
                                return;
                            }
                            DialupEntryFields fields{name,        details.kind, details.number,
                                                     details.apn, details.user, std::nullopt};
                            const std::vector<std::string> taken = namesExcept(id);
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
                                m_service.editEntry(id, std::move(fields),
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
    const DialupEntry entry = selectedEntry();
    const std::string newName = m_ui.inputQuery("Eintrag ändern", "Neuer Name:", entry.name);
    if (newName.empty() || !begin()) {
        return;
    }
    // Where the name is the id (RAS), the renamed entry is found again by its new name.
    sending([&] {
        m_service.renameEntry(entry.id, newName,
                              afterwards("Fehler beim umbennen.", [this, id = entry.id, newName] {
                                  refreshSelecting(id, newName, {});
                              }));
    });
}

void ConnectionManager::btnDeleteEntryClick()
{
    const DialupEntry entry = selectedEntry();
    if (!m_ui.askWarning(displayName(entry.name) + " wirklich löschen?") || !begin()) {
        return;
    }
    sending([&] {
        m_service.deleteEntry(entry.id, afterwards("Fehler beim Löschen.", [this] { RefreshEntryList(); }));
    });
}

} // namespace tavlor
