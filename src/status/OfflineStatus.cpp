#include "status/OfflineStatus.h"

#include "datafile/ProfileFile.h"
#include "datafile/UsageData.h"
#include "datafile/UsageValues.h"
#include "history/HistoryCsv.h"
#include "history/HistoryFile.h"
#include "text/ViewModel.h"

namespace tavlor {

namespace {

// The program keeps every readable field of a time and defaults the others ("120:30" is 120
// hours and 30 minutes); only a text with no readable field at all is no time.
bool HasReadableTimeField(std::string_view text)
{
    for (int field = 0; field < 3; ++field) {
        const std::size_t end = text.find(':');
        std::string_view part = text.substr(0, end);
        while (!part.empty() && (part.front() == ' ' || part.front() == '\t')) {
            part.remove_prefix(1);
        }
        while (!part.empty() && (part.back() == ' ' || part.back() == '\t')) {
            part.remove_suffix(1);
        }
        if (!part.empty() && (part.front() == '-' || part.front() == '+')) {
            part.remove_prefix(1);
        }
        if (!part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos) {
            return true;
        }
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return false;
}

constexpr const char* kMissing = "\x01";

// The program reads a broken value as its default; a report that showed that default would
// pass a lost total off as a true one.
std::string damageIn(const ProfileFile& file, const LocaleFormat& locale)
{
    const auto raw = [&file](const char* key) { return file.readString("DATA", key, kMissing); };
    if (raw("TUp") == kMissing && raw("TDown") == kMissing && raw("oTA") == kMissing) {
        return "kein Abschnitt [data] mit TUp, TDown und oTA";
    }
    for (const char* key : {"TUp", "TDown"}) {
        const std::string value = raw(key);
        if (value != kMissing && !ParseFileNumber(Cp1252ToUtf8(value), locale)) {
            return std::string(key) + "=" + Cp1252ToUtf8(value) + " ist keine Zahl";
        }
    }
    for (const char* key : {"oTA", "oTD"}) {
        const std::string value = raw(key);
        if (value != kMissing && !HasReadableTimeField(value)) {
            return std::string(key) + "=" + Cp1252ToUtf8(value) +
                   " ist keine Zeit (Stunden:Minuten:Sekunden)";
        }
    }
    return {};
}

struct HistoryRead
{
    UsageHistory history;
    std::string error;
};

HistoryRead readHistory(FileStore& files, const std::string& dataPath)
{
    const std::string path = HistoryPathBeside(dataPath);
    switch (files.entryAt(path)) {
    case FileStore::Entry::Missing:
        return {}; // nothing counted since the history began: no days
    case FileStore::Entry::Refused:
        return {{}, path + " ist keine Datei."};
    case FileStore::Entry::File:
        break;
    }
    const std::optional<std::string> bytes = files.readFile(path);
    if (!bytes) {
        return {{}, path + " kann nicht gelesen werden."};
    }
    HistoryParse parse = ParseHistoryCsv(*bytes);
    if (!parse.damaged.empty()) {
        return {{},
                path +
                    " ist besch\xC3\xA4"
                    "digt: " +
                    (parse.damaged.size() == 1
                         ? std::string("1 Zeile ist nicht lesbar: ")
                         : std::to_string(parse.damaged.size()) + " Zeilen sind nicht lesbar, die erste: ") +
                    parse.damaged.front()};
    }
    return {std::move(parse.history), {}};
}

} // namespace

std::string FindDataFile(FileStore& files, const std::string& programFolder,
                         const std::string& userDataFolder, DataPlacement placement)
{
    ReadOnlyFileStore readOnly(files);
    const std::string path = LocateDataFile(readOnly, programFolder, userDataFolder, placement).path;
    if (readOnly.entryAt(path) == FileStore::Entry::Missing && !programFolder.empty()) {
        std::string beside = programFolder;
        if (beside.back() != '/' && beside.back() != '\\') {
            beside += '/';
        }
        beside += "data/data.ini";
        if (readOnly.entryAt(beside) == FileStore::Entry::File) {
            return beside;
        }
    }
    return path;
}

OfflineStatus ReadOfflineStatus(FileStore& files, const std::string& dataPath, const LocaleFormat& locale,
                                const Clock& clock)
{
    ReadOnlyFileStore readOnly(files);
    switch (readOnly.entryAt(dataPath)) {
    case FileStore::Entry::Missing:
        return {std::nullopt,
                "Keine Datendatei: " + dataPath + " fehlt (Tavlor hat hier noch nicht gez\xC3\xA4hlt)."};
    case FileStore::Entry::Refused:
        return {std::nullopt, dataPath + " ist keine Datei."};
    case FileStore::Entry::File:
        break;
    }
    const std::optional<std::string> bytes = readOnly.readFile(dataPath);
    if (!bytes) {
        return {std::nullopt, dataPath + " kann nicht gelesen werden."};
    }
    const ProfileFile profile(*bytes);
    if (const std::string damage = damageIn(profile, locale); !damage.empty()) {
        return {std::nullopt, dataPath +
                                  " ist besch\xC3\xA4"
                                  "digt: " +
                                  damage + "."};
    }
    HistoryRead history = readHistory(readOnly, dataPath);
    if (!history.error.empty()) {
        return {std::nullopt, history.error};
    }

    UsageState state;
    UsageDataFile(dataPath, readOnly, locale, clock).LoadUsageData(state);
    WarnerSettings settings;
    WarnerRecord record;
    ReadWarner(profile, settings, record);

    StatusSnapshot s;
    s.total = {WholeAmount(state.totalDownBytes), WholeAmount(state.totalUpBytes),
               StatusSeconds(state.totalHours, state.totalMinutes, state.totalSeconds)};
    s.todaySeconds = StatusSeconds(state.todayHours, state.todayMinutes, state.todaySeconds);
    s.period = PeriodStatus(settings, history.history, CalendarDay::of(clock.nowLocal()));
    return {s, {}};
}

} // namespace tavlor
