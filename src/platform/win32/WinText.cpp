#include "platform/win32/WinText.h"

#include <windows.h>

namespace tavlor::win32 {

namespace {
std::optional<std::wstring> toWide(UINT codePage, std::string_view text)
{
    if (text.empty()) {
        return std::wstring();
    }
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (needed <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(), needed);
    return wide;
}
} // namespace

std::optional<std::wstring> Utf8ToWide(std::string_view utf8)
{
    return toWide(CP_UTF8, utf8);
}

std::string WideToUtf8(std::wstring_view wide)
{
    if (wide.empty()) {
        return {};
    }
    const int length = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), needed, nullptr, nullptr);
    return utf8;
}

std::optional<std::string> Utf8ToAnsi(std::string_view utf8)
{
    const auto wide = Utf8ToWide(utf8);
    if (!wide) {
        return std::nullopt;
    }
    if (wide->empty()) {
        return std::string();
    }
    const int length = static_cast<int>(wide->size());
    BOOL lossy = FALSE;
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide->data(), length, nullptr, 0, nullptr, &lossy);
    if (needed <= 0 || lossy) {
        return std::nullopt;
    }
    std::string ansi(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide->data(), length, ansi.data(), needed, nullptr, nullptr);
    return ansi;
}

std::string AnsiToUtf8(std::string_view ansi)
{
    const auto wide = toWide(CP_ACP, ansi);
    return wide ? WideToUtf8(*wide) : std::string();
}

} // namespace tavlor::win32
