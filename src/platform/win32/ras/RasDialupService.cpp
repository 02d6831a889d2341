#include "platform/win32/ras/RasDialupService.h"

#include "platform/win32/WinText.h"
#include "platform/win32/ras/RasFields.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace tavlor {

namespace {
using Status = DialupResult::Status;
constexpr int kEntryBufferCount = 100;
constexpr int kConnectionBufferCount = 100;

std::string tooLongText(const std::string& what, int limit)
{
    return what + " ist zu lang (höchstens " + std::to_string(limit) + " Zeichen).";
}

std::string notInCodePageText(const std::string& what)
{
    return what + " enthält Zeichen, die die Codepage von Windows (ANSI) nicht darstellen kann.";
}

// The RAS functions are the ANSI ones: the program's UTF-8 crosses them in the ANSI code page.
template <std::size_t N> std::string fieldText(const char (&field)[N])
{
    return win32::AnsiToUtf8(rasfields::text(field));
}

// Fills `field` with `utf8` in the ANSI code page; the refusal names `what` otherwise.
template <std::size_t N>
bool assignAnsi(char (&field)[N], std::string_view utf8, const std::string& what, std::string& refusal)
{
    std::optional<std::string> ansi = win32::Utf8ToAnsi(utf8);
    if (!ansi) {
        refusal = notInCodePageText(what);
        return false;
    }
    const bool fits = rasfields::assign(field, *ansi);
    rasfields::wipe(ansi->data(), ansi->size());
    if (!fits) {
        refusal = tooLongText(what, static_cast<int>(N - 1));
    }
    return fits;
}

// The owner of a system dialog must be a window; anything else goes as none.
void* ownerHandle(void* owner)
{
    return owner != nullptr && IsWindow(static_cast<HWND>(owner)) ? owner : nullptr;
}

// Wipes the whole record, the password with it, when it goes.
struct WipedParams
{
    RASDIALPARAMSA params{};
    WipedParams() { params.dwSize = sizeof(RASDIALPARAMSA); }
    ~WipedParams() { rasfields::wipe(&params, sizeof params); }
    WipedParams(const WipedParams&) = delete;
    WipedParams& operator=(const WipedParams&) = delete;
};
} // namespace

RasDialupService::RasDialupService(std::unique_ptr<LibraryLoader> loader)
    : m_ownLoader(std::move(loader)), m_ras(std::make_unique<RasBinding>(*m_ownLoader))
{
}

RasDialupService::RasDialupService(LibraryLoader& loader) : m_ras(std::make_unique<RasBinding>(loader)) {}

bool RasDialupService::available() const
{
    return m_ras->open();
}

std::string RasDialupService::missingReason() const
{
    return "Der Verbindungsdienst ist nicht erreichbar.";
}

DialupResult RasDialupService::failed(RasDword code)
{
    char buffer[101] = {};
    m_ras->RasGetErrorStringA(code, buffer, 100);
    buffer[100] = '\0';
    return DialupResult::failure(Status::Failed, fieldText(buffer));
}

std::vector<ActiveDialup> RasDialupService::activeConnections() const
{
    std::vector<RASCONNA> records(kConnectionBufferCount);
    records[0].dwSize = sizeof(RASCONNA);
    RasDword bytes = sizeof(RASCONNA) * kConnectionBufferCount;
    RasDword count = 0;
    std::vector<ActiveDialup> active;
    RasDword rc = 0;
    try {
        rc = m_ras->RasEnumConnectionsA(records.data(), &bytes, &count);
    } catch (const ERasError&) {
        throw ERasError("RasEnumConnectionsA not found in rasapi32.dll");
    }
    if (rc != kRasSuccess && rc != kRasBufferTooSmall) {
        return active;
    }
    for (RasDword i = 0; i < std::min<RasDword>(count, kConnectionBufferCount); ++i) {
        const std::string entry = fieldText(records[i].szEntryName);
        active.push_back(
            {std::to_string(records[i].hrasconn), entry, fieldText(records[i].szDeviceName), {}, entry});
    }
    return active;
}

void RasDialupService::listEntries(EntriesDone done)
{
    std::vector<RASENTRYNAMEA> entries(kEntryBufferCount);
    entries[0].dwSize = sizeof(RASENTRYNAMEA);
    RasDword bytes = sizeof(RASENTRYNAMEA) * kEntryBufferCount;
    RasDword count = 0;
    const RasDword rc = m_ras->RasEnumEntriesA(entries.data(), &bytes, &count);
    if (rc != kRasSuccess) {
        done(failed(rc), {});
        return;
    }
    std::vector<DialupEntry> found;
    // A provider claiming more than the buffer holds must not make us read past it.
    for (RasDword i = 0; i < std::min<RasDword>(count, kEntryBufferCount); ++i) {
        // The phonebook name is the entry's identity here.
        const std::string name = fieldText(entries[i].szEntryName);
        found.push_back({name, {}, name});
    }
    done({}, std::move(found));
}

void RasDialupService::readEntry(const std::string& id, DetailsDone done)
{
    WipedParams record;
    std::string refusal;
    if (!assignAnsi(record.params.szEntryName, id, "Der Name", refusal)) {
        done(DialupResult::failure(Status::Refused, refusal), {});
        return;
    }
    RasBool hasPassword = 0;
    const RasDword rc = m_ras->RasGetEntryDialParamsA(&record.params, &hasPassword);
    if (rc != kRasSuccess) {
        done(failed(rc), {});
        return;
    }
    DialupEntryDetails details;
    details.user = fieldText(record.params.szUserName);
    details.number = fieldText(record.params.szPhoneNumber);
    details.passwordStored = hasPassword != 0;
    details.passwordReadable = hasPassword != 0;
    if (hasPassword != 0) {
        std::string secret = fieldText(record.params.szPassword);
        details.password = SecretText(secret);
        rasfields::wipe(secret.data(), secret.size());
    }
    done({}, std::move(details));
}

void RasDialupService::createEntry(DialupEntryFields, Done done)
{
    done(DialupResult::failure(Status::Refused, {}));
}

void RasDialupService::editEntry(const std::string&, DialupEntryFields, Done done)
{
    done(DialupResult::failure(Status::Refused, {}));
}

void RasDialupService::createEntryInSystemDialog(void* owner, Done done)
{
    const RasDword rc = m_ras->RasCreatePhonebookEntryA(ownerHandle(owner));
    done(rc == kRasSuccess ? DialupResult{} : DialupResult::failure(Status::Failed, {}));
}

void RasDialupService::editEntryInSystemDialog(void* owner, const std::string& id, Done done)
{
    const std::optional<std::string> name = win32::Utf8ToAnsi(id);
    if (!name) {
        done(DialupResult::failure(Status::Refused, notInCodePageText("Der Name")));
        return;
    }
    const RasDword rc = m_ras->RasEditPhonebookEntryA(ownerHandle(owner), name->c_str());
    done(rc == kRasSuccess ? DialupResult{} : DialupResult::failure(Status::Failed, {}));
}

void RasDialupService::renameEntry(const std::string& id, const std::string& to, Done done)
{
    const std::optional<std::string> from = win32::Utf8ToAnsi(id);
    const std::optional<std::string> name = win32::Utf8ToAnsi(to);
    if (!from || !name) {
        done(DialupResult::failure(Status::Refused, notInCodePageText("Der Name")));
        return;
    }
    if (name->size() > static_cast<std::size_t>(kRasMaxEntryName)) {
        done(DialupResult::failure(Status::Refused, tooLongText("Der Name", kRasMaxEntryName)));
        return;
    }
    auto rename = reinterpret_cast<RasRenameEntryFn>(m_ras->GetRasProc("RasRenameEntry"));
    const RasDword rc = rename(nullptr, from->c_str(), name->c_str());
    done(rc == kRasSuccess ? DialupResult{} : DialupResult::failure(Status::Failed, {}));
}

void RasDialupService::deleteEntry(const std::string& id, Done done)
{
    const std::optional<std::string> name = win32::Utf8ToAnsi(id);
    if (!name) {
        done(DialupResult::failure(Status::Refused, notInCodePageText("Der Name")));
        return;
    }
    auto remove = reinterpret_cast<RasDeleteEntryFn>(m_ras->GetRasProc("RasDeleteEntry"));
    const RasDword rc = remove(nullptr, name->c_str());
    done(rc == kRasSuccess ? DialupResult{} : DialupResult::failure(Status::Failed, {}));
}

bool RasDialupService::fill(RASDIALPARAMSA& params, const std::string& entry, const DialValues& values,
                            std::string& refusal)
{
    if (!assignAnsi(params.szEntryName, entry, "Der Name", refusal)) {
        return false;
    }
    if (!values.user || !values.number || !values.typedPassword()) {
        // What was not typed is dialled as stored: the record starts from the stored parameters.
        RasBool hasPassword = 0;
        if (m_ras->RasGetEntryDialParamsA(&params, &hasPassword) != kRasSuccess) {
            rasfields::wipe(&params, sizeof params);
            params.dwSize = sizeof(RASDIALPARAMSA);
            assignAnsi(params.szEntryName, entry, "Der Name", refusal);
        }
    }
    return (!values.user || assignAnsi(params.szUserName, *values.user, "Der Benutzername", refusal)) &&
           (!values.typedPassword() ||
            assignAnsi(params.szPassword, values.password->view(), "Das Passwort", refusal)) &&
           (!values.number || assignAnsi(params.szPhoneNumber, *values.number, "Die Nummer", refusal));
}

void RasDialupService::dial(const std::string& id, DialValues values, Done done)
{
    WipedParams record;
    std::string refusal;
    const bool filled = fill(record.params, id, values, refusal);
    if (values.password) {
        values.password->wipe();
    }
    if (!filled) {
        done(DialupResult::failure(Status::Refused, refusal));
        return;
    }
    RasHandle handle = 0;
    const RasDword rc = m_ras->RasDialA(&record.params, &handle);
    rasfields::wipe(&record.params, sizeof record.params);
    if (rc != kRasSuccess) {
        if (handle != 0) {
            m_ras->RasHangUpA(handle);
        }
        done(failed(rc));
        return;
    }
    done({});
}

void RasDialupService::hangUp(const std::string& connectionId, Done done)
{
    RasHandle handle = 0;
    try {
        handle = static_cast<RasHandle>(std::stoull(connectionId.empty() ? "0" : connectionId));
    } catch (const std::exception&) {
        handle = 0;
    }
    const RasDword rc = m_ras->RasHangUpA(handle);
    done(rc == kRasSuccess ? DialupResult{} : failed(rc));
}

} // namespace tavlor
