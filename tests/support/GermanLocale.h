#pragma once

#include "platform/LocaleFormat.h"

namespace tavlor::test {

// The German conventions the program is mostly used with, independent of the machine:
// decimal comma, "dd.MM.yyyy", "dd.MM.yyyy hh:mm:ss", "hh:mm:ss".
class GermanLocale final : public LocaleFormat
{
public:
    std::string decimalSeparator() const override { return ","; }
    std::string formatShortDate(const CivilDateTime& date) const override;
    std::optional<CivilDateTime> parseShortDate(std::string_view text) const override;
    std::string formatDateTime(const CivilDateTime& moment) const override;
    std::string formatLongTime(const CivilDateTime& moment) const override;
};

// The same with an English decimal point ("1.5"), for the locale-independence tests.
class EnglishLocale final : public LocaleFormat
{
public:
    std::string decimalSeparator() const override { return "."; }
    std::string formatShortDate(const CivilDateTime& date) const override;
    std::optional<CivilDateTime> parseShortDate(std::string_view text) const override;
    std::string formatDateTime(const CivilDateTime& moment) const override;
    std::string formatLongTime(const CivilDateTime& moment) const override;
};

} // namespace tavlor::test
