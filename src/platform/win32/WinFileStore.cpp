#include "platform/win32/WinFileStore.h"

#include "platform/win32/WinText.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace tavlor::win32 {

namespace {
class FileHandle
{
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }
    bool close()
    {
        const bool ok = !valid() || CloseHandle(m_handle) != 0;
        m_handle = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE m_handle;
};

DWORD attributesOf(const std::string& path)
{
    const auto wide = Utf8ToWide(path);
    return wide ? GetFileAttributesW(wide->c_str()) : INVALID_FILE_ATTRIBUTES;
}

bool writeAll(HANDLE file, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

// Writes the bytes to a new file and forces them to disk before anything is renamed.
bool writeDurably(const std::wstring& path, const std::string& bytes)
{
    FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return false;
    }
    const bool written = writeAll(file.get(), bytes) && FlushFileBuffers(file.get()) != 0;
    return file.close() && written;
}

bool moveOver(const std::wstring& from, const std::wstring& to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// ReplaceFile keeps the target's attributes and permissions. Error 1176 means the target is
// already gone and the new file has to be moved into its place to lose nothing.
bool renameOver(const std::wstring& from, const std::wstring& to, bool targetExists)
{
    if (!targetExists) {
        return moveOver(from, to);
    }
    if (ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        return true;
    }
    return GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT && moveOver(from, to);
}
} // namespace

bool WinFileStore::fileExists(const std::string& path)
{
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

FileStore::Entry WinFileStore::entryAt(const std::string& path)
{
    const DWORD attributes = attributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return Entry::Missing;
    }
    constexpr DWORD kNotAFile =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    return (attributes & kNotAFile) == 0 ? Entry::File : Entry::Refused;
}

std::optional<std::int64_t> WinFileStore::modifiedAt(const std::string& path)
{
    const auto wide = Utf8ToWide(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!wide || entryAt(path) != Entry::File ||
        !GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return (static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

std::optional<CivilDateTime> WinFileStore::modifiedLocal(const std::string& path)
{
    const auto wide = Utf8ToWide(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FILETIME local{};
    SYSTEMTIME t{};
    if (!wide || entryAt(path) != Entry::File ||
        !GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &t)) {
        return std::nullopt;
    }
    return CivilDateTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

void WinFileStore::removeStaleTemporaries(const std::string& path)
{
    const std::string temporary = path + ".tmp";
    const auto wide = Utf8ToWide(temporary);
    if (wide && entryAt(temporary) == Entry::File) {
        DeleteFileW(wide->c_str());
    }
}

bool WinFileStore::directoryExists(const std::string& path)
{
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WinFileStore::createDirectory(const std::string& path)
{
    const auto wide = Utf8ToWide(path);
    return wide && CreateDirectoryW(wide->c_str(), nullptr) != 0;
}

// Tries what a save does: create a new file there. (GetTempFileName is no help: Wine answers
// success even when the file could not be created.)
bool WinFileStore::isDirectoryWritable(const std::string& path)
{
    const auto wide = Utf8ToWide(path);
    if (!wide || !directoryExists(path)) {
        return false;
    }
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        const std::wstring probe = *wide + L"\\~tavlor-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(GetTickCount64() + attempt) + L".tmp";
        HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    return false;
}

std::optional<std::string> WinFileStore::readFile(const std::string& path)
{
    const auto wide = Utf8ToWide(path);
    if (!wide || entryAt(path) != Entry::File) {
        return std::nullopt;
    }
    FileHandle file(CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    // A pipe or device swapped in after the check would block the window thread.
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) ||
        size.QuadPart > 0x7FFFFFFF) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                      nullptr)) {
            return std::nullopt;
        }
        if (got == 0) {
            bytes.resize(done); // the file shrank while being read
            break;
        }
        done += got;
    }
    return bytes;
}

bool WinFileStore::writeFile(const std::string& path, const std::string& bytes)
{
    const auto wide = Utf8ToWide(path);
    if (!wide) {
        return false;
    }
    FileHandle file(
        CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return false;
    }
    const bool written = writeAll(file.get(), bytes);
    return file.close() && written;
}

bool WinFileStore::replaceFile(const std::string& path, const std::string& bytes)
{
    const auto target = Utf8ToWide(path);
    if (!target) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(target->c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // A write-protected file stays as it is, as the profile functions leave it; the check is
    // explicit because an administrator's rename would go through regardless.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY |
                                 FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) != 0) {
        return false;
    }
    const std::wstring temporary = *target + L".tmp";
    if (!writeDurably(temporary, bytes)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    if (!renameOver(temporary, *target, exists)) {
        // Keep the new bytes when the old file is gone after all: the next start finds them.
        if (GetFileAttributesW(target->c_str()) != INVALID_FILE_ATTRIBUTES) {
            DeleteFileW(temporary.c_str());
        }
        return false;
    }
    return true;
}

} // namespace tavlor::win32
