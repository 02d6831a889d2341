#pragma once

#include <string>

namespace tavlor {

// Dynamic binding by name, as LoadLibraryA / GetProcAddress / FreeLibrary.
class LibraryLoader
{
public:
    using Handle = void*;
    using Function = void (*)();
    virtual ~LibraryLoader() = default;
    // nullptr when the library cannot be loaded.
    virtual Handle load(const std::string& name) = 0;
    // nullptr when the library has no such function.
    virtual Function lookup(Handle library, const std::string& name) = 0;
    virtual void release(Handle library) = 0;
};

} // namespace tavlor
