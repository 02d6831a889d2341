#include "platform/win32/ras/RasDialupService.h"

#include "platform/win32/ras/RasFields.h"

#include <algorithm>
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
    return DialupResult::failure(Status::Failed, buffer);
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
        active.push_back({std::to_string(records[i].hrasconn),
                          rasfields::text(records[i].szEntryName),
                          rasfields::text(records[i].szDeviceName),
                          {}});
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
        found.push_back({rasfields::text(entries[i].szEntryName), {}});
    }
    done({}, std::move(found));
}

void RasDialupService::readEntry(const std::string& name, DetailsDone done)
{
    WipedParams record;
    if (!rasfields::assign(record.params.szEntryName, name)) {
        done(DialupResult::failure(Status::Refused, tooLongText("Der Name", kRasMaxEntryName)), {});
        return;
    }
    RasBool hasPassword = 0;
    const RasDword rc = m_ras->RasGetEntryDialParamsA(&record.params, &hasPassword);
    if (rc != kRasSuccess) {
        done(failed(rc), {});
        return;
    }
    DialupEntryDetails details;
    details.user = rasfields::text(record.params.szUserName);
    details.number = rasfields::text(record.params.szPhoneNumber);
    details.passwordStored = hasPassword != 0;
    details.passwordReadable = hasPassword != 0;
    if (hasPassword != 0) {
        std::string secret = rasfields::text(record.params.szPassword);
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
    const RasDword rc = m_ras->RasCreatePhonebookEntryA(owner);
    done(rc == kRasSuccess ? DialupResult{} : DialupResult::failure(Status::Failed, {}));
}

void RasDialupService::editEntryInSystemDialog(void* owner, const std::string& name, Done done)
{
    const RasDword rc = m_ras->RasEditPhonebookEntryA(owner, name.c_str());
    done(rc == kRasSuccess ? DialupResult{} : DialupResult::failure(Status::Failed, {}));
}

void RasDialupService::renameEntry(const std::string& from, const std::string& to, Done done)
{
    if (to.size() > static_cast<std::size_t>(kRasMaxEntryName)) {
        done(DialupResult::failure(Status::Refused, tooLongText("Der Name", kRasMaxEntryName)));
        return;
    }
    auto rename = reinterpret_cast<RasRenameEntryFn>(m_ras->GetRasProc("RasRenameEntry"));
    const RasDword rc = rename(nullptr, from.c_str(), to.c_str());
    done(rc == kRasSuccess ? DialupResult{} : DialupResult::failure(Status::Failed, {}));
}

void RasDialupService::deleteEntry(const std::string& name, Done done)
{
    auto remove = reinterpret_cast<RasDeleteEntryFn>(m_ras->GetRasProc("RasDeleteEntry"));
    const RasDword rc = remove(nullptr, name.c_str());
    done(rc == kRasSuccess ? DialupResult{} : DialupResult::failure(Status::Failed, {}));
}

bool RasDialupService::fill(RASDIALPARAMSA& params, const std::string& entry, const DialValues& values,
                            std::string& refusal)
{
    const std::string password(values.password.view());
    if (!rasfields::assign(params.szEntryName, entry)) {
        refusal = tooLongText("Der Name", kRasMaxEntryName);
    } else if (!rasfields::assign(params.szUserName, values.user)) {
        refusal = tooLongText("Der Benutzername", kRasMaxUserName);
    } else if (!rasfields::assign(params.szPassword, password)) {
        refusal = tooLongText("Das Passwort", kRasMaxPassword);
    } else if (!rasfields::assign(params.szPhoneNumber, values.number)) {
        refusal = tooLongText("Die Nummer", kRasMaxPhoneNumber);
    }
    rasfields::wipe(const_cast<char*>(password.data()), password.size());
    return refusal.empty();
}

void RasDialupService::dial(const std::string& entry, DialValues values, Done done)
{
    WipedParams record;
    std::string refusal;
    const bool filled = fill(record.params, entry, values, refusal);
    values.password.wipe();
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
