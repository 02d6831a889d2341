// The bandwidth monitor with 10 minutes, a day and a month of history (one sample every two
// seconds): the cost of one sample drawn, and the memory a month of history takes.
#include "model/TickReading.h"
#include "platform/Platform.h"
#include "platform/qt/QtLocaleFormat.h"
#include "text/KvString.h"
#include "views/ui/ufrmMonitor.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChartView>
#include <QLabel>
#include <QPixmap>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace tavlor;

QApplication& application()
{
    static int argc = 1;
    static char name[] = "tavlor-bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The offscreen platform says so at every showing; it would bury the figures.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            if (!text.contains(QLatin1String("propagateSizeHints"))) {
                std::fprintf(stderr, "%s\n", qPrintable(text));
            }
        });
        return new QApplication(argc, argv);
    }();
    return *app;
}

double residentMegabytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024;
        }
    }
    return 0;
}

// A monitor as the program holds it: the main window's speed labels and the user's locale
// (German here, whatever the machine's is).
struct OpenMonitor
{
    explicit OpenMonitor(std::int64_t history)
        : locale(QLocale(QLocale::German, QLocale::Germany)), clock(platform::makeClock()),
          monitor([this] { return reading; }, numbers, locale, *clock)
    {
        monitor.show();
        monitor.close(); // the history is filled while the window is closed, as it is reopened
        QCoreApplication::processEvents();
        for (std::int64_t i = 0; i < history; ++i) {
            monitor.model().takeSample(figure(i), figure(i + 7) / 8);
        }
        monitor.show();
        QCoreApplication::processEvents();
    }
    // Traffic with bursts, so that merged buckets have peaks to keep.
    static double figure(std::int64_t i)
    {
        return 40 + 30 * std::sin(static_cast<double>(i) / 9) + (i % 97 == 0 ? 400 : 0);
    }
    void sample(std::int64_t i)
    {
        reading.downSpeed = figure(i) * 1024;
        reading.upSpeed = figure(i + 7) / 8 * 1024;
        monitor.takeSample();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(monitor.chartView()->grab());
    }

    TickReading reading;
    const NumberFormat numbers{","};
    QtLocaleFormat locale;
    std::unique_ptr<Clock> clock;
    TfrmMonitor monitor;
};

// Runs first: what a month of history costs the resident program above never opening the graph.
void BM_Monitor_Memory(benchmark::State& bench)
{
    application();
    // The program has a window drawn before anyone opens the graph: fonts and style are loaded.
    QLabel window(QStringLiteral("Tavlor v2.9"));
    window.show();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(window.grab());
    const double before = residentMegabytes();
    double open = 0;
    double closed = 0;
    for (auto _ : bench) {
        OpenMonitor month(1296000);
        month.sample(1296000);
        open = residentMegabytes();
        month.monitor.close();
        QCoreApplication::processEvents();
        closed = residentMegabytes();
    }
    bench.counters["without_MB"] = before;
    bench.counters["month_open_MB_above"] = open - before;
    bench.counters["month_closed_MB_above"] = closed - before;
}
BENCHMARK(BM_Monitor_Memory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Monitor_Sample(benchmark::State& bench)
{
    application();
    const std::int64_t history = bench.range(0);
    OpenMonitor open(history);
    std::int64_t i = history;
    for (auto _ : bench) {
        open.sample(++i);
    }
    bench.counters["points"] = static_cast<double>(open.monitor.model().downloadPoints().size());
}
// Fixed iterations: every one adds a sample, and 10 minutes must stay about 10 minutes.
BENCHMARK(BM_Monitor_Sample)
    ->Iterations(60)
    ->Arg(300)
    ->Arg(43200)
    ->Arg(1296000)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

} // namespace
