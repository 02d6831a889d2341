#pragma once

#include "platform/LibraryLoader.h"
#include "platform/win32/ras/RasAbi.h"

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tavlor {

// A RAS function named by the program is missing, or its library cannot be opened.
class ERasError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

using RasDword = std::uint32_t;
using RasBool = std::int32_t;

inline constexpr int kRasMaxEntryName = 256;
inline constexpr int kRasMaxDeviceType = 16;
inline constexpr int kRasMaxDeviceName = 128;
inline constexpr int kRasMaxPhoneNumber = 128;
inline constexpr int kRasMaxCallbackNumber = 128;
inline constexpr int kRasMaxUserName = 256;
inline constexpr int kRasMaxPassword = 256;
inline constexpr int kRasMaxDomain = 15;

#pragma pack(push, 4) // the packing of the system's RAS records
struct RASENTRYNAMEA
{
    RasDword dwSize;
    char szEntryName[kRasMaxEntryName + 1];
};

struct RASCONNA
{
    RasDword dwSize;
    RasHandle hrasconn;
    char szEntryName[kRasMaxEntryName + 1];
    char szDeviceType[kRasMaxDeviceType + 1];
    char szDeviceName[kRasMaxDeviceName + 1];
};

struct RASDIALPARAMSA
{
    RasDword dwSize;
    char szEntryName[kRasMaxEntryName + 1];
    char szPhoneNumber[kRasMaxPhoneNumber + 1];
    char szCallbackNumber[kRasMaxCallbackNumber + 1];
    char szUserName[kRasMaxUserName + 1];
    char szPassword[kRasMaxPassword + 1];
    char szDomain[kRasMaxDomain + 1];
};

#pragma pack(pop)

static_assert(sizeof(RASENTRYNAMEA) == 264);
static_assert(sizeof(RASCONNA) == kRasConnSize);
static_assert(sizeof(RASDIALPARAMSA) == 1052);

// Return codes the program itself looks at.
inline constexpr RasDword kRasSuccess = 0;
inline constexpr RasDword kRasBufferTooSmall = 603;
// The library (the connection service behind it) is not available.
inline constexpr RasDword kRasServiceUnavailable = 711;

// The ANSI entry points; the phonebook argument is always null (the default phonebook).
// Owner windows travel as opaque pointers. WINAPI: a 32-bit build would otherwise clean the
// stack twice.
using RasEnumEntriesFn = RasDword(WINAPI*)(const char* reserved, const char* phonebook,
                                           RASENTRYNAMEA* entries, RasDword* byteCount, RasDword* entryCount);
using RasCreatePhonebookEntryFn = RasDword(WINAPI*)(void* owner, const char* phonebook);
using RasEditPhonebookEntryFn = RasDword(WINAPI*)(void* owner, const char* phonebook, const char* entryName);
using RasRenameEntryFn = RasDword(WINAPI*)(const char* phonebook, const char* oldName, const char* newName);
using RasDeleteEntryFn = RasDword(WINAPI*)(const char* phonebook, const char* entryName);
using RasGetEntryDialParamsFn = RasDword(WINAPI*)(const char* phonebook, RASDIALPARAMSA* params,
                                                  RasBool* password);
using RasGetErrorStringFn = RasDword(WINAPI*)(unsigned code, char* buffer, RasDword bufferSize);
using RasDialFn = RasDword(WINAPI*)(void* extensions, const char* phonebook, RASDIALPARAMSA* params,
                                    RasDword notifierType, void* notifier, RasHandle* connection);
using RasHangUpFn = RasDword(WINAPI*)(RasHandle connection);
using RasEnumConnectionsFn = RasDword(WINAPI*)(RASCONNA* connections, RasDword* byteCount, RasDword* count);

// The RAS functions of "rasapi32.dll", bound by name when constructed; RasRenameEntry and
// RasDeleteEntry are found on every call by GetRasProc (with "rnaph.dll" as the fallback).
// A call never jumps through a null pointer: while the library cannot be opened a call returns
// kRasServiceUnavailable (opening is retried on the next call), and a function the open library
// lacks raises ERasError "Function <name> not found!".
class RasBinding
{
public:
    explicit RasBinding(LibraryLoader& loader);
    ~RasBinding();
    RasBinding(const RasBinding&) = delete;
    RasBinding& operator=(const RasBinding&) = delete;

    RasDword RasEnumEntriesA(RASENTRYNAMEA* entries, RasDword* byteCount, RasDword* entryCount);
    RasDword RasCreatePhonebookEntryA(void* owner);
    RasDword RasEditPhonebookEntryA(void* owner, const char* entryName);
    RasDword RasGetEntryDialParamsA(RASDIALPARAMSA* params, RasBool* password);
    RasDword RasGetErrorStringA(unsigned code, char* buffer, RasDword bufferSize);
    RasDword RasDialA(RASDIALPARAMSA* params, RasHandle* connection);
    RasDword RasHangUpA(RasHandle connection);
    RasDword RasEnumConnectionsA(RASCONNA* connections, RasDword* byteCount, RasDword* count);

    // Looks up `name` + "A" in "rasapi32.dll", else the bare name in "rnaph.dll"; the library
    // found stays loaded. Throws ERasError.
    LibraryLoader::Function GetRasProc(const std::string& name);

    bool loaded() const { return m_library != nullptr; }
    // Opens "rasapi32.dll" when it is not open yet; false when it cannot be opened.
    bool open() { return ensureLoaded(); }

private:
    struct Bound
    {
        LibraryLoader::Function enumEntries = nullptr;
        LibraryLoader::Function createEntry = nullptr;
        LibraryLoader::Function editEntry = nullptr;
        LibraryLoader::Function getDialParams = nullptr;
        LibraryLoader::Function getErrorString = nullptr;
        LibraryLoader::Function dial = nullptr;
        LibraryLoader::Function hangUp = nullptr;
        LibraryLoader::Function enumConnections = nullptr;
    };
    bool ensureLoaded();
    LibraryLoader::Function require(LibraryLoader::Function fn, const char* name) const;

    LibraryLoader& m_loader;
    LibraryLoader::Handle m_library = nullptr;
    Bound m_bound;
    // GetRasProc's own library and whether it is the fallback one.
    LibraryLoader::Handle m_procLibrary = nullptr;
    bool m_procIsRnaph = false;
};

} // namespace tavlor
