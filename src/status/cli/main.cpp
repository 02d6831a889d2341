// tavlor-status: the figures of the running Tavlor (over the session bus), or, while it does not
// run, those its data folder holds. Reads only; never writes a file.
#include "platform/Platform.h"
#include "status/OfflineStatus.h"
#include "status/cli/LiveStatus.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <cstdio>
#include <string>

namespace {

constexpr int kError = 1;
constexpr int kBusTimeoutMs = 3000;

const char* const kUsage =
    "Aufruf: tavlor-status [--json | --alert | --help]\n"
    "\n"
    "Zeigt die Z\xC3\xA4hler von Tavlor: die laufenden, wenn Tavlor l\xC3\xA4uft, sonst den Stand\n"
    "von data.ini und verlauf.csv.\n"
    "\n"
    "  (ohne Option)  eine kurze Zusammenfassung\n"
    "  --json         ein JSON-Objekt in einer Zeile\n"
    "  --alert        Exit-Status 2, wenn eine Schwelle des Volumenwarners im laufenden\n"
    "                 Zeitraum erreicht ist, sonst 0\n"
    "  --help         diese Hilfe\n"
    "\n"
    "Exit-Status: 0 gut, 1 Fehler, 2 Schwelle erreicht (nur mit --alert).\n";

enum class Mode
{
    Summary,
    Json,
    Alert,
    Help
};

void fail(const std::string& text)
{
    std::fprintf(stderr, "tavlor-status: %s\n", text.c_str());
}

// Found exactly as the program finds it: tavlor-status is installed beside tavlor.
std::string dataFilePath(tavlor::FileStore& files)
{
    const std::string programFolder =
        QDir(QCoreApplication::applicationDirPath()).absolutePath().toStdString() + "/";
    const std::string userDataFolder =
        (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Tavlor"))
            .toStdString();
    const tavlor::DataPlacement placement = tavlor::platform::isInstalledProgramFolder(programFolder)
                                                ? tavlor::DataPlacement::UserFolder
                                                : tavlor::DataPlacement::BesideProgramWhenWritable;
    return tavlor::FindDataFile(files, programFolder, userDataFolder, placement);
}

std::optional<tavlor::StatusSnapshot> currentStatus()
{
    const tavlor::LiveStatus live = tavlor::AskRunningProgram(kBusTimeoutMs);
    if (live.outcome == tavlor::LiveStatus::Outcome::Answered) {
        return live.status;
    }
    if (live.outcome == tavlor::LiveStatus::Outcome::Failed) {
        fail(live.error);
        return std::nullopt;
    }
    const auto files = tavlor::platform::makeFileStore();
    const auto locale = tavlor::platform::makeLocaleFormat();
    const auto clock = tavlor::platform::makeClock();
    tavlor::OfflineStatus offline = tavlor::ReadOfflineStatus(*files, dataFilePath(*files), *locale, *clock);
    if (!offline.status) {
        fail(offline.error);
    }
    return offline.status;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    Mode mode = Mode::Summary;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() > 1) {
        fail("nur eine Option auf einmal.");
        std::fputs(kUsage, stderr);
        return kError;
    }
    if (!arguments.isEmpty()) {
        const QString& option = arguments.constFirst();
        if (option == QLatin1String("--json")) {
            mode = Mode::Json;
        } else if (option == QLatin1String("--alert")) {
            mode = Mode::Alert;
        } else if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            mode = Mode::Help;
        } else {
            fail("unbekannte Option " + option.toStdString());
            std::fputs(kUsage, stderr);
            return kError;
        }
    }
    if (mode == Mode::Help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::optional<tavlor::StatusSnapshot> status = currentStatus();
    if (!status) {
        return kError;
    }
    switch (mode) {
    case Mode::Json:
        std::printf("%s\n", tavlor::StatusJson(*status).c_str());
        return 0;
    case Mode::Alert:
        return tavlor::AlertExitCode(*status);
    case Mode::Summary:
    case Mode::Help:
        break;
    }
    const auto locale = tavlor::platform::makeLocaleFormat();
    std::fputs(tavlor::StatusSummary(*status, tavlor::NumberFormat::fromLocale(*locale)).c_str(), stdout);
    return 0;
}
