#pragma once

#include "history/BillingPeriod.h"
#include "history/History.h"
#include "text/KvString.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavlor {

class ProfileFile;

// The Volumenwarner's settings, kept in data.ini's section [Volumenwarner].
struct WarnerSettings
{
    std::int64_t limitMB = 0;    // whole MB of 1,000,000 bytes; 0 = off
    std::int64_t limitHours = 0; // 0 = off
    int billingDay = 1;          // 1-28
    bool downloadOnly = false;
    int warning1 = 80;  // percent
    int warning2 = 100; // percent

    bool active() const { return limitMB > 0 || limitHours > 0; }
    friend bool operator==(const WarnerSettings&, const WarnerSettings&) = default;
};

// Which warnings of a billing period have been given: one bit per threshold.
struct WarnerRecord
{
    CalendarDay periodFirst{0, 0, 0};
    unsigned volumeGiven = 0;
    unsigned timeGiven = 0;
    friend bool operator==(const WarnerRecord&, const WarnerRecord&) = default;
};

inline constexpr const char* kWarnerSection = "Volumenwarner";

// Missing or unreadable keys take their defaults; out-of-range values too.
void ReadWarner(const ProfileFile& file, WarnerSettings& settings, WarnerRecord& record);
void WriteWarner(ProfileFile& file, const WarnerSettings& settings, const WarnerRecord& record);

enum class WarnLevel
{
    Normal,
    Warning, // a warning threshold below the limit is reached
    Over     // the limit is reached
};

struct WarnerEvent
{
    enum class Kind
    {
        Volume,
        Time
    } kind = Kind::Volume;
    int percent = 0; // the threshold crossed
    double used = 0; // bytes or seconds
    double limit = 0;
};

// How far the current billing period has got against one limit.
struct LimitUse
{
    WarnerEvent::Kind kind = WarnerEvent::Kind::Volume;
    double used = 0;  // bytes or seconds
    double limit = 0; // 0 = no limit of this kind
};

class VolumeWarner
{
public:
    void configure(const WarnerSettings& settings, const WarnerRecord& record);
    const WarnerSettings& settings() const { return m_settings; }
    const WarnerRecord& record() const { return m_record; }

    // The warnings due now: each threshold fires once per period, the higher one when both
    // are crossed at once.
    std::vector<WarnerEvent> check(const UsageHistory& history, const CalendarDay& today);
    // New settings count what the period has already used as warned about.
    void applySettings(const WarnerSettings& settings, const UsageHistory& history, const CalendarDay& today);

    BillingPeriod period(const CalendarDay& today) const;
    std::vector<LimitUse> uses(const UsageHistory& history, const CalendarDay& today) const;
    WarnLevel level(const UsageHistory& history, const CalendarDay& today) const;

private:
    unsigned reached(const LimitUse& use) const;
    void startPeriodOf(const CalendarDay& today);

    WarnerSettings m_settings;
    WarnerRecord m_record;
};

// "Volumen: 3,2 von 5 GB (64 %)" / "Onlinezeit: 12,5 von 40 Stunden (31 %)". Units are the
// provider's: 1 MB = 1,000,000 bytes, GB from a limit of 1000 MB on.
std::string LimitLine(const NumberFormat& numbers, const LimitUse& use);
// "3,2 von 5 GB (64 %)".
std::string LimitShare(const NumberFormat& numbers, const LimitUse& use);
// The unit a limit is shown in: hours for time, GB from a limit of 1000 MB on, else MB.
enum class AmountUnit
{
    Megabytes,
    Gigabytes,
    Hours
};
AmountUnit UnitOf(const LimitUse& use);
std::string UnitText(AmountUnit unit);
// What one unit holds: bytes for the volumes, seconds for the hours.
double UnitDivisor(AmountUnit unit);
std::string LimitUnit(const LimitUse& use);
// The amount in the limit's unit, one decimal: "3,2".
std::string LimitNumber(const NumberFormat& numbers, const LimitUse& use, double amount);
std::string WarningText(const NumberFormat& numbers, const WarnerEvent& event, const std::string& periodEnd);

} // namespace tavlor
