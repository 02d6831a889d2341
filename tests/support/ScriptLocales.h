#pragma once

#include "platform/LocaleFormat.h"

#include <string>

namespace tavlor::test {

// A locale written by hand after Qt's data, for the locales whose dates and numbers Windows-1252
// cannot hold: its own digits, date order, separators and marks, and decimal separator.
class ScriptLocale final : public LocaleFormat
{
public:
    enum class Order
    {
        DayMonthYear,
        YearMonthDay
    };
    struct Shape
    {
        char32_t zero = U'0'; // the locale's digit zero
        Order order = Order::DayMonthYear;
        std::string separator; // between the date fields, marks included (UTF-8)
        std::string suffix;    // after the date (UTF-8)
        bool padDay = false;   // "08" rather than "8"
        bool padMonth = false;
        std::string decimal; // decimal separator (UTF-8)
    };
    explicit ScriptLocale(Shape shape) : m_shape(std::move(shape)) {}

    std::string decimalSeparator() const override { return m_shape.decimal; }
    std::string formatShortDate(const CivilDateTime& date) const override;
    // Strict: exactly the form formatShortDate writes.
    std::optional<CivilDateTime> parseShortDate(std::string_view text) const override;
    std::string formatDateTime(const CivilDateTime& moment) const override;
    std::string formatLongTime(const CivilDateTime& moment) const override;

private:
    std::string number(int value, bool pad) const;
    Shape m_shape;
};

// bg_BG: "8.12.2026 г.", decimal comma.
ScriptLocale BulgarianLocale();
// ar_EG: Arabic-Indic digits, "٨‏/١٢‏/٢٠٢٦" with right-to-left marks, decimal "٫".
ScriptLocale ArabicEgyptLocale();
// fa_IR: Persian digits, "۲۰۲۶/۱۲/۸", decimal "٫".
ScriptLocale PersianLocale();

} // namespace tavlor::test
