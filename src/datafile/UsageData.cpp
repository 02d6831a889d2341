#include "datafile/UsageData.h"

#include "datafile/FileText.h"
#include "datafile/ProfileFile.h"
#include "datafile/UsageValues.h"
#include "text/DayCount.h"
#include "text/KvString.h"

#include <algorithm>

namespace tavlor {

namespace {

constexpr const char* kSection = "DATA";
// Metered counting has a section of its own: files of earlier versions keep their one section.
constexpr const char* kCountSection = "Zaehlen";
constexpr const char* kMeteredKey = "Getaktet";
// No value a file can hold: tells a missing key from any text.
constexpr const char* kAbsent = "\x01";

// Reads the keys of the one section; texts come back as UTF-8.
class DataReader
{
public:
    explicit DataReader(std::string bytes) : m_file(std::move(bytes)) {}

    std::string text(const char* key, const std::string& fallback) const
    {
        return Cp1252ToUtf8(m_file.readString(kSection, key, Utf8ToCp1252(fallback)));
    }
    std::int32_t integer(const char* key, std::int32_t fallback) const
    {
        return ParseFileInteger(m_file.readString(kSection, key, "")).value_or(fallback);
    }
    bool boolean(const char* key) const { return integer(key, 0) != 0; }
    // Only 1 switches it on: any other value is the default, off.
    bool strictFlag(const char* section, const char* key) const
    {
        return ParseFileInteger(m_file.readString(section, key, "")) == 1;
    }

private:
    ProfileFile m_file;
};

void presetForLoading(UsageState& state)
{
    state.downloadMethod = kDefaultDownloadMethod;
    state.uploadMethod = kDefaultUploadMethod;
    state.sessionUpBytes = 0;
    state.prevUpSample = 0;
    state.sessionDownBytes = 0;
    state.prevDownSample = 0;
    state.saveTickCount = 0;
    state.speedPhase = 2;
    state.sessionUpStart = kSessionNotStarted;
    state.sessionDownStart = kSessionNotStarted;
    state.upWrapOffset = 0;
    state.downWrapOffset = 0;
}

void setDurations(UsageState& state, const std::string& all, const std::string& today)
{
    const HoursMinutesSeconds a = ReadDurationFields(all);
    const HoursMinutesSeconds d = ReadDurationFields(today);
    state.totalHours = a.hours;
    state.totalMinutes = a.minutes;
    state.totalSeconds = a.seconds;
    state.todayHours = d.hours;
    state.todayMinutes = d.minutes;
    state.todaySeconds = d.seconds;
}

void setTotals(UsageState& state, double up, double down)
{
    state.baseUpBytes = up;
    state.baseDownBytes = down;
    state.totalBytes = up + down;
    state.totalUpBytes = up;
    state.totalDownBytes = down;
}

std::string defaultFileBytes(const LocaleFormat& locale, const CivilDateTime& now)
{
    const std::string today = FileDateText(locale, now);
    // "Y" before "X" is the file's own order; saves update the lines in place and keep it.
    const std::string lines[] = {"Diese Datei nicht \xC3\xA4ndern!!!  Tavlor-Timestamp: " +
                                     FileDateTimeText(locale, now),
                                 "",
                                 "[data]",
                                 "oTA=0:0:0",
                                 "oTD=0:0:0",
                                 "SD=" + today,
                                 "TYP=0",
                                 "RD=" + today,
                                 "Tup=0",
                                 "TDown=0",
                                 "onLAN=0",
                                 "BIn=0",
                                 "BOut=1",
                                 "MINI=0",
                                 "BEENDEN=0",
                                 "Y=0",
                                 "X=0"};
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return Utf8ToCp1252(text);
}

std::string folderOf(const std::string& path)
{
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void createDefaultFile(FileStore& files, const std::string& path, const LocaleFormat& locale,
                       const CivilDateTime& now)
{
    // Failures are dropped: the program then runs with zero counters and saves nothing
    // until a later start manages to create the file.
    const std::string folder = folderOf(path);
    if (!folder.empty() && !files.directoryExists(folder)) {
        files.createDirectory(folder);
    }
    files.writeFile(path, defaultFileBytes(locale, now));
}

// A row offset below 0 would select the row before the first adapter, loopback on Linux.
std::int32_t adapterMethod(const DataReader& file, const char* key, std::int32_t fallback)
{
    const std::int32_t method = file.integer(key, fallback);
    return method < 0 ? fallback : method;
}

TrayTime trayTime(std::int32_t item)
{
    return static_cast<TrayTime>(std::clamp(item, -1, 2));
}

void readSettings(const DataReader& file, const std::string& today, Settings& settings)
{
    settings.trayTime = trayTime(file.integer("TYP", 0));
    // Kept as the file holds it: read as a date under another locale it could name another day.
    settings.lastResetDate = file.text("RD", today);
    if (settings.lastResetDate.empty()) {
        settings.lastResetDate = today;
    }
    settings.onLAN = file.boolean("onLAN");
    settings.downloadMethod = adapterMethod(file, "BIn", kDefaultDownloadMethod);
    settings.uploadMethod = adapterMethod(file, "BOut", kDefaultUploadMethod);
    settings.minimiseOnClose = file.boolean("MINI");
    settings.confirmQuit = file.boolean("BEENDEN");
    settings.windowLeft = file.integer("X", 0);
    settings.windowTop = file.integer("Y", 0);
    settings.countMetered = file.strictFlag(kCountSection, kMeteredKey);
}

// `writtenOn`: the local date of the file's last change, which tells the day of an SD whose
// field order the text leaves open (12/9/2026 from an English session read under German).
void readValues(const DataReader& file, const LocaleFormat& locale, const CivilDateTime& now,
                const std::optional<CivilDateTime>& writtenOn, UsageState& state)
{
    const std::string today = FileDateText(locale, now);
    const std::string all = file.text("oTA", "0:0:0");
    const std::string day = file.text("oTD", "0:0:0");
    // A date that cannot be read belongs to the day the file was written, or else to today.
    const std::optional<CivilDateTime> saved = ParseFileDate(file.text("SD", today), locale, writtenOn);
    state.dayStamp = ToDayCount(DateOnly(saved.value_or(writtenOn.value_or(now))));
    readSettings(file, today, state);
    setTotals(state, ParseFileNumber(file.text("TUp", "0"), locale).value_or(0.0),
              ParseFileNumber(file.text("TDown", "0"), locale).value_or(0.0));
    setDurations(state, all, day);
    if (IsNewDay(state.dayStamp, now)) {
        state.dayStamp = ToDayCount(now);
        state.todayHours = state.todayMinutes = state.todaySeconds = 0;
    }
}

void startAfresh(const std::string& today, const CivilDateTime& now, UsageState& state)
{
    static_cast<Settings&>(state) = Settings{};
    state.lastResetDate = today;
    setDurations(state, "0:0:0", "0:0:0");
    state.dayStamp = ToDayCount(now);
    setTotals(state, 0.0, 0.0);
}

} // namespace

UsageDataFile::UsageDataFile(std::string path, FileStore& files, const LocaleFormat& locale,
                             const Clock& clock)
    : m_path(std::move(path)), m_files(files), m_locale(locale), m_clock(clock)
{
}

void UsageDataFile::LoadUsageData(UsageState& state)
{
    presetForLoading(state);
    const CivilDateTime now = m_clock.nowLocal();
    if (m_files.fileExists(m_path)) {
        // An unreadable file reads like an empty one: every key takes its default.
        readValues(DataReader(m_files.readFile(m_path).value_or(std::string())), m_locale, now,
                   m_files.modifiedLocal(m_path), state);
    } else {
        createDefaultFile(m_files, m_path, m_locale, now);
        startAfresh(FileDateText(m_locale, now), now, state);
    }
}

void UsageDataFile::SaveUsageData(const UsageState& state, int windowX, int windowY)
{
    if (!m_files.fileExists(m_path)) {
        return;
    }
    const std::string failure = "nach " + m_path + " kann nicht geschrieben werden";
    std::optional<std::string> current = m_files.readFile(m_path);
    if (!current) {
        throw SaveError(failure);
    }
    const NumberFormat numbers = FileNumberFormat(m_locale);
    ProfileFile file(std::move(*current));
    const auto write = [&file](const char* key, const std::string& utf8) {
        file.writeString(kSection, key, Utf8ToCp1252(utf8));
    };
    const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    write("oTA", FormatDuration(state, "a", false));
    write("oTD", FormatDuration(state, "d", false));
    // The day the today counters belong to, not the day of the save; a state never loaded
    // has no day yet and takes today's.
    write("SD",
          FileDateText(m_locale, state.dayStamp > 0 ? FromDayCount(state.dayStamp) : m_clock.nowLocal()));
    write("TYP", std::to_string(static_cast<std::int32_t>(state.trayTime)));
    write("RD", state.lastResetDate);
    write("TUp", numbers.format(state.totalUpBytes));
    write("TDown", numbers.format(state.totalDownBytes));
    write("onLAN", flag(state.onLAN));
    write("BIn", std::to_string(state.downloadMethod));
    write("BOut", std::to_string(state.uploadMethod));
    write("MINI", flag(state.minimiseOnClose));
    write("BEENDEN", flag(state.confirmQuit));
    write("X", std::to_string(windowX));
    write("Y", std::to_string(windowY));
    // A file that never held the key is left as it was while the setting is off.
    if (state.countMetered || file.readString(kCountSection, kMeteredKey, kAbsent) != kAbsent) {
        file.writeString(kCountSection, kMeteredKey, flag(state.countMetered));
    }
    if (!m_files.replaceFile(m_path, file.bytes())) {
        throw SaveError(failure);
    }
}

} // namespace tavlor
