#pragma once

#include "platform/LibraryLoader.h"

namespace tavlor::win32 {

// LoadLibraryA / GetProcAddress / FreeLibrary. The functions found use the system's calling
// convention (WINAPI); callers cast them to the exact published signature.
class WinLibraryLoader final : public LibraryLoader
{
public:
    Handle load(const std::string& name) override;
    Function lookup(Handle library, const std::string& name) override;
    void release(Handle library) override;
};

} // namespace tavlor::win32
