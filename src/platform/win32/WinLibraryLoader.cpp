#include "platform/win32/WinLibraryLoader.h"

#include <windows.h>

namespace tavlor::win32 {

LibraryLoader::Handle WinLibraryLoader::load(const std::string& name)
{
    // No message box from the system when the library or one of its dependencies is missing.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(name.c_str());
    SetErrorMode(previous);
    return reinterpret_cast<Handle>(module);
}

LibraryLoader::Function WinLibraryLoader::lookup(Handle library, const std::string& name)
{
    if (library == nullptr) {
        return nullptr;
    }
    FARPROC function = GetProcAddress(static_cast<HMODULE>(library), name.c_str());
    return reinterpret_cast<Function>(reinterpret_cast<void*>(function));
}

void WinLibraryLoader::release(Handle library)
{
    if (library != nullptr) {
        FreeLibrary(static_cast<HMODULE>(library));
    }
}

} // namespace tavlor::win32
