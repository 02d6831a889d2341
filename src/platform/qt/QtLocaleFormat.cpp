#include "platform/qt/QtLocaleFormat.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace tavlor {

namespace {
// "dd.MM.yy" -> "dd.MM.yyyy"; a pattern that already has four year digits stays.
QString withFullYear(QString pattern)
{
    static const QRegularExpression lonePair(QStringLiteral("(?<!y)yy(?!y)"));
    return pattern.replace(lonePair, QStringLiteral("yyyy"));
}

// The long time format without its time-zone letters; quoted literal text is kept.
QString withoutZone(const QString& pattern)
{
    QString out;
    bool quoted = false;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
        }
        if (quoted || c != QLatin1Char('t')) {
            out += c;
        }
    }
    return out.replace(QStringLiteral("()"), QString()).simplified();
}

QDate toQDate(const CivilDateTime& d)
{
    return QDate(d.year, d.month, d.day);
}

QTime toQTime(const CivilDateTime& t)
{
    return QTime(t.hour, t.minute, t.second, t.millisecond);
}

std::string utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}
} // namespace

QtLocaleFormat::QtLocaleFormat(const QLocale& locale)
    : m_locale(locale), m_datePattern(withFullYear(locale.dateFormat(QLocale::ShortFormat))),
      m_timePattern(withoutZone(locale.timeFormat(QLocale::LongFormat)))
{
}

std::string QtLocaleFormat::decimalSeparator() const
{
    return utf8(m_locale.decimalPoint());
}

std::string QtLocaleFormat::formatShortDate(const CivilDateTime& date) const
{
    return utf8(m_locale.toString(toQDate(date), m_datePattern));
}

std::optional<CivilDateTime> QtLocaleFormat::parseShortDate(std::string_view text) const
{
    const QString input = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return fromQDate(m_locale.toDate(input, m_datePattern));
}

std::optional<CivilDateTime> QtLocaleFormat::parseLongDate(std::string_view text) const
{
    const QString input = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return fromQDate(m_locale.toDate(input, QLocale::LongFormat));
}

std::optional<CivilDateTime> QtLocaleFormat::fromQDate(const QDate& date)
{
    if (!date.isValid()) {
        return std::nullopt;
    }
    CivilDateTime out;
    out.year = date.year();
    out.month = date.month();
    out.day = date.day();
    return out;
}

std::string QtLocaleFormat::formatDateTime(const CivilDateTime& moment) const
{
    return formatShortDate(moment) + " " + formatLongTime(moment);
}

std::string QtLocaleFormat::formatLongTime(const CivilDateTime& moment) const
{
    return utf8(m_locale.toString(toQTime(moment), m_timePattern));
}

} // namespace tavlor
