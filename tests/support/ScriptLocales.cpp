#include "ScriptLocales.h"

#include <cstdio>

namespace tavlor::test {

namespace {
void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
} // namespace

std::string ScriptLocale::number(int value, bool pad) const
{
    char latin[16];
    std::snprintf(latin, sizeof latin, pad ? "%02d" : "%d", value);
    std::string out;
    for (const char* c = latin; *c != '\0'; ++c) {
        appendUtf8(out, m_shape.zero + static_cast<char32_t>(*c - '0'));
    }
    return out;
}

std::string ScriptLocale::formatShortDate(const CivilDateTime& d) const
{
    const std::string day = number(d.day, m_shape.padDay);
    const std::string month = number(d.month, m_shape.padMonth);
    const std::string year = number(d.year, false);
    const std::string& sep = m_shape.separator;
    if (m_shape.order == Order::YearMonthDay) {
        return year + sep + month + sep + day + m_shape.suffix;
    }
    return day + sep + month + sep + year + m_shape.suffix;
}

std::optional<CivilDateTime> ScriptLocale::parseShortDate(std::string_view text) const
{
    // Every date of a few centuries: slow, but exactly the inverse of the writer.
    for (int year = 1990; year <= 2100; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= 31; ++day) {
                const CivilDateTime date{year, month, day, 0, 0, 0, 0};
                if (formatShortDate(date) == text) {
                    return date;
                }
            }
        }
    }
    return std::nullopt;
}

std::string ScriptLocale::formatDateTime(const CivilDateTime& moment) const
{
    return formatShortDate(moment) + " " + formatLongTime(moment);
}

std::string ScriptLocale::formatLongTime(const CivilDateTime& t) const
{
    return number(t.hour, false) + ":" + number(t.minute, true) + ":" + number(t.second, true);
}

ScriptLocale BulgarianLocale()
{
    return ScriptLocale({U'0', ScriptLocale::Order::DayMonthYear, ".", " \xD0\xB3.", false, true, ","});
}

ScriptLocale ArabicEgyptLocale()
{
    return ScriptLocale(
        {0x660, ScriptLocale::Order::DayMonthYear, "\xE2\x80\x8F/", "", false, false, "\xD9\xAB"});
}

ScriptLocale PersianLocale()
{
    return ScriptLocale({0x6F0, ScriptLocale::Order::YearMonthDay, "/", "", false, false, "\xD9\xAB"});
}

} // namespace tavlor::test
