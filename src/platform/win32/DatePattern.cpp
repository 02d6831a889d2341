#include "platform/win32/DatePattern.h"

#include <vector>

namespace tavlor::win32 {

namespace {
struct Token
{
    wchar_t field = 0; // 'd', 'M', 'y', 'g', or 0 for literal text
    std::size_t count = 0;
    std::wstring literal;
};

bool isFieldLetter(wchar_t c)
{
    return c == L'd' || c == L'M' || c == L'y' || c == L'g';
}

// Splits a pattern into runs of one field letter and literal text ('quoted' parts included).
std::vector<Token> tokenize(std::wstring_view pattern)
{
    std::vector<Token> tokens;
    auto literal = [&tokens]() -> std::wstring& {
        if (tokens.empty() || tokens.back().field != 0) {
            tokens.push_back({});
        }
        return tokens.back().literal;
    };
    for (std::size_t i = 0; i < pattern.size();) {
        const wchar_t c = pattern[i];
        if (c == L'\'') {
            const std::size_t end = pattern.find(L'\'', i + 1);
            const std::size_t stop = end == std::wstring_view::npos ? pattern.size() : end;
            // Two quotes in a row stand for one quote character.
            literal() +=
                stop == i + 1 ? std::wstring(L"'") : std::wstring(pattern.substr(i + 1, stop - i - 1));
            i = stop + 1;
        } else if (isFieldLetter(c)) {
            std::size_t run = i;
            while (run < pattern.size() && pattern[run] == c) {
                ++run;
            }
            tokens.push_back({c, run - i, {}});
            i = run;
        } else {
            literal() += c;
            ++i;
        }
    }
    return tokens;
}

// The first year Windows can write back (SYSTEMTIME starts in 1601).
constexpr int kFirstYear = 1601;

bool isLeap(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// Reads 1..maxDigits digits; returns the number of digits read.
std::size_t readNumber(std::wstring_view text, std::size_t pos, std::size_t maxDigits, int& value)
{
    std::size_t n = 0;
    value = 0;
    while (pos + n < text.size() && n < maxDigits && text[pos + n] >= L'0' && text[pos + n] <= L'9') {
        value = value * 10 + (text[pos + n] - L'0');
        ++n;
    }
    return n;
}
} // namespace

std::wstring WithFourDigitYear(std::wstring_view pattern)
{
    std::wstring result;
    for (std::size_t i = 0; i < pattern.size();) {
        if (pattern[i] == L'\'') {
            const std::size_t end = pattern.find(L'\'', i + 1);
            const std::size_t stop = end == std::wstring_view::npos ? pattern.size() : end + 1;
            result.append(pattern.substr(i, stop - i));
            i = stop;
        } else if (pattern[i] == L'y') {
            while (i < pattern.size() && pattern[i] == L'y') {
                ++i;
            }
            result += L"yyyy";
        } else {
            result += pattern[i++];
        }
    }
    return result;
}

std::optional<CivilDateTime> ParseWithPattern(std::wstring_view pattern, std::wstring_view text)
{
    int day = 0;
    int month = 0;
    int year = -1;
    std::size_t pos = 0;
    for (const Token& token : tokenize(pattern)) {
        if (token.field == 0) {
            if (text.substr(pos, token.literal.size()) != token.literal) {
                return std::nullopt;
            }
            pos += token.literal.size();
            continue;
        }
        if (token.field == L'g' || (token.field != L'y' && token.count > 2)) {
            return std::nullopt; // names and eras are not read
        }
        int value = 0;
        const std::size_t digits = readNumber(text, pos, token.field == L'y' ? 4 : 2, value);
        if (digits == 0) {
            return std::nullopt;
        }
        pos += digits;
        if (token.field == L'd') {
            day = value;
        } else if (token.field == L'M') {
            month = value;
        } else {
            year = digits <= 2 ? 2000 + value : value;
        }
    }
    if (pos != text.size() || year < kFirstYear || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, month)) {
        return std::nullopt;
    }
    CivilDateTime date;
    date.year = year;
    date.month = month;
    date.day = day;
    return date;
}

} // namespace tavlor::win32
