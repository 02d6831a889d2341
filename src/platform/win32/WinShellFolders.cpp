#include "platform/win32/WinShellFolders.h"

#include "platform/win32/WinText.h"

// clang-format off
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
// clang-format on

namespace tavlor::win32 {

namespace {
// COM for this call, unless the thread already has it in another apartment model
// (a Qt GUI thread does: it initialised OLE itself).
class ComScope
{
public:
    ComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_result)) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool usable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_result;
};

template <typename T> class ComPtr
{
public:
    ComPtr() = default;
    ~ComPtr()
    {
        if (m_ptr) {
            m_ptr->Release();
        }
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** out() { return &m_ptr; }
    T* operator->() const { return m_ptr; }
    T* get() const { return m_ptr; }

private:
    T* m_ptr = nullptr;
};

bool saveLink(const std::string& target, const std::string& folder, const std::string& icon,
              const std::wstring& file)
{
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.out())))) {
        return false;
    }
    link->SetIconLocation(icon.c_str(), 0);
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(folder.c_str());
    ComPtr<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.out())))) {
        return false;
    }
    return SUCCEEDED(persist->Save(file.c_str(), FALSE));
}
} // namespace

std::string WinShellFolders::folderPath(int csidl)
{
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || list == nullptr) {
        return {};
    }
    wchar_t path[MAX_PATH] = {};
    const BOOL found = SHGetPathFromIDListW(list, path);
    CoTaskMemFree(list);
    return found ? WideToUtf8(path) : std::string();
}

bool WinShellFolders::directoryExists(const std::string& path)
{
    const auto wide = Utf8ToWide(path);
    if (!wide) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WinShellFolders::createDirectory(const std::string& path)
{
    const auto wide = Utf8ToWide(path);
    return wide && CreateDirectoryW(wide->c_str(), nullptr) != 0;
}

std::string WinShellFolders::programFile()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return WideToUtf8(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string WinShellFolders::programFolder()
{
    const std::string file = programFile();
    const auto slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

std::string WinShellFolders::shortcutExtension()
{
    return ".lnk";
}

bool WinShellFolders::writeShortcut(const ShortcutDefinition& shortcut)
{
    // IShellLinkA takes the ANSI code page; a path it cannot spell would give a dead link.
    const auto target = Utf8ToAnsi(shortcut.target);
    const auto folder = Utf8ToAnsi(shortcut.workingDirectory);
    const auto icon = Utf8ToAnsi(shortcut.iconFile);
    const auto file = Utf8ToWide(shortcut.file);
    if (!target || !folder || !icon || !file) {
        return false;
    }
    ComScope com;
    return com.usable() && saveLink(*target, *folder, *icon, *file);
}

} // namespace tavlor::win32
