#pragma once

#include <functional>

#include "views/MonitorModel.h"

#include <QDialog>

class QChart;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QTimer;
class QValueAxis;
class QVBoxLayout;

namespace tavlor {

class Clock;
class LocaleFormat;
class NumberFormat;
struct TickReading;

// The bandwidth monitor: one download and one upload point every 2000 ms while it is open,
// taken from the tick's latest reading: the figures the speed labels show.
class TfrmMonitor final : public QDialog
{
    Q_OBJECT

public:
    TfrmMonitor(std::function<TickReading()> reading, const NumberFormat& numbers, const LocaleFormat& locale,
                const Clock& clock, QWidget* parent = nullptr);
    TfrmMonitor(const TfrmMonitor&) = delete;
    TfrmMonitor& operator=(const TfrmMonitor&) = delete;

    // One sample of the current speeds, as tBandbreite takes it.
    void takeSample();

    // The chart and its parts exist while the window is open (and before its first closing);
    // null otherwise.
    QLineSeries* downloadSeries() const { return m_download; }
    QLineSeries* uploadSeries() const { return m_upload; }
    QValueAxis* leftAxis() const { return m_leftAxis; }
    QDateTimeAxis* bottomAxis() const { return m_bottomAxis; }
    QChartView* chartView() const { return m_chartView; }
    QTimer* timer() const { return m_tBandbreite; }
    const MonitorModel& model() const { return m_model; }
    // For filling the history while the window is closed (benchmarks, demos).
    MonitorModel& model() { return m_model; }

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void buildChart();
    void buildAxes();
    void loadFromModel();
    void freeChart();
    void FormActivate();
    void FormClose();
    void setLeftMaximum(double maximum);
    void setBottomMaximum(double maximum);
    void setBottomTime(const QString& time);

    std::function<TickReading()> m_reading;
    const NumberFormat& m_numbers;
    const LocaleFormat& m_locale;
    const Clock& m_clock;
    MonitorModel m_model;
    QString m_bottomTime = QStringLiteral("Zeit");

    QVBoxLayout* m_layout = nullptr;
    QChartView* m_chartView = nullptr;
    QChart* m_chart = nullptr;
    QLineSeries* m_download = nullptr;
    QLineSeries* m_upload = nullptr;
    QValueAxis* m_leftAxis = nullptr;
    QDateTimeAxis* m_bottomAxis = nullptr;
    QTimer* m_tBandbreite = nullptr;
};

} // namespace tavlor
