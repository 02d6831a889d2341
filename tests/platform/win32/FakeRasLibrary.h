#pragma once

#include "platform/LibraryLoader.h"
#include "platform/win32/ras/Ras.h"
#include "platform/win32/ras/RasFields.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tavlor::test {

// A RAS library of the tests' own behind a LibraryLoader: "rasapi32.dll" and (when asked for)
// "rnaph.dll" with the ANSI functions over a phonebook and connection list held in memory.
// Return codes and missing functions are set per test; every call is recorded.
struct FakeRas
{
    struct Entry
    {
        std::string name, user, number, password;
        bool passwordStored = false;
    };
    struct Connection
    {
        RasHandle handle;
        std::string entry, device;
    };

    bool rasLoadable = true;
    bool rnaphLoadable = false;
    std::set<std::string> missing;        // absent from rasapi32.dll
    std::set<std::string> rnaphFunctions; // present in rnaph.dll

    std::vector<Entry> entries;
    std::vector<Connection> connections;
    std::map<std::string, RasDword> results; // forced return code per function name
    RasHandle halfMadeHandle = 0;            // handed back by a failing RasDialA

    std::vector<std::string> calls;
    int loads = 0;
    int releases = 0;
    RASDIALPARAMSA dialled{};  // the record RasDialA saw
    std::vector<void*> owners; // the owners the entry dialogs were given
    std::string errorText;     // the bytes RasGetErrorStringA gives, when set
    std::vector<RasHandle> hungUp;
    std::vector<std::pair<std::string, std::string>> renamed;
    std::vector<std::string> deleted;

    RasDword forced(const std::string& fn) const
    {
        auto it = results.find(fn);
        return it == results.end() ? 0 : it->second;
    }
    static FakeRas*& current()
    {
        static FakeRas* instance = nullptr;
        return instance;
    }
};

namespace fakeras {
inline FakeRas& ras()
{
    return *FakeRas::current();
}

inline RasDword WINAPI enumEntries(const char*, const char*, RASENTRYNAMEA* out, RasDword* bytes,
                                   RasDword* count)
{
    ras().calls.push_back("RasEnumEntriesA");
    if (RasDword rc = ras().forced("RasEnumEntriesA")) {
        return rc;
    }
    if (out[0].dwSize != sizeof(RASENTRYNAMEA)) {
        return 632;
    }
    const std::size_t room = *bytes / sizeof(RASENTRYNAMEA);
    *count = static_cast<RasDword>(ras().entries.size());
    if (ras().entries.size() > room) {
        *bytes = static_cast<RasDword>(ras().entries.size() * sizeof(RASENTRYNAMEA));
        return kRasBufferTooSmall;
    }
    for (std::size_t i = 0; i < ras().entries.size(); ++i) {
        rasfields::assign(out[i].szEntryName, ras().entries[i].name);
    }
    return 0;
}

inline RasDword WINAPI createEntry(void* owner, const char*)
{
    ras().calls.push_back("RasCreatePhonebookEntryA");
    ras().owners.push_back(owner);
    return ras().forced("RasCreatePhonebookEntryA");
}

inline RasDword WINAPI editEntry(void* owner, const char*, const char* name)
{
    ras().calls.push_back(std::string("RasEditPhonebookEntryA ") + name);
    ras().owners.push_back(owner);
    return ras().forced("RasEditPhonebookEntryA");
}

inline RasDword WINAPI renameEntry(const char*, const char* from, const char* to)
{
    ras().calls.push_back("RasRenameEntry");
    ras().renamed.emplace_back(from, to);
    return ras().forced("RasRenameEntry");
}

inline RasDword WINAPI deleteEntry(const char*, const char* name)
{
    ras().calls.push_back("RasDeleteEntry");
    ras().deleted.emplace_back(name);
    return ras().forced("RasDeleteEntry");
}

inline RasDword WINAPI getDialParams(const char*, RASDIALPARAMSA* params, RasBool* password)
{
    ras().calls.push_back("RasGetEntryDialParamsA");
    if (RasDword rc = ras().forced("RasGetEntryDialParamsA")) {
        return rc;
    }
    for (const auto& entry : ras().entries) {
        if (entry.name == rasfields::text(params->szEntryName)) {
            rasfields::assign(params->szUserName, entry.user);
            rasfields::assign(params->szPhoneNumber, entry.number);
            rasfields::assign(params->szPassword, entry.passwordStored ? entry.password : "");
            *password = entry.passwordStored ? 1 : 0;
            return 0;
        }
    }
    return 623;
}

inline RasDword WINAPI getErrorString(unsigned code, char* buffer, RasDword size)
{
    const std::string text = ras().errorText.empty() ? "Fehlertext " + std::to_string(code) : ras().errorText;
    std::snprintf(buffer, size, "%s", text.c_str());
    return 0;
}

inline RasDword WINAPI dial(void*, const char*, RASDIALPARAMSA* params, RasDword, void*, RasHandle* handle)
{
    ras().calls.push_back("RasDialA");
    ras().dialled = *params;
    if (RasDword rc = ras().forced("RasDialA")) {
        *handle = ras().halfMadeHandle;
        return rc;
    }
    *handle = 77;
    ras().connections.push_back({77, rasfields::text(params->szEntryName), "modem0"});
    return 0;
}

inline RasDword WINAPI hangUp(RasHandle handle)
{
    ras().calls.push_back("RasHangUpA");
    ras().hungUp.push_back(handle);
    if (RasDword rc = ras().forced("RasHangUpA")) {
        return rc;
    }
    auto& list = ras().connections;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->handle == handle) {
            list.erase(it);
            return 0;
        }
    }
    return 6;
}

inline RasDword WINAPI enumConnections(RASCONNA* out, RasDword* bytes, RasDword* count)
{
    ras().calls.push_back("RasEnumConnectionsA");
    if (RasDword rc = ras().forced("RasEnumConnectionsA")) {
        return rc;
    }
    const std::size_t room = *bytes / sizeof(RASCONNA);
    *count = static_cast<RasDword>(ras().connections.size());
    const std::size_t n = std::min(room, ras().connections.size());
    for (std::size_t i = 0; i < n; ++i) {
        out[i].hrasconn = ras().connections[i].handle;
        rasfields::assign(out[i].szEntryName, ras().connections[i].entry);
        rasfields::assign(out[i].szDeviceName, ras().connections[i].device);
    }
    return ras().connections.size() > room ? kRasBufferTooSmall : 0;
}
} // namespace fakeras

class FakeRasLoader final : public LibraryLoader
{
public:
    explicit FakeRasLoader(FakeRas& ras) { FakeRas::current() = &ras; }
    ~FakeRasLoader() override { FakeRas::current() = nullptr; }

    Handle load(const std::string& name) override
    {
        FakeRas& r = fakeras::ras();
        if (name == "rasapi32.dll" && r.rasLoadable) {
            ++r.loads;
            return &m_ras;
        }
        if (name == "rnaph.dll" && r.rnaphLoadable) {
            ++r.loads;
            return &m_rnaph;
        }
        return nullptr;
    }

    Function lookup(Handle library, const std::string& name) override
    {
        FakeRas& r = fakeras::ras();
        if (library == &m_rnaph) {
            return r.rnaphFunctions.count(name) ? byName(name + "A") : nullptr;
        }
        return r.missing.count(name) ? nullptr : byName(name);
    }

    void release(Handle) override { ++fakeras::ras().releases; }

private:
    static Function byName(const std::string& name)
    {
        static const std::map<std::string, Function> table = {
            {"RasEnumEntriesA", reinterpret_cast<Function>(&fakeras::enumEntries)},
            {"RasCreatePhonebookEntryA", reinterpret_cast<Function>(&fakeras::createEntry)},
            {"RasEditPhonebookEntryA", reinterpret_cast<Function>(&fakeras::editEntry)},
            {"RasRenameEntryA", reinterpret_cast<Function>(&fakeras::renameEntry)},
            {"RasDeleteEntryA", reinterpret_cast<Function>(&fakeras::deleteEntry)},
            {"RasGetEntryDialParamsA", reinterpret_cast<Function>(&fakeras::getDialParams)},
            {"RasGetErrorStringA", reinterpret_cast<Function>(&fakeras::getErrorString)},
            {"RasDialA", reinterpret_cast<Function>(&fakeras::dial)},
            {"RasHangUpA", reinterpret_cast<Function>(&fakeras::hangUp)},
            {"RasEnumConnectionsA", reinterpret_cast<Function>(&fakeras::enumConnections)},
        };
        auto it = table.find(name);
        return it == table.end() ? nullptr : it->second;
    }

    int m_ras = 0;
    int m_rnaph = 0;
};

} // namespace tavlor::test
