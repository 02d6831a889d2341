#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavlor::win32 {

// The program's texts are UTF-8; the wide Windows calls take UTF-16 and the "A" calls the
// ANSI code page. Invalid input converts to nullopt instead of a mangled path.
std::optional<std::wstring> Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// nullopt also when a character has no form in the ANSI code page: an "A" call would get '?'.
std::optional<std::string> Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);

} // namespace tavlor::win32
