#pragma once

#include "platform/Clock.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavlor {

// The user's date and number conventions. Texts are UTF-8.
// Number texts themselves are built by the core (KvString) from the decimal separator alone,
// so that every figure the program shows or stores has one well-defined form.
class LocaleFormat
{
public:
    virtual ~LocaleFormat() = default;
    // "," under a German locale, "." under an English one.
    virtual std::string decimalSeparator() const = 0;
    // Short date, e.g. "08.12.2026".
    virtual std::string formatShortDate(const CivilDateTime& date) const = 0;
    // Strict parse of a short date; nullopt when the text is not a valid date in that form.
    virtual std::optional<CivilDateTime> parseShortDate(std::string_view text) const = 0;
    // The locale's long date form ("Dienstag, 8. Dezember 2026"); nullopt where it is not known.
    virtual std::optional<CivilDateTime> parseLongDate(std::string_view /*text*/) const
    {
        return std::nullopt;
    }
    // Date and time, e.g. "08.12.2026 17:05:09".
    virtual std::string formatDateTime(const CivilDateTime& moment) const = 0;
    // Long time format, e.g. "17:05:09".
    virtual std::string formatLongTime(const CivilDateTime& moment) const = 0;
};

} // namespace tavlor
