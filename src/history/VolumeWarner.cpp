#include "history/VolumeWarner.h"

#include "datafile/ProfileFile.h"
#include "datafile/UsageValues.h"
#include "history/HistoryCsv.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tavlor {

namespace {
constexpr double kBytesPerMB = 1e6;
constexpr double kSecondsPerHour = 3600.0;
constexpr unsigned kAllThresholds = 3;

std::int64_t readNumber(const ProfileFile& file, const char* key, std::int64_t fallback, std::int64_t low,
                        std::int64_t high)
{
    const std::optional<std::int32_t> value = ParseFileInteger(file.readString(kWarnerSection, key, ""));
    return value && *value >= low && *value <= high ? *value : fallback;
}

std::optional<CalendarDay> readIsoDay(const std::string& text)
{
    int y = 0, m = 0, d = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3 || !IsValidDay({y, m, d})) {
        return std::nullopt;
    }
    return CalendarDay{y, m, d};
}

double rounded1(double value)
{
    return std::round(value * 10.0) / 10.0;
}
} // namespace

void ReadWarner(const ProfileFile& file, WarnerSettings& s, WarnerRecord& r)
{
    const WarnerSettings defaults;
    s.limitMB = readNumber(file, "LimitMB", 0, 0, INT32_MAX);
    s.limitHours = readNumber(file, "LimitStunden", 0, 0, INT32_MAX);
    s.billingDay = static_cast<int>(readNumber(file, "Stichtag", 1, kMinBillingDay, kMaxBillingDay));
    s.downloadOnly = readNumber(file, "NurDownload", 0, INT32_MIN, INT32_MAX) != 0;
    s.warning1 = static_cast<int>(readNumber(file, "Warnung1", defaults.warning1, 1, 1000));
    s.warning2 = static_cast<int>(readNumber(file, "Warnung2", defaults.warning2, 1, 1000));
    r = WarnerRecord{};
    if (auto first = readIsoDay(file.readString(kWarnerSection, "GewarntAb", ""))) {
        r.periodFirst = *first;
        r.volumeGiven = static_cast<unsigned>(readNumber(file, "GewarntVolumen", 0, 0, kAllThresholds));
        r.timeGiven = static_cast<unsigned>(readNumber(file, "GewarntZeit", 0, 0, kAllThresholds));
    }
}

void WriteWarner(ProfileFile& file, const WarnerSettings& s, const WarnerRecord& r)
{
    const auto write = [&file](const char* key, std::int64_t value) {
        file.writeString(kWarnerSection, key, std::to_string(value));
    };
    write("LimitMB", s.limitMB);
    write("LimitStunden", s.limitHours);
    write("Stichtag", s.billingDay);
    write("NurDownload", s.downloadOnly ? 1 : 0);
    write("Warnung1", s.warning1);
    write("Warnung2", s.warning2);
    if (IsValidDay(r.periodFirst)) {
        file.writeString(kWarnerSection, "GewarntAb", IsoDate(r.periodFirst));
        write("GewarntVolumen", r.volumeGiven);
        write("GewarntZeit", r.timeGiven);
    }
}

void VolumeWarner::configure(const WarnerSettings& settings, const WarnerRecord& record)
{
    m_settings = settings;
    m_record = record;
}

BillingPeriod VolumeWarner::period(const CalendarDay& today) const
{
    return PeriodContaining(today, m_settings.billingDay);
}

std::vector<LimitUse> VolumeWarner::uses(const UsageHistory& history, const CalendarDay& today) const
{
    const BillingPeriod p = period(today);
    const Usage used = history.between(p.first, p.last);
    std::vector<LimitUse> out;
    if (m_settings.limitMB > 0) {
        const double bytes = static_cast<double>(used.downBytes) +
                             (m_settings.downloadOnly ? 0.0 : static_cast<double>(used.upBytes));
        out.push_back(
            {WarnerEvent::Kind::Volume, bytes, static_cast<double>(m_settings.limitMB) * kBytesPerMB});
    }
    if (m_settings.limitHours > 0) {
        out.push_back({WarnerEvent::Kind::Time, static_cast<double>(used.onlineSeconds),
                       static_cast<double>(m_settings.limitHours) * kSecondsPerHour});
    }
    return out;
}

unsigned VolumeWarner::reached(const LimitUse& use) const
{
    const int thresholds[] = {m_settings.warning1, m_settings.warning2};
    unsigned bits = 0;
    for (unsigned i = 0; i < 2; ++i) {
        if (use.used * 100.0 >= use.limit * thresholds[i]) {
            bits |= 1u << i;
        }
    }
    return bits;
}

void VolumeWarner::startPeriodOf(const CalendarDay& today)
{
    const CalendarDay first = period(today).first;
    if (m_record.periodFirst != first) {
        m_record = WarnerRecord{first, 0, 0};
    }
}

std::vector<WarnerEvent> VolumeWarner::check(const UsageHistory& history, const CalendarDay& today)
{
    std::vector<WarnerEvent> events;
    if (!m_settings.active()) {
        return events;
    }
    startPeriodOf(today);
    const int thresholds[] = {m_settings.warning1, m_settings.warning2};
    for (const LimitUse& use : uses(history, today)) {
        unsigned& given = use.kind == WarnerEvent::Kind::Volume ? m_record.volumeGiven : m_record.timeGiven;
        const unsigned fresh = reached(use) & ~given;
        if (fresh == 0) {
            continue;
        }
        given |= fresh;
        int percent = 0;
        for (unsigned i = 0; i < 2; ++i) {
            percent = (fresh & (1u << i)) != 0 ? std::max(percent, thresholds[i]) : percent;
        }
        events.push_back({use.kind, percent, use.used, use.limit});
    }
    return events;
}

void VolumeWarner::applySettings(const WarnerSettings& settings, const UsageHistory& history,
                                 const CalendarDay& today)
{
    m_settings = settings;
    m_record = WarnerRecord{period(today).first, 0, 0};
    for (const LimitUse& use : uses(history, today)) {
        (use.kind == WarnerEvent::Kind::Volume ? m_record.volumeGiven : m_record.timeGiven) = reached(use);
    }
}

WarnLevel VolumeWarner::level(const UsageHistory& history, const CalendarDay& today) const
{
    WarnLevel worst = WarnLevel::Normal;
    const int lowest = std::min(m_settings.warning1, m_settings.warning2);
    for (const LimitUse& use : uses(history, today)) {
        if (use.used >= use.limit) {
            return WarnLevel::Over;
        }
        if (use.used * 100.0 >= use.limit * lowest) {
            worst = WarnLevel::Warning;
        }
    }
    return worst;
}

AmountUnit UnitOf(const LimitUse& use)
{
    if (use.kind == WarnerEvent::Kind::Time) {
        return AmountUnit::Hours;
    }
    return use.limit >= 1000 * kBytesPerMB ? AmountUnit::Gigabytes : AmountUnit::Megabytes;
}

std::string UnitText(AmountUnit unit)
{
    switch (unit) {
    case AmountUnit::Hours:
        return "Stunden";
    case AmountUnit::Gigabytes:
        return "GB";
    case AmountUnit::Megabytes:
        break;
    }
    return "MB";
}

double UnitDivisor(AmountUnit unit)
{
    switch (unit) {
    case AmountUnit::Hours:
        return kSecondsPerHour;
    case AmountUnit::Gigabytes:
        return 1e9;
    case AmountUnit::Megabytes:
        break;
    }
    return kBytesPerMB;
}

std::string LimitUnit(const LimitUse& use)
{
    return UnitText(UnitOf(use));
}

std::string LimitNumber(const NumberFormat& numbers, const LimitUse& use, double amount)
{
    return numbers.format(rounded1(amount / UnitDivisor(UnitOf(use))));
}

std::string LimitShare(const NumberFormat& numbers, const LimitUse& use)
{
    const long long percent = static_cast<long long>(std::floor(use.used * 100.0 / use.limit));
    return LimitNumber(numbers, use, use.used) + " von " + LimitNumber(numbers, use, use.limit) + " " +
           LimitUnit(use) + " (" + std::to_string(percent) + " %)";
}

std::string LimitLine(const NumberFormat& numbers, const LimitUse& use)
{
    return (use.kind == WarnerEvent::Kind::Volume ? "Volumen: " : "Onlinezeit: ") + LimitShare(numbers, use);
}

std::string WarningText(const NumberFormat& numbers, const WarnerEvent& event, const std::string& periodEnd)
{
    const LimitUse use{event.kind, event.used, event.limit};
    const bool volume = event.kind == WarnerEvent::Kind::Volume;
    std::string head;
    if (event.percent >= 100) {
        head = volume ? "Das Monatsvolumen ist erreicht" : "Die Onlinezeit des Monats ist erreicht";
    } else {
        head = std::to_string(event.percent) + (volume ? " % des Monatsvolumens sind verbraucht"
                                                       : " % der Onlinezeit des Monats sind verbraucht");
    }
    return head + ": " + LimitNumber(numbers, use, event.used) + " von " +
           LimitNumber(numbers, use, event.limit) + " " + LimitUnit(use) + " (Abrechnungszeitraum bis " +
           periodEnd + ").";
}

} // namespace tavlor
