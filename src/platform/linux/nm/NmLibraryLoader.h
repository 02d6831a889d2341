#pragma once

#include "platform/LibraryLoader.h"

#include <memory>

class QDBusConnection;

namespace tavlor::platform::nm {

class NmProxy;
class NmRasProvider;

// The dial-up provider as a library: "rasapi32.dll" opens while NetworkManager is on the bus
// and offers the ANSI RAS functions by name; nothing else opens. The functions reach the
// provider of the loader constructed last, which must outlive every use of them.
class NmLibraryLoader final : public LibraryLoader
{
public:
    explicit NmLibraryLoader(const QDBusConnection& bus, int dialTimeoutMs = 90000);
    ~NmLibraryLoader() override;
    NmLibraryLoader(const NmLibraryLoader&) = delete;
    NmLibraryLoader& operator=(const NmLibraryLoader&) = delete;

    Handle load(const std::string& name) override;
    Function lookup(Handle library, const std::string& name) override;
    void release(Handle library) override;

    int openCount() const { return m_openCount; }

private:
    std::unique_ptr<NmProxy> m_proxy;
    std::unique_ptr<NmRasProvider> m_provider;
    int m_openCount = 0;
};

} // namespace tavlor::platform::nm
