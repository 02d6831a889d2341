#include "platform/win32/WinLocaleFormat.h"

#include "platform/win32/DatePattern.h"
#include "platform/win32/WinText.h"

#include <windows.h>

namespace tavlor::win32 {

namespace {
SYSTEMTIME toSystemTime(const CivilDateTime& t)
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    st.wMilliseconds = static_cast<WORD>(t.millisecond);
    return st;
}

// The calls answer the needed length first and then fill; 0 means failure.
template <typename Call> std::wstring fetch(Call call)
{
    const int needed = call(nullptr, 0);
    if (needed <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    const int written = call(text.data(), needed);
    text.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
    return text;
}
} // namespace

WinLocaleFormat::WinLocaleFormat(std::wstring localeName) : m_localeName(std::move(localeName)) {}

const wchar_t* WinLocaleFormat::locale() const
{
    return m_localeName.empty() ? LOCALE_NAME_USER_DEFAULT : m_localeName.c_str();
}

std::wstring WinLocaleFormat::info(unsigned type) const
{
    return fetch([&](wchar_t* buffer, int size) { return GetLocaleInfoEx(locale(), type, buffer, size); });
}

std::wstring WinLocaleFormat::shortDatePattern() const
{
    const std::wstring pattern = info(LOCALE_SSHORTDATE);
    return WithFourDigitYear(pattern.empty() ? std::wstring(L"dd.MM.yyyy") : pattern);
}

std::string WinLocaleFormat::decimalSeparator() const
{
    const std::wstring separator = info(LOCALE_SDECIMAL);
    return separator.empty() ? std::string(".") : WideToUtf8(separator);
}

std::string WinLocaleFormat::formatShortDate(const CivilDateTime& date) const
{
    const SYSTEMTIME st = toSystemTime(date);
    const std::wstring pattern = shortDatePattern();
    return WideToUtf8(fetch([&](wchar_t* buffer, int size) {
        return GetDateFormatEx(locale(), 0, &st, pattern.c_str(), buffer, size, nullptr);
    }));
}

std::optional<CivilDateTime> WinLocaleFormat::parseShortDate(std::string_view text) const
{
    const auto wide = Utf8ToWide(text);
    if (!wide) {
        return std::nullopt;
    }
    return ParseWithPattern(shortDatePattern(), *wide);
}

std::string WinLocaleFormat::formatDateTime(const CivilDateTime& moment) const
{
    return formatShortDate(moment) + " " + formatLongTime(moment);
}

std::string WinLocaleFormat::formatLongTime(const CivilDateTime& moment) const
{
    const SYSTEMTIME st = toSystemTime(moment);
    return WideToUtf8(fetch(
        [&](wchar_t* buffer, int size) { return GetTimeFormatEx(locale(), 0, &st, nullptr, buffer, size); }));
}

} // namespace tavlor::win32
