#include "history/ui/ufrmVerlauf.h"
#include "text/WidgetNames.h"

#include "history/HistoryReport.h"
#include "history/UsageWatch.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

namespace tavlor {

namespace {
template <typename W> W* named(W* widget, const char* name, const QString& accessible)
{
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleName(accessible);
    return widget;
}

QTableWidget* makeTable(const char* name, const QString& accessible, QWidget* parent)
{
    auto* table = named(new QTableWidget(parent), name, accessible);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return table;
}

QSpinBox* makeSpin(const char* name, const QString& accessible, int low, int high, const QString& suffix)
{
    auto* spin = named(new QSpinBox, name, accessible);
    spin->setRange(low, high);
    spin->setSuffix(suffix);
    return spin;
}
} // namespace

TfrmVerlauf::TfrmVerlauf(UsageWatch& watch, const NumberFormat& numbers, const LocaleFormat& locale,
                         std::function<QString(const QString&)> chooseExportFile,
                         std::function<void()> settingsApplied, QWidget* parent)
    : QDialog(parent), m_watch(watch), m_numbers(numbers), m_locale(locale),
      m_chooseExportFile(std::move(chooseExportFile)), m_settingsApplied(std::move(settingsApplied)),
      m_days(std::make_unique<ReportTable>()), m_months(std::make_unique<ReportTable>())
{
    setObjectName(QLatin1String(names::frmVerlauf));
    setWindowTitle(QStringLiteral("Verlauf und Volumenwarner"));
    resize(660, 600);
    auto* layout = new QVBoxLayout(this);
    m_tabs = named(new QTabWidget(this), "pcVerlauf", QStringLiteral("Verlauf und Volumenwarner"));
    m_tabs->addTab(buildPeriodTab(), QStringLiteral("Abrechnungszeitraum"));
    m_tabs->addTab(buildDaysTab(), QStringLiteral("Tage"));
    m_tabs->addTab(buildMonthsTab(), QStringLiteral("Monate"));
    m_tabs->addTab(buildSettingsTab(), QStringLiteral("Volumenwarner"));
    layout->addWidget(m_tabs);
    m_status = named(new QLabel(this), names::lStatus, QStringLiteral("Meldung"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    auto* buttons = new QDialogButtonBox(this);
    m_export = named(new QPushButton(QStringLiteral("Tabelle exportieren\u2026")), names::btnExport,
                     QStringLiteral("Tabelle als CSV exportieren"));
    buttons->addButton(m_export, QDialogButtonBox::ActionRole);
    auto* close = named(new QPushButton(QStringLiteral("Schlie\u00DFen")), names::btnSchliessen,
                        QStringLiteral("Schlie\u00DFen"));
    buttons->addButton(close, QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(m_export, &QPushButton::clicked, this, &TfrmVerlauf::btnExportClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_tabs, &QTabWidget::currentChanged, this,
            [this] { m_export->setEnabled(shownTable() != nullptr); });
    m_export->setEnabled(false);
    // While open, the figures follow the counting; the settings tab is left to the user.
    m_refresh = new QTimer(this);
    m_refresh->setInterval(30000);
    connect(m_refresh, &QTimer::timeout, this, &TfrmVerlauf::refresh);
}

TfrmVerlauf::~TfrmVerlauf() = default;

QWidget* TfrmVerlauf::buildPeriodTab()
{
    auto* page = named(new QWidget, "tsZeitraum", QStringLiteral("Abrechnungszeitraum"));
    m_periodForm = new QFormLayout(page);
    return page;
}

QWidget* TfrmVerlauf::buildDaysTab()
{
    auto* page = named(new QWidget, "tsTage", QStringLiteral("Tage"));
    auto* layout = new QVBoxLayout(page);
    m_daysTable = makeTable("tblTage", QStringLiteral("Die letzten 31 Tage"), page);
    layout->addWidget(m_daysTable, 3);
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(2, 2, 2, 2));
    m_chartView = named(new QChartView(chart, page), "chTage",
                        QStringLiteral("Download und Upload der letzten 31 Tage in MB"));
    m_chartView->setMinimumHeight(180);
    layout->addWidget(m_chartView, 2);
    return page;
}

QWidget* TfrmVerlauf::buildMonthsTab()
{
    auto* page = named(new QWidget, "tsMonate", QStringLiteral("Monate"));
    auto* layout = new QVBoxLayout(page);
    m_monthsTable = makeTable("tblMonate", QStringLiteral("Die letzten 24 Monate"), page);
    layout->addWidget(m_monthsTable);
    return page;
}

QWidget* TfrmVerlauf::buildSettingsTab()
{
    auto* page = named(new QWidget, "tsVolumenwarner", QStringLiteral("Volumenwarner"));
    auto* form = new QFormLayout(page);
    m_limit = makeSpin("seLimit", QStringLiteral("Volumenlimit im Monat, 0 = aus"), 0, 2000000, QString());
    m_unit = named(new QComboBox, names::cbEinheit, QStringLiteral("Einheit des Volumenlimits"));
    m_unit->addItems({QStringLiteral("MB"), QStringLiteral("GB")});
    auto* limitRow = new QHBoxLayout;
    limitRow->addWidget(m_limit, 1);
    limitRow->addWidget(m_unit);
    form->addRow(QStringLiteral("Volumenlimit (0 = aus):"), limitRow);
    m_downloadOnly = named(new QCheckBox(QStringLiteral("Nur Download z\u00E4hlen")), names::cbNurDownload,
                           QStringLiteral("Nur Download z\u00E4hlen"));
    form->addRow(QString(), m_downloadOnly);
    // Bound to the program's settings by its owner, not applied with the Volumenwarner's values.
    const QString metered = QStringLiteral(
        "Getaktete Verbindungen z\u00E4hlen (Hotspot, Tethering, als getaktet markierte Netze)");
    form->addRow(QString(), named(new QCheckBox(metered), names::cbGetaktet, metered));
    m_hours = makeSpin("seStunden", QStringLiteral("Onlinezeit-Limit in Stunden, 0 = aus"), 0, 100000,
                       QStringLiteral(" Stunden"));
    form->addRow(QStringLiteral("Onlinezeit-Limit (0 = aus):"), m_hours);
    m_billingDay = makeSpin("seStichtag", QStringLiteral("Stichtag, erster Tag des Abrechnungszeitraums"),
                            kMinBillingDay, kMaxBillingDay, QStringLiteral("."));
    form->addRow(QStringLiteral("Stichtag im Monat:"), m_billingDay);
    m_warning1 =
        makeSpin("seWarnung1", QStringLiteral("Erste Warnung in Prozent"), 1, 1000, QStringLiteral(" %"));
    form->addRow(QStringLiteral("Erste Warnung bei:"), m_warning1);
    m_warning2 =
        makeSpin("seWarnung2", QStringLiteral("Zweite Warnung in Prozent"), 1, 1000, QStringLiteral(" %"));
    form->addRow(QStringLiteral("Zweite Warnung bei:"), m_warning2);
    auto* apply = named(new QPushButton(QStringLiteral("\u00DCbernehmen")), names::btnUebernehmen,
                        QStringLiteral("Einstellungen \u00FCbernehmen"));
    form->addRow(QString(), apply);
    form->addRow(
        new QLabel(QStringLiteral("1 MB = 1.000.000 Bytes, 1 GB = 1000 MB, wie bei den Anbietern.")));
    connect(apply, &QPushButton::clicked, this, &TfrmVerlauf::btnUebernehmenClick);
    return page;
}

void TfrmVerlauf::showEvent(QShowEvent* event)
{
    refresh();
    showSettings();
    m_refresh->start();
    QDialog::showEvent(event);
}

void TfrmVerlauf::hideEvent(QHideEvent* event)
{
    m_refresh->stop();
    QDialog::hideEvent(event);
}

} // namespace tavlor
