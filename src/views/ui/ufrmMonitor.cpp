#include "views/ui/ufrmMonitor.h"
#include "text/WidgetNames.h"

#include "model/TickReading.h"
#include "platform/Clock.h"
#include "platform/LocaleFormat.h"
#include "text/KvString.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QEvent>
#include <QGraphicsLayout>
#include <QHideEvent>
#include <QLegendMarker>
#include <QLineSeries>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

namespace tavlor {

namespace {
constexpr int kSampleIntervalMs = 2000;
constexpr double kDesignLeftMaximum = 164;
const QColor kLime(0, 255, 0);
const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kSilver(192, 192, 192);

// Whole-number steps of 1, 2 or 5 times a power of ten, about five to an axis: the figures are
// whole kb/s, so the labels need no decimals (and so no decimal separator).
double TickStep(double maximum)
{
    const double raw = std::max(1.0, maximum / 5);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * magnitude >= raw) {
            return factor * magnitude;
        }
    }
    return 10 * magnitude;
}

QLineSeries* MakeSeries(const QString& name, const QColor& line)
{
    auto* series = new QLineSeries;
    series->setName(name);
    series->setPen(QPen(line, 2));
    series->setPointsVisible(false);
    return series;
}

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QList<QPointF> ToPoints(const std::vector<HistoryPoint>& history)
{
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(history.size()));
    for (const HistoryPoint& p : history) {
        points.append(QPointF(p.x, p.y));
    }
    return points;
}

// Only what changed goes to the chart: appending a point costs the chart one point, replacing
// the whole list costs it every point.
void Follow(QLineSeries* series, MonitorModel::Change change, const std::vector<HistoryPoint>& history)
{
    switch (change) {
    case MonitorModel::Change::None:
        break;
    case MonitorModel::Change::Appended:
        series->append(history.back().x, history.back().y);
        break;
    case MonitorModel::Change::ReplacedLast:
        series->replace(series->count() - 1, QPointF(history.back().x, history.back().y));
        break;
    case MonitorModel::Change::Rebuilt:
        series->replace(ToPoints(history));
        break;
    }
}
} // namespace

TfrmMonitor::TfrmMonitor(std::function<TickReading()> reading, const NumberFormat& numbers,
                         const LocaleFormat& locale, const Clock& clock, QWidget* parent)
    : QDialog(parent), m_reading(std::move(reading)), m_numbers(numbers), m_locale(locale), m_clock(clock)
{
    setObjectName(names::frmMonitor);
    setWindowTitle("Tavlor Monitor");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    move(245, 165);
    resize(564, 311);

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    buildChart();

    m_tBandbreite = new QTimer(this);
    m_tBandbreite->setObjectName(names::tBandbreite);
    m_tBandbreite->setInterval(kSampleIntervalMs);
    connect(m_tBandbreite, &QTimer::timeout, this, &TfrmMonitor::takeSample);
}

void TfrmMonitor::buildChart()
{
    m_chart = new QChart;
    m_chart->setBackgroundBrush(kSilver);
    m_chart->setBackgroundRoundness(0);
    // The chart fills its client area: silver up to the window's sunken frame.
    m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    m_chart->legend()->setAlignment(Qt::AlignTop);

    m_download = MakeSeries("Download", kGreen);
    m_upload = MakeSeries("Upload", kRed);
    m_chart->addSeries(m_download);
    m_chart->addSeries(m_upload);
    // The legend shows the download series in its series colour, the line itself is darker.
    for (QLegendMarker* marker : m_chart->legend()->markers(m_download)) {
        marker->setBrush(kLime);
    }
    buildAxes();
    // About two points per pixel of the plot: a wider window keeps a finer history.
    connect(m_chart, &QChart::plotAreaChanged, this, [this](const QRectF& area) {
        m_model.growCapacity(2 * static_cast<std::size_t>(std::max(0.0, area.width())));
    });

    m_chartView = new QChartView(m_chart, this);
    m_chartView->setObjectName(names::chart);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_chartView->setBackgroundBrush(kSilver);
    m_layout->addWidget(m_chartView);
}

// A chart built again after a close starts from the history and the axes the model holds.
void TfrmMonitor::loadFromModel()
{
    m_download->replace(ToPoints(m_model.downloadPoints()));
    m_upload->replace(ToPoints(m_model.uploadPoints()));
    if (m_model.sampleCount() > 0) {
        setLeftMaximum(m_model.leftAxisMaximum());
        setBottomMaximum(m_model.bottomAxisMaximum());
        setBottomTime(m_bottomTime);
    }
}

void TfrmMonitor::freeChart()
{
    // The view owns the chart, its series, axes and graphics items. Later, not now: the close
    // may come from an event the view is still handling.
    m_layout->removeWidget(m_chartView);
    m_chartView->hide();
    m_chartView->deleteLater();
    m_chartView = nullptr;
    m_chart = nullptr;
    m_download = nullptr;
    m_upload = nullptr;
    m_leftAxis = nullptr;
    m_bottomAxis = nullptr;
}

void TfrmMonitor::buildAxes()
{
    m_leftAxis = new QValueAxis;
    m_leftAxis->setTitleText("Bandbreite (kb/s)");
    m_leftAxis->setLabelFormat("%.0f");
    m_leftAxis->setTickType(QValueAxis::TicksDynamic);
    m_leftAxis->setTickAnchor(0);
    m_leftAxis->setMinorTickCount(0);
    setLeftMaximum(kDesignLeftMaximum);

    m_bottomAxis = new QDateTimeAxis;
    m_bottomAxis->setTickCount(6);
    setBottomMaximum(60);
    setBottomTime("Zeit");

    m_chart->addAxis(m_leftAxis, Qt::AlignLeft);
    m_chart->addAxis(m_bottomAxis, Qt::AlignBottom);
    for (QLineSeries* series : {m_download, m_upload}) {
        series->attachAxis(m_bottomAxis);
        series->attachAxis(m_leftAxis);
    }
}

void TfrmMonitor::setLeftMaximum(double maximum)
{
    m_leftAxis->setRange(0, maximum);
    m_leftAxis->setTickInterval(TickStep(maximum));
}

// The x values are sample numbers; on the date-time axis they count as milliseconds.
void TfrmMonitor::setBottomMaximum(double maximum)
{
    m_bottomAxis->setRange(QDateTime::fromMSecsSinceEpoch(0, Qt::UTC),
                           QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(maximum), Qt::UTC));
}

// Every bottom label shows the same current time. Qt Charts has no per-label callback, a
// QCategoryAxis refuses repeated labels and a QValueAxis format without a conversion prints
// nothing; a date-time format made of one quoted literal prints the time text at every tick.
void TfrmMonitor::setBottomTime(const QString& time)
{
    m_bottomAxis->setTitleText(time);
    QString literal = time;
    m_bottomAxis->setFormat("'" + literal.replace("'", "''") + "'");
}

void TfrmMonitor::takeSample()
{
    // The kb/s figures the speed labels show, cut as they are.
    const TickReading now = m_reading();
    const double down = SpeedFigure(m_numbers, now.downSpeed);
    const double up = SpeedFigure(m_numbers, now.upSpeed);
    const MonitorModel::Sample sample = m_model.takeSample(down, up);
    m_bottomTime = FromUtf8(m_locale.formatLongTime(m_clock.nowLocal()));
    if (m_chart == nullptr) {
        return;
    }
    if (sample.leftAxisMaximum) {
        setLeftMaximum(*sample.leftAxisMaximum);
    }
    setBottomMaximum(sample.bottomAxisMaximum);
    setBottomTime(m_bottomTime);
    Follow(m_download, sample.downChange, m_model.downloadPoints());
    Follow(m_upload, sample.upChange, m_model.uploadPoints());
}

void TfrmMonitor::showEvent(QShowEvent* e)
{
    if (m_chart == nullptr) {
        buildChart();
        loadFromModel();
    }
    QDialog::showEvent(e);
}

bool TfrmMonitor::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate) {
        FormActivate();
    }
    return QDialog::event(e);
}

// A minimised window gets a spontaneous hide event; only a real close ends the sampling.
void TfrmMonitor::hideEvent(QHideEvent* e)
{
    if (!e->spontaneous()) {
        FormClose();
    }
    QDialog::hideEvent(e);
}

void TfrmMonitor::FormActivate()
{
    m_tBandbreite->start();
    takeSample();
}

void TfrmMonitor::FormClose()
{
    m_tBandbreite->stop();
    // The history stays in the model; the chart is rebuilt from it at the next opening.
    freeChart();
}

} // namespace tavlor
