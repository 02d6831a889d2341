#include "history/ui/ufrmVerlauf.h"
#include "text/WidgetNames.h"

#include "FakeClock.h"
#include "FakeFileStore.h"
#include "GermanLocale.h"
#include "datafile/ProfileFile.h"
#include "history/HistoryCsv.h"
#include "history/UsageWatch.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>

namespace tavlor {

class TfrmVerlaufTest : public QObject
{
    Q_OBJECT

private:
    test::FakeFileStore m_files;
    test::FakeClock m_clock{{2026, 12, 8, 17, 5, 9, 0}};
    test::GermanLocale m_locale;
    NumberFormat m_numbers{","};
    const std::string m_data = "/t/data/data.ini";

    // Three years of rows, a little more traffic each day and a weekly rhythm.
    std::string threeYears() const
    {
        UsageHistory h;
        const long long today = DaySerial({2026, 12, 8});
        for (long long s = today - 3 * 365; s <= today; ++s) {
            const auto n = static_cast<std::uint64_t>(s - today + 3 * 365);
            h.add(DayFromSerial(s),
                  Usage{3600 + n, 150000000 + n * 100000 + (n % 7) * 40000000, 20000000 + n * 1000});
        }
        return FormatHistoryCsv(h);
    }

    template <typename T> static T* child(QWidget& w, const char* name)
    {
        auto* found = w.findChild<T*>(QLatin1String(name));
        if (found == nullptr) {
            qWarning("missing %s", name);
        }
        return found;
    }

private slots:
    void init()
    {
        m_files = test::FakeFileStore{};
        m_files.folders = {"/t", "/t/data"};
        m_files.files[m_data] = "[data]\r\nTUp=0\r\n[Volumenwarner]\r\nLimitMB=5000\r\nStichtag=15\r\n";
        m_files.files["/t/data/verlauf.csv"] = threeYears();
    }

    void showsPeriodDaysAndMonthsOfThreeYears()
    {
        UsageWatch watch(m_data, m_files, m_clock, m_locale);
        QCOMPARE(watch.load().damagedRows, std::size_t{0});
        TfrmVerlauf window(watch, m_numbers, m_locale, {}, {});
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Verlauf und Volumenwarner"));
        QTabWidget* tabs = window.tabs();
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Abrechnungszeitraum"));
        QCOMPARE(tabs->tabText(3), QStringLiteral("Volumenwarner"));

        auto* days = child<QTableWidget>(window, "tblTage");
        QCOMPARE(days->rowCount(), 31);
        QCOMPARE(days->item(0, 0)->text(), QStringLiteral("08.12.2026")); // newest first
        QCOMPARE(days->item(0, 2)->text(), QStringLiteral("379,5 MB"));
        QCOMPARE(days->item(30, 0)->text(), QStringLiteral("08.11.2026"));
        QCOMPARE(window.downloadBars()->count(), 31);
        QCOMPARE(window.downloadBars()->at(30), 379.5);
        auto* months = child<QTableWidget>(window, "tblMonate");
        QCOMPARE(months->rowCount(), 24);
        QCOMPARE(months->item(0, 0)->text(), QStringLiteral("Dezember 2026"));

        QStringList period;
        for (QLabel* label : tabs->widget(0)->findChildren<QLabel*>(QRegularExpression("^lZeitraum"))) {
            period << label->accessibleName() + "=" + label->text();
        }
        QVERIFY2(period.contains(QStringLiteral("Abrechnungszeitraum=15.11.2026 bis 14.12.2026")),
                 qPrintable(period.join('|')));
        QVERIFY(period.contains(QStringLiteral("Verbleibende Tage=7")));
        QVERIFY2(period.contains(QStringLiteral("Volumen verbraucht=9,5 von 5 GB (189 %)")),
                 qPrintable(period.join(QLatin1Char(0x7c))));
        QVERIFY(period.contains(QStringLiteral("Volumen \u00FCbrig=0 GB")));

        for (QWidget* w : window.findChildren<QWidget*>()) {
            const bool interactive = qobject_cast<QAbstractButton*>(w) ||
                                     qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w) ||
                                     qobject_cast<QTableWidget*>(w);
            if (interactive && !w->objectName().isEmpty()) {
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
            }
        }
        const QString shot = qEnvironmentVariable("TAVLOR_VERLAUF_SHOT");
        if (!shot.isEmpty()) {
            tabs->setCurrentIndex(1);
            QCoreApplication::processEvents(); // rows added to a shown window appear queued
            QVERIFY(window.grab().save(shot));
        }
    }

    // Round ticks a person reads at a glance, in MB below a gigabyte and in GB above it, and
    // bars that fill most of a day's room.
    void chartAxisHasRoundTicksInMegabytesOrGigabytes()
    {
        struct Case
        {
            std::uint64_t dailyDown;
            const char* unit;
            double maximum;
            double step;
        };
        for (const Case& c : {Case{137000000, "MB", 140, 20}, Case{549000000, "MB", 600, 100},
                              Case{4200000000ULL, "GB", 5, 1}}) {
            UsageHistory h;
            const long long today = DaySerial({2026, 12, 8});
            for (long long s = today - 40; s <= today; ++s) {
                h.add(DayFromSerial(s), Usage{3600, s == today - 3 ? c.dailyDown : c.dailyDown / 2, 1000000});
            }
            m_files.files["/t/data/verlauf.csv"] = FormatHistoryCsv(h);
            UsageWatch watch(m_data, m_files, m_clock, m_locale);
            watch.load();
            TfrmVerlauf window(watch, m_numbers, m_locale, {}, {});
            window.show();
            auto* view = window.findChild<QChartView*>();
            QVERIFY(view != nullptr);
            const QList<QAbstractAxis*> vertical = view->chart()->axes(Qt::Vertical);
            QCOMPARE(vertical.size(), 1);
            auto* axis = qobject_cast<QValueAxis*>(vertical.front());
            QVERIFY(axis != nullptr);
            QCOMPARE(axis->min(), 0.0);
            QCOMPARE(axis->max(), c.maximum);
            // Evenly spread ticks from 0 to the top fall on the round steps.
            QCOMPARE(axis->tickType(), QValueAxis::TicksFixed);
            QVERIFY(!axis->truncateLabels()); // cut to "..." at 96 dpi otherwise
            QCOMPARE(axis->tickCount(), static_cast<int>(std::lround(c.maximum / c.step)) + 1);
            QCOMPARE(window.downloadBars()->label(), QStringLiteral("Download (%1)").arg(c.unit));
            const double perUnit = std::string(c.unit) == "GB" ? 1e9 : 1e6;
            QCOMPARE(window.downloadBars()->at(27), static_cast<double>(c.dailyDown) / perUnit);
            QVERIFY(view->chart()->title().contains(QStringLiteral(" in %1,").arg(c.unit)));
            auto* series = qobject_cast<QBarSeries*>(view->chart()->series().front());
            QVERIFY(series != nullptr && series->barWidth() >= 0.8);
        }
    }

    void exportsTheShownTableForASpreadsheet()
    {
        UsageWatch watch(m_data, m_files, m_clock, m_locale);
        watch.load();
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("tage.csv"));
        QString suggested;
        TfrmVerlauf window(watch, m_numbers, m_locale,
                           [&](const QString& s) {
                               suggested = s;
                               return target;
                           },
                           {});
        window.show();
        auto* exportButton = child<QPushButton>(window, names::btnExport);
        QVERIFY(!exportButton->isEnabled()); // the period tab has no table
        window.tabs()->setCurrentIndex(1);
        QVERIFY(exportButton->isEnabled());
        exportButton->click();
        QCOMPARE(suggested, QStringLiteral("verlauf-tage.csv"));
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 33); // header, 31 days, the end of the last line
        QCOMPARE(lines[0], QByteArray("\xEF\xBB\xBF"
                                      "Datum;Onlinezeit (s);Download (Bytes);Upload (Bytes);Gesamt (Bytes)"));
        QCOMPARE(lines[31], QByteArray("2026-12-08;4695;379500000;21095000;400595000"));
        QVERIFY(child<QLabel>(window, names::lStatus)->text().startsWith(QStringLiteral("Exportiert nach")));

        window.tabs()->setCurrentIndex(2);
        QTemporaryDir gone;
        const QString unwritable = gone.filePath(QStringLiteral("nicht/da/monate.csv"));
        TfrmVerlauf second(watch, m_numbers, m_locale, [&](const QString&) { return unwritable; }, {});
        second.show();
        second.tabs()->setCurrentIndex(2);
        second.btnExportClick();
        QVERIFY(child<QLabel>(second, names::lStatus)->text().startsWith(QStringLiteral("Nach ")));
    }

    void settingsGoToTheDataFileAndTheTray()
    {
        UsageWatch watch(m_data, m_files, m_clock, m_locale);
        watch.load();
        int applied = 0;
        TfrmVerlauf window(watch, m_numbers, m_locale, {}, [&] { ++applied; });
        window.show();
        QCOMPARE(child<QSpinBox>(window, "seLimit")->value(), 5);
        QCOMPARE(child<QComboBox>(window, names::cbEinheit)->currentText(), QStringLiteral("GB"));
        child<QSpinBox>(window, "seLimit")->setValue(800);
        child<QComboBox>(window, names::cbEinheit)->setCurrentIndex(0);
        child<QSpinBox>(window, "seStunden")->setValue(40);
        child<QSpinBox>(window, "seStichtag")->setValue(3);
        child<QCheckBox>(window, names::cbNurDownload)->setChecked(true);
        window.refresh(); // the timed refresh leaves what the user is typing alone
        QCOMPARE(child<QSpinBox>(window, "seLimit")->value(), 800);
        child<QPushButton>(window, names::btnUebernehmen)->click();
        QCOMPARE(applied, 1);
        const ProfileFile file(m_files.files[m_data]);
        QCOMPARE(file.readString(kWarnerSection, "LimitMB", ""), std::string("800"));
        QCOMPARE(file.readString(kWarnerSection, "LimitStunden", ""), std::string("40"));
        QCOMPARE(file.readString(kWarnerSection, "Stichtag", ""), std::string("3"));
        QCOMPARE(file.readString(kWarnerSection, "NurDownload", ""), std::string("1"));
        QCOMPARE(file.readString("DATA", "TUp", ""), std::string("0"));
        QCOMPARE(watch.warner().settings().limitMB, std::int64_t{800});
    }
};

} // namespace tavlor

QTEST_MAIN(tavlor::TfrmVerlaufTest)
#include "ufrmVerlauf_test.moc"
