#include "views/MonitorModel.h"

#include "accounting/KvString.h"

#include <cmath>
#include <limits>

namespace tavlor {

namespace {
constexpr double kFloorMaximum = 3;
constexpr std::int32_t kHeadroom = 5;

// Halves go to the even neighbour (2.5 -> 2, 3.5 -> 4), independent of the FPU's rounding mode.
double RoundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double rest = value - lower;
    if (rest > 0.5) {
        return lower + 1;
    }
    if (rest < 0.5) {
        return lower;
    }
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

// Keeps absurd figures from overflowing the 32-bit axis arithmetic.
std::int32_t ToAxisInt(double rounded)
{
    constexpr double top = std::numeric_limits<std::int32_t>::max() - kHeadroom;
    if (rounded >= top) {
        return static_cast<std::int32_t>(top);
    }
    return static_cast<std::int32_t>(rounded);
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}
} // namespace

double MonitorModel::SpeedFigure(const NumberFormat& numbers, std::string_view labelText)
{
    std::string_view figure = labelText.substr(0, labelText.find("kb"));
    while (!figure.empty() && IsBlank(figure.front())) {
        figure.remove_prefix(1);
    }
    while (!figure.empty() && IsBlank(figure.back())) {
        figure.remove_suffix(1);
    }
    const std::optional<double> value = numbers.parse(figure);
    if (!value || !std::isfinite(*value)) {
        return 0;
    }
    return *value;
}

MonitorModel::Sample MonitorModel::takeSample(double downFigure, double upFigure)
{
    if (!std::isfinite(downFigure)) {
        downFigure = 0;
    }
    if (!std::isfinite(upFigure)) {
        upFigure = 0;
    }
    Sample sample;
    sample.x = ++m_sampleCount;
    sample.downY = RoundHalfEven(downFigure);
    sample.upY = RoundHalfEven(upFigure);
    if (downFigure <= 0) {
        sample.leftAxisMaximum = kFloorMaximum;
    } else {
        const std::int32_t r = ToAxisInt(sample.downY);
        if (r > m_leftAxisTop - kHeadroom) {
            m_leftAxisTop = r + kHeadroom;
            sample.leftAxisMaximum = m_leftAxisTop;
        }
    }
    sample.bottomAxisMaximum = static_cast<double>(m_sampleCount) + 10;
    return sample;
}

} // namespace tavlor
