#pragma once

#include "platform/LocaleFormat.h"

namespace tavlor::win32 {

// Number and date conventions from the Windows locale data. The program uses the user's
// locale; tests name one ("de-DE") so that they do not depend on the machine.
class WinLocaleFormat final : public LocaleFormat
{
public:
    explicit WinLocaleFormat(std::wstring localeName = {});

    std::string decimalSeparator() const override;
    std::string formatShortDate(const CivilDateTime& date) const override;
    std::optional<CivilDateTime> parseShortDate(std::string_view text) const override;
    std::string formatDateTime(const CivilDateTime& moment) const override;
    std::string formatLongTime(const CivilDateTime& moment) const override;

private:
    const wchar_t* locale() const;
    std::wstring info(unsigned type) const;
    std::wstring shortDatePattern() const;

    std::wstring m_localeName; // empty: the user's locale
};

} // namespace tavlor::win32
