// What the window shows and what its buttons do.
#include "history/ui/ufrmVerlauf.h"

#include "history/HistoryChart.h"

#include "history/HistoryReport.h"
#include "history/UsageWatch.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace tavlor {

namespace {
constexpr int kDaysShown = 31;
constexpr int kMonthsShown = 24;
constexpr int kMBPerGB = 1000;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

void fillTable(QTableWidget* table, const ReportTable& report)
{
    table->clear();
    table->setColumnCount(static_cast<int>(report.header.size()));
    table->setRowCount(static_cast<int>(report.rows.size()));
    QStringList header;
    for (const std::string& h : report.header) {
        header << qs(h);
    }
    table->setHorizontalHeaderLabels(header);
    // Newest first: the row a user looks for is today's.
    const int last = table->rowCount() - 1;
    for (int r = 0; r <= last; ++r) {
        const auto& cells = report.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            auto* item = new QTableWidgetItem(qs(cells[static_cast<std::size_t>(c)]));
            item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                          : Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(last - r, c, item);
        }
    }
}
} // namespace

void TfrmVerlauf::refresh()
{
    const CalendarDay today = m_watch.today();
    const UsageHistory& history = m_watch.history();
    *m_days = DaysTable(history, today, kDaysShown, m_numbers, m_locale);
    *m_months = MonthsTable(history, today, kMonthsShown, m_numbers);
    fillTable(m_daysTable, *m_days);
    fillTable(m_monthsTable, *m_months);
    showChart(history, today);
    showPeriod();
    m_export->setEnabled(shownTable() != nullptr);
}

void TfrmVerlauf::showPeriod()
{
    while (m_periodForm->rowCount() > 0) {
        m_periodForm->removeRow(0);
    }
    int index = 0;
    for (const auto& [caption, value] :
         PeriodSummary(m_watch.warner(), m_watch.history(), m_watch.today(), m_numbers, m_locale)) {
        auto* label = new QLabel(qs(value));
        label->setObjectName(QStringLiteral("lZeitraum%1").arg(index++));
        label->setAccessibleName(qs(caption));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_periodForm->addRow(qs(caption) + QLatin1Char(':'), label);
    }
}

void TfrmVerlauf::showChart(const UsageHistory& history, const CalendarDay& today)
{
    QChart* chart = m_chartView->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    const std::vector<DayUsage> shown = history.lastDays(today, kDaysShown);
    double highestBytes = 0;
    for (const DayUsage& d : shown) {
        highestBytes = std::max(
            {highestBytes, static_cast<double>(d.usage.downBytes), static_cast<double>(d.usage.upBytes)});
    }
    const HistoryChartScale scale = ScaleForHighestBar(highestBytes);
    const QString unit = QString::fromStdString(scale.unit);
    auto* series = new QBarSeries;
    // Two bars to a day, side by side, filling most of the day's room.
    series->setBarWidth(0.9);
    m_downBars = new QBarSet(QStringLiteral("Download (%1)").arg(unit));
    m_upBars = new QBarSet(QStringLiteral("Upload (%1)").arg(unit));
    m_downBars->setColor(QColor(0, 160, 0));
    m_upBars->setColor(QColor(200, 0, 0));
    m_downBars->setBorderColor(QColor(0, 160, 0));
    m_upBars->setBorderColor(QColor(200, 0, 0));
    QStringList days;
    // The day number as category: unique within 31 days.
    for (const DayUsage& d : shown) {
        *m_downBars << static_cast<double>(d.usage.downBytes) / scale.bytesPerUnit;
        *m_upBars << static_cast<double>(d.usage.upBytes) / scale.bytesPerUnit;
        days << QString::number(d.day.day);
    }
    series->append(m_downBars);
    series->append(m_upBars);
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(days);
    // 31 day numbers do not fit side by side (each would be cut to "..."); the table has the dates.
    x->setLabelsVisible(false);
    x->setGridLineVisible(false);
    chart->setTitle(QStringLiteral("Die letzten 31 Tage in %1, rechts heute").arg(unit));
    auto* y = new QValueAxis;
    y->setObjectName(QStringLiteral("verlaufAxis"));
    // The top is a whole number of round steps from 0, so evenly spread ticks fall on them.
    y->setTickType(QValueAxis::TicksFixed);
    y->setMinorTickCount(0);
    y->setRange(0, scale.maximum);
    y->setTickCount(scale.ticks);
    // As many decimals as the step has (0.5 GB steps), no more.
    const int decimals = scale.step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(scale.step) - 1e-9));
    y->setLabelFormat(QStringLiteral("%.") + QString::number(decimals) + QStringLiteral("f"));
    // The charts measure the labels narrower than they draw them at 96 dpi and more, and would
    // cut every one to "...".
    y->setTruncateLabels(false);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

void TfrmVerlauf::showSettings()
{
    const WarnerSettings& s = m_watch.warner().settings();
    const bool inGB = s.limitMB >= kMBPerGB && s.limitMB % kMBPerGB == 0;
    m_limit->setValue(static_cast<int>(inGB ? s.limitMB / kMBPerGB : s.limitMB));
    m_unit->setCurrentIndex(inGB ? 1 : 0);
    m_downloadOnly->setChecked(s.downloadOnly);
    m_hours->setValue(static_cast<int>(s.limitHours));
    m_billingDay->setValue(s.billingDay);
    m_warning1->setValue(s.warning1);
    m_warning2->setValue(s.warning2);
}

void TfrmVerlauf::btnUebernehmenClick()
{
    WarnerSettings s;
    s.limitMB = static_cast<std::int64_t>(m_limit->value()) * (m_unit->currentIndex() == 1 ? kMBPerGB : 1);
    s.limitHours = m_hours->value();
    s.billingDay = m_billingDay->value();
    s.downloadOnly = m_downloadOnly->isChecked();
    s.warning1 = m_warning1->value();
    s.warning2 = m_warning2->value();
    const bool written = m_watch.applySettings(s);
    setStatus(written ? QStringLiteral("Einstellungen gespeichert.")
                      : QStringLiteral("Die Einstellungen gelten bis zum Beenden; data.ini kann nicht "
                                       "geschrieben werden."));
    refresh();
    showSettings();
    if (m_settingsApplied) {
        m_settingsApplied();
    }
}

const ReportTable* TfrmVerlauf::shownTable() const
{
    const int tab = m_tabs->currentIndex();
    return tab == 1 ? m_days.get() : tab == 2 ? m_months.get() : nullptr;
}

void TfrmVerlauf::btnExportClick()
{
    const ReportTable* table = shownTable();
    if (table == nullptr) {
        return;
    }
    const QString suggested = m_tabs->currentIndex() == 1 ? QStringLiteral("verlauf-tage.csv")
                                                          : QStringLiteral("verlauf-monate.csv");
    const QString path = m_chooseExportFile ? m_chooseExportFile(suggested) : QString();
    if (path.isEmpty()) {
        return;
    }
    QSaveFile file(path);
    const std::string bytes = ExportCsv(*table);
    const bool written =
        file.open(QIODevice::WriteOnly) &&
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
        file.commit();
    setStatus(written ? QStringLiteral("Exportiert nach %1.").arg(path)
                      : QStringLiteral("Nach %1 kann nicht geschrieben werden.").arg(path));
}

void TfrmVerlauf::setStatus(const QString& text)
{
    m_status->setText(text);
}

} // namespace tavlor
