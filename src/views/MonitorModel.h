#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tavlor {

class NumberFormat;

// One point of a drawn series: the peak of a bucket of samples, at the sample where it occurred.
struct HistoryPoint
{
    std::int32_t x = 0;
    double y = 0;
    bool operator==(const HistoryPoint&) const = default;
};

// The bandwidth monitor's sample arithmetic and its history, free of the chart.
//
// The bottom axis spans the whole history, so a graph open for a month would otherwise hold
// and redraw 1.3 million points. The history keeps at most `capacity` points per series: when
// it is full, neighbouring points are merged pairwise into one holding the higher figure, so a
// spike stays visible however old it is, and each later point stands for twice as many samples.
class MonitorModel
{
public:
    // How the last sample changed a series, so the chart can follow without a full reload.
    enum class Change
    {
        None,         // folded into the last point, which kept its peak
        Appended,     // one new point at the end
        ReplacedLast, // the last point has a new peak
        Rebuilt       // the history was merged: reload the whole series
    };

    struct Sample
    {
        std::int32_t x = 0;                    // sampleCount after the step
        double downY = 0;                      // rounded download figure
        double upY = 0;                        // rounded upload figure
        std::optional<double> leftAxisMaximum; // set when the step changes it
        double bottomAxisMaximum = 0;          // sampleCount + 10
        Change downChange = Change::None;
        Change upChange = Change::None;
    };

    static constexpr std::size_t kDefaultCapacity = 1024;
    static constexpr double kFloorMaximum = 3;

    explicit MonitorModel(std::size_t capacity = kDefaultCapacity);

    Sample takeSample(double downFigure, double upFigure);
    std::int32_t sampleCount() const { return m_sampleCount; }
    std::int32_t leftAxisTop() const { return m_leftAxisTop; }
    // The left axis maximum that shows every point held: never below the highest one.
    double leftAxisMaximum() const;
    // The bottom axis maximum: sampleCount + 10 once sampled, the design's 60 before.
    double bottomAxisMaximum() const;

    const std::vector<HistoryPoint>& downloadPoints() const { return m_down; }
    const std::vector<HistoryPoint>& uploadPoints() const { return m_up; }
    // Samples each point stands for (the last point may hold fewer).
    std::int32_t samplesPerPoint() const { return m_bucketWidth; }
    std::size_t capacity() const { return m_capacity; }
    // Room for more points before the next merge (a wider chart); never less than before, as
    // merged points cannot be split again.
    void growCapacity(std::size_t capacity);

private:
    Change addPoint(std::vector<HistoryPoint>& points, HistoryPoint point, bool openBucket);
    void mergePairs();

    std::size_t m_capacity;
    std::int32_t m_sampleCount = 0;
    std::int32_t m_leftAxisTop = 0;
    std::int32_t m_bucketWidth = 1;
    std::int32_t m_inLastBucket = 0; // samples folded into the last point so far
    double m_shownMaximum = 0;       // the left maximum last reported
    std::vector<HistoryPoint> m_down;
    std::vector<HistoryPoint> m_up;
};

} // namespace tavlor
