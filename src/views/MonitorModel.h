#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavlor {

class NumberFormat;

// The bandwidth monitor's sample arithmetic, free of the chart.
class MonitorModel
{
public:
    struct Sample
    {
        std::int32_t x = 0;                    // sampleCount after the step
        double downY = 0;                      // rounded download figure
        double upY = 0;                        // rounded upload figure
        std::optional<double> leftAxisMaximum; // set when the step changes it
        double bottomAxisMaximum = 0;          // sampleCount + 10
    };

    // The figure of a speed label ("12,5 kb/s" -> 12.5); 0 when it cannot be read.
    static double SpeedFigure(const NumberFormat& numbers, std::string_view labelText);

    Sample takeSample(double downFigure, double upFigure);
    std::int32_t sampleCount() const { return m_sampleCount; }
    std::int32_t leftAxisTop() const { return m_leftAxisTop; }

private:
    std::int32_t m_sampleCount = 0;
    std::int32_t m_leftAxisTop = 0;
};

} // namespace tavlor
