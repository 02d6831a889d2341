#include "platform/linux/nm/NmLibraryLoader.h"

#include "platform/Platform.h"
#include "platform/linux/nm/NmErrors.h"
#include "platform/linux/nm/NmProxy.h"
#include "platform/linux/nm/NmRasProvider.h"

#include <map>

namespace tavlor::platform::nm {

namespace {
NmRasProvider* g_provider = nullptr;

// Plain functions, as a library exports them, forwarding to the current provider.
RasDword enumEntries(const char*, const char*, RASENTRYNAMEA* entries, RasDword* bytes, RasDword* count)
{
    return g_provider ? g_provider->enumEntries(entries, bytes, count) : kNmServiceUnavailable;
}
RasDword createEntry(void* owner, const char*)
{
    return g_provider ? g_provider->createEntry(owner) : kNmServiceUnavailable;
}
RasDword editEntry(void* owner, const char*, const char* name)
{
    return g_provider ? g_provider->editEntry(owner, name) : kNmServiceUnavailable;
}
RasDword renameEntry(const char*, const char* from, const char* to)
{
    return g_provider ? g_provider->renameEntry(from, to) : kNmServiceUnavailable;
}
RasDword deleteEntry(const char*, const char* name)
{
    return g_provider ? g_provider->deleteEntry(name) : kNmServiceUnavailable;
}
RasDword getDialParams(const char*, RASDIALPARAMSA* params, RasBool* password)
{
    return g_provider ? g_provider->getDialParams(params, password) : kNmServiceUnavailable;
}
RasDword getErrorString(unsigned code, char* buffer, RasDword size)
{
    return g_provider ? g_provider->errorString(code, buffer, size) : kNmServiceUnavailable;
}
RasDword dial(void*, const char*, RASDIALPARAMSA* params, RasDword, void*, RasHandle* handle)
{
    return g_provider ? g_provider->dial(params, handle) : kNmServiceUnavailable;
}
RasDword hangUp(RasHandle handle)
{
    return g_provider ? g_provider->hangUp(handle) : kNmServiceUnavailable;
}
RasDword enumConnections(RASCONNA* connections, RasDword* bytes, RasDword* count)
{
    return g_provider ? g_provider->enumConnections(connections, bytes, count) : kNmServiceUnavailable;
}

template <typename Fn> LibraryLoader::Function exported(Fn fn)
{
    return reinterpret_cast<LibraryLoader::Function>(fn);
}

const std::map<std::string, LibraryLoader::Function>& exports()
{
    static const std::map<std::string, LibraryLoader::Function> table = {
        {"RasEnumEntriesA", exported<RasEnumEntriesFn>(&enumEntries)},
        {"RasCreatePhonebookEntryA", exported<RasCreatePhonebookEntryFn>(&createEntry)},
        {"RasEditPhonebookEntryA", exported<RasEditPhonebookEntryFn>(&editEntry)},
        {"RasRenameEntryA", exported<RasRenameEntryFn>(&renameEntry)},
        {"RasDeleteEntryA", exported<RasDeleteEntryFn>(&deleteEntry)},
        {"RasGetEntryDialParamsA", exported<RasGetEntryDialParamsFn>(&getDialParams)},
        {"RasGetErrorStringA", exported<RasGetErrorStringFn>(&getErrorString)},
        {"RasDialA", exported<RasDialFn>(&dial)},
        {"RasHangUpA", exported<RasHangUpFn>(&hangUp)},
        {"RasEnumConnectionsA", exported<RasEnumConnectionsFn>(&enumConnections)},
    };
    return table;
}
} // namespace

NmLibraryLoader::NmLibraryLoader(const QDBusConnection& bus, int dialTimeoutMs)
    : m_proxy(std::make_unique<NmProxy>(bus)),
      m_provider(std::make_unique<NmRasProvider>(*m_proxy, dialTimeoutMs))
{
    g_provider = m_provider.get();
}

NmLibraryLoader::~NmLibraryLoader()
{
    if (g_provider == m_provider.get()) {
        g_provider = nullptr;
    }
}

LibraryLoader::Handle NmLibraryLoader::load(const std::string& name)
{
    if (name != "rasapi32.dll" || !m_proxy->isRunning()) {
        return nullptr;
    }
    ++m_openCount;
    return m_provider.get();
}

LibraryLoader::Function NmLibraryLoader::lookup(Handle library, const std::string& name)
{
    if (library != m_provider.get()) {
        return nullptr;
    }
    auto it = exports().find(name);
    return it == exports().end() ? nullptr : it->second;
}

void NmLibraryLoader::release(Handle library)
{
    if (library == m_provider.get() && m_openCount > 0) {
        --m_openCount;
    }
}

} // namespace tavlor::platform::nm

namespace tavlor::platform {

std::unique_ptr<LibraryLoader> makeLibraryLoader()
{
    return std::make_unique<nm::NmLibraryLoader>(QDBusConnection::systemBus());
}

} // namespace tavlor::platform
