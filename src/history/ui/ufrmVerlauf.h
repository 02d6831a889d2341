#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QBarSet;
class QChartView;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTimer;

namespace tavlor {

class LocaleFormat;
class NumberFormat;
class UsageHistory;
class UsageWatch;
struct CalendarDay;
struct ReportTable;

// "Verlauf und Volumenwarner": the current billing period, the last 31 days with a bar chart,
// the last 24 months, and the Volumenwarner's settings. Shows texts built by the core; the
// shown table can be exported for a spreadsheet.
class TfrmVerlauf final : public QDialog
{
    Q_OBJECT

public:
    // chooseExportFile: asks where to export (empty = cancelled); settingsApplied: the tray
    // shows the new state.
    TfrmVerlauf(UsageWatch& watch, const NumberFormat& numbers, const LocaleFormat& locale,
                std::function<QString(const QString& suggested)> chooseExportFile,
                std::function<void()> settingsApplied, QWidget* parent = nullptr);
    TfrmVerlauf(const TfrmVerlauf&) = delete;
    TfrmVerlauf& operator=(const TfrmVerlauf&) = delete;
    ~TfrmVerlauf() override;

    // Reads the history anew (also every 30 s while shown).
    void refresh();
    void btnExportClick();
    void btnUebernehmenClick();

    QTabWidget* tabs() const { return m_tabs; }
    QBarSet* downloadBars() const { return m_downBars; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildPeriodTab();
    QWidget* buildDaysTab();
    QWidget* buildMonthsTab();
    QWidget* buildSettingsTab();
    void showPeriod();
    void showChart(const UsageHistory& history, const CalendarDay& today);
    void showSettings();
    void setStatus(const QString& text);
    const ReportTable* shownTable() const;

    UsageWatch& m_watch;
    const NumberFormat& m_numbers;
    const LocaleFormat& m_locale;
    std::function<QString(const QString&)> m_chooseExportFile;
    std::function<void()> m_settingsApplied;
    std::unique_ptr<ReportTable> m_days;
    std::unique_ptr<ReportTable> m_months;

    QTabWidget* m_tabs = nullptr;
    QFormLayout* m_periodForm = nullptr;
    QTableWidget* m_daysTable = nullptr;
    QTableWidget* m_monthsTable = nullptr;
    QChartView* m_chartView = nullptr;
    QBarSet* m_downBars = nullptr;
    QBarSet* m_upBars = nullptr;
    QSpinBox* m_limit = nullptr;
    QComboBox* m_unit = nullptr;
    QCheckBox* m_downloadOnly = nullptr;
    QSpinBox* m_hours = nullptr;
    QSpinBox* m_billingDay = nullptr;
    QSpinBox* m_warning1 = nullptr;
    QSpinBox* m_warning2 = nullptr;
    QPushButton* m_export = nullptr;
    QLabel* m_status = nullptr;
    QTimer* m_refresh = nullptr;
};

} // namespace tavlor
