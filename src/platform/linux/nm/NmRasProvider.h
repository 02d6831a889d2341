#pragma once

#include "dialup/Ras.h"
#include "platform/linux/nm/NmProfile.h"
#include "platform/linux/nm/NmProxy.h"

#include <map>
#include <string>
#include <vector>

namespace tavlor::platform::nm {

// The RAS functions in NetworkManager's terms. Entries are the stored profiles of the dial-up
// kinds, named by their id; dialling activates an in-memory copy of the entry carrying the
// dialled values, so the stored profile never changes; handles number active connections.
class NmRasProvider
{
public:
    static constexpr int kDefaultDialTimeoutMs = 90000;

    explicit NmRasProvider(NmProxy& proxy, int dialTimeoutMs = kDefaultDialTimeoutMs);

    RasDword enumEntries(RASENTRYNAMEA* entries, RasDword* byteCount, RasDword* entryCount);
    RasDword createEntry(void* owner);
    RasDword editEntry(void* owner, const char* entryName);
    RasDword renameEntry(const char* oldName, const char* newName);
    RasDword deleteEntry(const char* entryName);
    RasDword getDialParams(RASDIALPARAMSA* params, RasBool* password);
    RasDword errorString(unsigned code, char* buffer, RasDword bufferSize);
    RasDword dial(RASDIALPARAMSA* params, RasHandle* connection);
    RasDword hangUp(RasHandle connection);
    RasDword enumConnections(RASCONNA* connections, RasDword* byteCount, RasDword* count);

private:
    RasDword failure();
    bool dialUpProfiles(std::vector<DialUpProfile>& out, RasDword& rc);
    bool findProfile(const std::string& name, DialUpProfile& out, RasDword& rc);
    void withSecrets(DialUpProfile& profile);
    RasDword waitForActivation(const QDBusObjectPath& active);
    RasHandle handleFor(const QString& activePath);

    NmProxy& m_proxy;
    int m_dialTimeoutMs;
    std::string m_lastDetail;
    std::map<RasHandle, QString> m_handles;
    RasHandle m_nextHandle = 1;
};

} // namespace tavlor::platform::nm
