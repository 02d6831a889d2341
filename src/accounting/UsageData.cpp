#include "accounting/UsageData.h"

#include "accounting/DayCount.h"
#include "accounting/FileText.h"
#include "accounting/KvString.h"
#include "accounting/ProfileFile.h"
#include "accounting/UsageValues.h"

#include <algorithm>

namespace tavlor {

namespace {

constexpr const char* kSection = "DATA";

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

private:
    ProfileFile m_file;
};

void presetForLoading(UsageState& state, ViewModel& view)
{
    state.downloadMethod = 0;
    state.uploadMethod = 1;
    state.sessionUpBytes = 0;
    state.prevUpSample = 0;
    state.sessionDownBytes = 0;
    state.prevDownSample = 0;
    state.saveTickCount = 0;
    view.setText("lOTS", "");
    view.setText("lotAll", "");
    view.setText("lOtDay", "");
    state.speedPhase = 2;
    state.sessionUpStart = kSessionNotStarted;
    state.sessionDownStart = kSessionNotStarted;
    state.upWrapOffset = 0;
    state.downWrapOffset = 0;
}

void setDurations(UsageState& state, const std::string& all, const std::string& today)
{
    const HoursMinutesSeconds a = ParseDurationFields(all).value_or(HoursMinutesSeconds{});
    const HoursMinutesSeconds d = ParseDurationFields(today).value_or(HoursMinutesSeconds{});
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

void readValues(const DataReader& file, const LocaleFormat& locale, const CivilDateTime& now,
                UsageState& state, ViewModel& view)
{
    const std::string today = locale.formatShortDate(now);
    const std::string all = file.text("oTA", "0:0:0");
    const std::string day = file.text("oTD", "0:0:0");
    // A date that cannot be read counts as today, like a missing one.
    state.dayStamp = ToDayCount(DateOnly(ParseFileDate(file.text("SD", today), locale).value_or(now)));
    view.setItemIndex("rGroup", std::clamp(file.integer("TYP", 0), -1, 2));
    state.lastResetDate = file.text("RD", today);
    setTotals(state, ParseFileNumber(file.text("TUp", "0"), locale).value_or(0.0),
              ParseFileNumber(file.text("TDown", "0"), locale).value_or(0.0));
    state.onLAN = file.boolean("onLAN");
    state.downloadMethod = file.integer("BIn", 0);
    state.uploadMethod = file.integer("BOut", 1);
    view.setChecked("cbMini", file.boolean("MINI"));
    view.setChecked("cbBeenden", file.boolean("BEENDEN"));
    state.windowLeft = file.integer("X", 0);
    state.windowTop = file.integer("Y", 0);
    if (state.lastResetDate.empty()) {
        state.lastResetDate = today;
    } else if (const auto reset = ParseFileDate(state.lastResetDate, locale)) {
        // Shown in the user's own form again, whichever form the file had to hold.
        state.lastResetDate = locale.formatShortDate(*reset);
    }
    setDurations(state, all, day);
    if (IsNewDay(state.dayStamp, now)) {
        state.dayStamp = ToDayCount(now);
        state.todayHours = state.todayMinutes = state.todaySeconds = 0;
    }
}

void startAfresh(const std::string& today, const CivilDateTime& now, UsageState& state, ViewModel& view)
{
    state.lastResetDate = today;
    view.setItemIndex("rGroup", 0);
    setDurations(state, "0:0:0", "0:0:0");
    state.dayStamp = ToDayCount(now);
    setTotals(state, 0.0, 0.0);
    state.onLAN = false;
    state.windowLeft = state.windowTop = 0;
    view.setChecked("cbMini", false);
    view.setChecked("cbBeenden", false);
}

// The reset date as the user sees it, in a form the file can hold.
std::string fileResetDate(const std::string& shown, const LocaleFormat& locale)
{
    if (FitsDataFile(shown)) {
        return shown;
    }
    const auto date = ParseFileDate(shown, locale);
    return date ? FileDateText(locale, *date) : shown;
}

void showLoaded(const UsageState& state, const LocaleFormat& locale, ViewModel& view)
{
    const NumberFormat numbers = NumberFormat::fromLocale(locale);
    view.setText("lIn", FormatByteSize(numbers, state.totalDownBytes));
    view.setText("lOut", FormatByteSize(numbers, state.totalUpBytes));
    view.setText("lOtDay", FormatDuration(state, "d", true));
    view.setText("lAll", FormatByteSize(numbers, state.totalBytes));
    view.setText("lotAll", FormatDuration(state, "a", true));
    view.setChecked("cbLan", state.onLAN);
    view.setText("lRd", state.lastResetDate);
}

} // namespace

UsageDataFile::UsageDataFile(std::string path, FileStore& files, const LocaleFormat& locale,
                             const Clock& clock)
    : m_path(std::move(path)), m_files(files), m_locale(locale), m_clock(clock)
{
}

void UsageDataFile::LoadUsageData(UsageState& state, ViewModel& view)
{
    presetForLoading(state, view);
    const CivilDateTime now = m_clock.nowLocal();
    if (m_files.fileExists(m_path)) {
        // An unreadable file reads like an empty one: every key takes its default.
        readValues(DataReader(m_files.readFile(m_path).value_or(std::string())), m_locale, now, state, view);
    } else {
        createDefaultFile(m_files, m_path, m_locale, now);
        startAfresh(m_locale.formatShortDate(now), now, state, view);
    }
    showLoaded(state, m_locale, view);
}

void UsageDataFile::SaveUsageData(const UsageState& state, const ViewModel& view, int windowX, int windowY)
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
    write("TYP", std::to_string(view.itemIndex("rGroup")));
    write("RD", fileResetDate(state.lastResetDate, m_locale));
    write("TUp", numbers.format(state.totalUpBytes));
    write("TDown", numbers.format(state.totalDownBytes));
    write("onLAN", flag(state.onLAN));
    write("BIn", std::to_string(state.downloadMethod));
    write("BOut", std::to_string(state.uploadMethod));
    write("MINI", flag(view.checked("cbMini")));
    write("BEENDEN", flag(view.checked("cbBeenden")));
    write("X", std::to_string(windowX));
    write("Y", std::to_string(windowY));
    if (!m_files.replaceFile(m_path, file.bytes())) {
        throw SaveError(failure);
    }
}

} // namespace tavlor
