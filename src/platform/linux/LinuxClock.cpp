#include "platform/Platform.h"

#include <ctime>

namespace tavlor {

namespace {
class LinuxClock final : public Clock
{
public:
    CivilDateTime nowLocal() const override
    {
        timespec ts{};
        ::clock_gettime(CLOCK_REALTIME, &ts);
        std::tm local{};
        ::localtime_r(&ts.tv_sec, &local);
        CivilDateTime t;
        t.year = local.tm_year + 1900;
        t.month = local.tm_mon + 1;
        t.day = local.tm_mday;
        t.hour = local.tm_hour;
        t.minute = local.tm_min;
        t.second = local.tm_sec > 59 ? 59 : local.tm_sec; // leap second
        t.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
        return t;
    }

    std::int64_t monotonicMs() const override
    {
        timespec ts{};
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
    }
};
} // namespace

namespace platform {
std::unique_ptr<Clock> makeClock()
{
    return std::make_unique<LinuxClock>();
}
} // namespace platform

} // namespace tavlor
