#include "platform/win32/ras/Ras.h"

#include <algorithm>
#include <cstring>

namespace tavlor {

namespace {
constexpr const char* kRasLibrary = "rasapi32.dll";
constexpr const char* kRnaphLibrary = "rnaph.dll";

template <typename Fn> Fn as(LibraryLoader::Function fn)
{
    return reinterpret_cast<Fn>(fn);
}

// What RasGetErrorStringA says while the library itself is out of reach.
void builtInErrorText(unsigned code, char* buffer, RasDword bufferSize)
{
    if (buffer == nullptr || bufferSize == 0) {
        return;
    }
    const std::string text = code == kRasServiceUnavailable ? "Der Verbindungsdienst ist nicht erreichbar."
                                                            : "RAS-Fehler " + std::to_string(code) + ".";
    const std::size_t n = std::min<std::size_t>(text.size(), bufferSize - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}
} // namespace

RasBinding::RasBinding(LibraryLoader& loader) : m_loader(loader)
{
    ensureLoaded();
}

RasBinding::~RasBinding()
{
    if (m_library != nullptr) {
        m_loader.release(m_library);
    }
    if (m_procLibrary != nullptr) {
        m_loader.release(m_procLibrary);
    }
}

bool RasBinding::ensureLoaded()
{
    if (m_library != nullptr) {
        return true;
    }
    m_library = m_loader.load(kRasLibrary);
    if (m_library == nullptr) {
        return false;
    }
    auto bind = [this](const char* name) { return m_loader.lookup(m_library, name); };
    m_bound.enumEntries = bind("RasEnumEntriesA");
    m_bound.createEntry = bind("RasCreatePhonebookEntryA");
    m_bound.editEntry = bind("RasEditPhonebookEntryA");
    m_bound.getDialParams = bind("RasGetEntryDialParamsA");
    m_bound.getErrorString = bind("RasGetErrorStringA");
    m_bound.dial = bind("RasDialA");
    m_bound.hangUp = bind("RasHangUpA");
    m_bound.enumConnections = bind("RasEnumConnectionsA");
    return true;
}

LibraryLoader::Function RasBinding::require(LibraryLoader::Function fn, const char* name) const
{
    if (fn == nullptr) {
        throw ERasError(std::string("Function ") + name + " not found!");
    }
    return fn;
}

RasDword RasBinding::RasEnumEntriesA(RASENTRYNAMEA* entries, RasDword* byteCount, RasDword* entryCount)
{
    if (!ensureLoaded()) {
        return kRasServiceUnavailable;
    }
    auto fn = as<RasEnumEntriesFn>(require(m_bound.enumEntries, "RasEnumEntriesA"));
    return fn(nullptr, nullptr, entries, byteCount, entryCount);
}

RasDword RasBinding::RasCreatePhonebookEntryA(void* owner)
{
    if (!ensureLoaded()) {
        return kRasServiceUnavailable;
    }
    return as<RasCreatePhonebookEntryFn>(require(m_bound.createEntry, "RasCreatePhonebookEntryA"))(owner,
                                                                                                   nullptr);
}

RasDword RasBinding::RasEditPhonebookEntryA(void* owner, const char* entryName)
{
    if (!ensureLoaded()) {
        return kRasServiceUnavailable;
    }
    auto fn = as<RasEditPhonebookEntryFn>(require(m_bound.editEntry, "RasEditPhonebookEntryA"));
    return fn(owner, nullptr, entryName);
}

RasDword RasBinding::RasGetEntryDialParamsA(RASDIALPARAMSA* params, RasBool* password)
{
    if (!ensureLoaded()) {
        return kRasServiceUnavailable;
    }
    auto fn = as<RasGetEntryDialParamsFn>(require(m_bound.getDialParams, "RasGetEntryDialParamsA"));
    return fn(nullptr, params, password);
}

RasDword RasBinding::RasGetErrorStringA(unsigned code, char* buffer, RasDword bufferSize)
{
    if (!ensureLoaded()) {
        builtInErrorText(code, buffer, bufferSize);
        return kRasSuccess;
    }
    auto fn = as<RasGetErrorStringFn>(require(m_bound.getErrorString, "RasGetErrorStringA"));
    return fn(code, buffer, bufferSize);
}

RasDword RasBinding::RasDialA(RASDIALPARAMSA* params, RasHandle* connection)
{
    if (!ensureLoaded()) {
        return kRasServiceUnavailable;
    }
    auto fn = as<RasDialFn>(require(m_bound.dial, "RasDialA"));
    return fn(nullptr, nullptr, params, 0, nullptr, connection);
}

RasDword RasBinding::RasHangUpA(RasHandle connection)
{
    if (!ensureLoaded()) {
        return kRasServiceUnavailable;
    }
    return as<RasHangUpFn>(require(m_bound.hangUp, "RasHangUpA"))(connection);
}

RasDword RasBinding::RasEnumConnectionsA(RASCONNA* connections, RasDword* byteCount, RasDword* count)
{
    if (!ensureLoaded()) {
        return kRasServiceUnavailable;
    }
    auto fn = as<RasEnumConnectionsFn>(require(m_bound.enumConnections, "RasEnumConnectionsA"));
    return fn(connections, byteCount, count);
}

LibraryLoader::Function RasBinding::GetRasProc(const std::string& name)
{
    if (m_procLibrary != nullptr) {
        const std::string symbol = m_procIsRnaph ? name : name + "A";
        if (auto fn = m_loader.lookup(m_procLibrary, symbol)) {
            return fn;
        }
        throw ERasError("Function " + name + " not found!");
    }
    LibraryLoader::Handle ras = m_loader.load(kRasLibrary);
    if (ras == nullptr) {
        throw ERasError("Error opening rasapi.dll");
    }
    if (auto fn = m_loader.lookup(ras, name + "A")) {
        m_procLibrary = ras;
        m_procIsRnaph = false;
        return fn;
    }
    m_loader.release(ras);
    LibraryLoader::Handle rnaph = m_loader.load(kRnaphLibrary);
    if (rnaph == nullptr) {
        throw ERasError("Error opening rnaph.dll");
    }
    if (auto fn = m_loader.lookup(rnaph, name)) {
        m_procLibrary = rnaph;
        m_procIsRnaph = true;
        return fn;
    }
    m_loader.release(rnaph);
    throw ERasError("Function " + name + " not found!");
}

} // namespace tavlor
