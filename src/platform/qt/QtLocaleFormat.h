#pragma once

#include "platform/LocaleFormat.h"

#include <QDate>
#include <QLocale>
#include <QString>

namespace tavlor {

// The user's conventions through QLocale. Short dates always carry four year digits
// (08.12.2026): the data file and the labels are read back with the same format.
class QtLocaleFormat final : public LocaleFormat
{
public:
    explicit QtLocaleFormat(const QLocale& locale);

    std::string decimalSeparator() const override;
    std::string formatShortDate(const CivilDateTime& date) const override;
    std::optional<CivilDateTime> parseShortDate(std::string_view text) const override;
    std::optional<CivilDateTime> parseLongDate(std::string_view text) const override;
    std::string formatDateTime(const CivilDateTime& moment) const override;
    std::string formatLongTime(const CivilDateTime& moment) const override;

    const QString& shortDatePattern() const { return m_datePattern; }
    const QString& longTimePattern() const { return m_timePattern; }

private:
    static std::optional<CivilDateTime> fromQDate(const QDate& date);

    QLocale m_locale;
    QString m_datePattern;
    QString m_timePattern;
};

} // namespace tavlor
