// Opening "Verlauf und Volumenwarner" with three years of history: reading the history file,
// building the window with its tables and chart, and painting it once (offscreen).
#include "history/HistoryCsv.h"
#include "history/UsageWatch.h"
#include "history/ui/ufrmVerlauf.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <map>

namespace {

using namespace tavlor;

class StillClock final : public Clock
{
public:
    CivilDateTime nowLocal() const override { return {2026, 12, 8, 17, 0, 0, 0}; }
    std::int64_t monotonicMs() const override { return 0; }
};

class GermanDates final : public LocaleFormat
{
public:
    std::string decimalSeparator() const override { return ","; }
    std::string formatShortDate(const CivilDateTime& d) const override
    {
        return QDate(d.year, d.month, d.day).toString(QStringLiteral("dd.MM.yyyy")).toStdString();
    }
    std::optional<CivilDateTime> parseShortDate(std::string_view) const override { return std::nullopt; }
    std::string formatDateTime(const CivilDateTime& d) const override { return formatShortDate(d); }
    std::string formatLongTime(const CivilDateTime&) const override { return {}; }
};

class MemoryFiles final : public FileStore
{
public:
    std::map<std::string, std::string> files;
    bool fileExists(const std::string& p) override { return files.count(p) != 0; }
    Entry entryAt(const std::string& p) override { return fileExists(p) ? Entry::File : Entry::Missing; }
    std::optional<std::int64_t> modifiedAt(const std::string&) override { return std::nullopt; }
    std::optional<CivilDateTime> modifiedLocal(const std::string&) override { return std::nullopt; }
    void removeStaleTemporaries(const std::string&) override {}
    bool directoryExists(const std::string&) override { return true; }
    bool createDirectory(const std::string&) override { return true; }
    bool isDirectoryWritable(const std::string&) override { return true; }
    std::optional<std::string> readFile(const std::string& p) override
    {
        auto it = files.find(p);
        return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    bool writeFile(const std::string& p, const std::string& b) override { return (files[p] = b), true; }
    bool replaceFile(const std::string& p, const std::string& b) override { return (files[p] = b), true; }
};

std::string threeYearsOfHistory()
{
    UsageHistory h;
    const long long today = DaySerial({2026, 12, 8});
    for (long long s = today - 3 * 365; s <= today; ++s) {
        const auto n = static_cast<std::uint64_t>(s - today + 3 * 365);
        h.add(DayFromSerial(s), Usage{3600 + n * 7, 1500000000 + n * 1234567, 200000000 + n * 7654});
    }
    return FormatHistoryCsv(h);
}

void BM_OpenVerlauf_ThreeYears(benchmark::State& state)
{
    MemoryFiles files;
    files.files["/d/data.ini"] = "[data]\r\n[Volumenwarner]\r\nLimitMB=50000\r\nStichtag=15\r\n";
    files.files["/d/verlauf.csv"] = threeYearsOfHistory();
    StillClock clock;
    GermanDates locale;
    const NumberFormat numbers(",");
    for (auto _ : state) {
        UsageWatch watch("/d/data.ini", files, clock, locale);
        watch.load();
        TfrmVerlauf window(watch, numbers, locale, {}, {});
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.grab());
    }
    state.counters["history_bytes"] = static_cast<double>(files.files["/d/verlauf.csv"].size());
}
BENCHMARK(BM_OpenVerlauf_ThreeYears)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
