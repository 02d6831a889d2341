#pragma once

#include <cstdint>

namespace tavlor {

// A local calendar date and time as the user's clock shows it.
struct CivilDateTime
{
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    friend bool operator==(const CivilDateTime&, const CivilDateTime&) = default;
};

class Clock
{
public:
    virtual ~Clock() = default;
    // Local wall-clock time ("Now"); may jump (DST, user changes the clock).
    virtual CivilDateTime nowLocal() const = 0;
    // Milliseconds on a clock that never jumps; only differences mean anything.
    virtual std::int64_t monotonicMs() const = 0;
};

} // namespace tavlor
