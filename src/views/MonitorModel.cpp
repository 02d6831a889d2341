#include "views/MonitorModel.h"

#include "text/KvString.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tavlor {

namespace {
constexpr std::int32_t kHeadroom = 5;
constexpr double kDesignBottomMaximum = 60;

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

// The y of a point: rounded, and inside the axis range so that no point is drawn off the chart.
double PointFigure(double figure)
{
    if (!std::isfinite(figure) || figure <= 0) {
        return 0;
    }
    return ToAxisInt(RoundHalfEven(figure));
}
} // namespace

MonitorModel::MonitorModel(std::size_t capacity)
    : m_capacity(std::max<std::size_t>(2, capacity & ~std::size_t{1}))
{
    m_down.reserve(m_capacity);
    m_up.reserve(m_capacity);
}

void MonitorModel::growCapacity(std::size_t capacity)
{
    m_capacity = std::max(m_capacity, capacity & ~std::size_t{1});
}

double MonitorModel::leftAxisMaximum() const
{
    return std::max(kFloorMaximum, static_cast<double>(m_leftAxisTop));
}

double MonitorModel::bottomAxisMaximum() const
{
    return m_sampleCount == 0 ? kDesignBottomMaximum : static_cast<double>(m_sampleCount) + 10;
}

MonitorModel::Sample MonitorModel::takeSample(double downFigure, double upFigure)
{
    Sample sample;
    sample.x = ++m_sampleCount;
    sample.downY = PointFigure(downFigure);
    sample.upY = PointFigure(upFigure);
    // Upload points count too: a point above the axis would be drawn off the chart.
    const std::int32_t r = ToAxisInt(std::max(sample.downY, sample.upY));
    if (r > 0 && r > m_leftAxisTop - kHeadroom) {
        m_leftAxisTop = r + kHeadroom;
    }
    // An idle sample no longer drops the axis to 3: the older, higher points are still on the
    // chart, and the axis would hide them and every later point below the old peak.
    if (leftAxisMaximum() != m_shownMaximum) {
        m_shownMaximum = leftAxisMaximum();
        sample.leftAxisMaximum = m_shownMaximum;
    }
    sample.bottomAxisMaximum = bottomAxisMaximum();

    const bool openBucket = !m_down.empty() && m_inLastBucket < m_bucketWidth;
    const bool merged = !openBucket && m_down.size() == m_capacity;
    if (merged) {
        mergePairs();
    }
    m_inLastBucket = openBucket ? m_inLastBucket + 1 : 1;
    sample.downChange = addPoint(m_down, {sample.x, sample.downY}, openBucket);
    sample.upChange = addPoint(m_up, {sample.x, sample.upY}, openBucket);
    if (merged) {
        sample.downChange = Change::Rebuilt;
        sample.upChange = Change::Rebuilt;
    }
    return sample;
}

MonitorModel::Change MonitorModel::addPoint(std::vector<HistoryPoint>& points, HistoryPoint point,
                                            bool openBucket)
{
    if (!openBucket) {
        points.push_back(point);
        return Change::Appended;
    }
    // Ties move the point on, so the line reaches the newest sample.
    if (point.y >= points.back().y) {
        points.back() = point;
        return Change::ReplacedLast;
    }
    return Change::None;
}

void MonitorModel::mergePairs()
{
    for (std::vector<HistoryPoint>* points : {&m_down, &m_up}) {
        std::vector<HistoryPoint>& p = *points;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < p.size(); i += 2) {
            const bool hasPair = i + 1 < p.size();
            // Ties keep the later sample, so the line still reaches the newest point.
            p[kept++] = hasPair && p[i].y > p[i + 1].y ? p[i] : p[hasPair ? i + 1 : i];
        }
        p.resize(kept);
    }
    m_bucketWidth *= 2;
}

} // namespace tavlor
