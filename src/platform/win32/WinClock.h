#pragma once

#include "platform/Clock.h"

namespace tavlor::win32 {

class WinClock final : public Clock
{
public:
    CivilDateTime nowLocal() const override;
    std::int64_t monotonicMs() const override;
};

} // namespace tavlor::win32
