#pragma once

#include "platform/Clock.h"
#include "text/DayCount.h"

namespace tavlor::test {

// A clock moved by hand; tests never sleep.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(CivilDateTime start = {2026, 12, 8, 10, 0, 0, 0}) : m_now(start) {}
    CivilDateTime nowLocal() const override { return m_now; }
    std::int64_t monotonicMs() const override { return m_monotonic; }

    // Moves both clocks forward.
    void advanceMs(std::int64_t ms)
    {
        m_monotonic += ms;
        m_now = FromDayCount(ToDayCount(m_now) + static_cast<double>(ms) / 86400000.0);
    }
    // Sets the wall clock alone (a user or DST change); the monotonic clock is unaffected.
    void setLocal(const CivilDateTime& t) { m_now = t; }

private:
    CivilDateTime m_now;
    std::int64_t m_monotonic = 1000000;
};

} // namespace tavlor::test
