#pragma once

#include "model/TickParts.h"
#include "platform/SystemTimesSource.h"
#include "text/ViewModel.h"
#include "text/WidgetNames.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavlor {

// "<system> Uptime: W Wochen, D Tage, H h, M min, S sek." from milliseconds since boot.
// systemName is "Linux" or "Windows".
std::string UptimeText(std::uint64_t millisecondsSinceBoot, std::string_view systemName);

// The uptime text of the status bar, written at the end of every tick.
class UptimeLabel final : public UptimeDisplay
{
public:
    UptimeLabel(ViewModel& view, SystemTimesSource& times, std::string systemName)
        : m_view(view), m_times(times), m_systemName(std::move(systemName))
    {
    }
    void ShowWindowsUptime() override
    {
        m_view.setText(names::sBar, UptimeText(m_times.millisecondsSinceBoot(), m_systemName));
    }

private:
    ViewModel& m_view;
    SystemTimesSource& m_times;
    std::string m_systemName;
};

} // namespace tavlor
