#include "UsageDataFuzz.h"

#include "FakeClock.h"
#include "FakeFileStore.h"
#include "GermanLocale.h"
#include "datafile/ProfileFile.h"
#include "datafile/UsageData.h"
#include "text/KvString.h"

#include <string_view>

namespace tavlor::fuzz {

namespace {

constexpr const char* kPath = "/p/data/data.ini";
constexpr const char* kKeys[] = {"oTA",   "oTD", "SD",   "TYP",  "RD",      "TUp", "TDown",
                                 "onLAN", "BIn", "BOut", "MINI", "BEENDEN", "X",   "Y"};
// Values that stress the writer: blanks at the ends, quotes, "=" and brackets, a line break.
constexpr std::string_view kValues[] = {"", " a ", "\"q\"", "'x'", "k=v", "[DATA]", "a\r\nb", "\"", "  "};

// What the reader must give back after writing `value`: the writer stops at a line break or
// NUL, and values are capped.
std::string expectedReadBack(std::string_view value)
{
    value = value.substr(0, value.find_first_of(std::string_view("\n\0", 2)));
    return std::string(value.substr(0, ProfileFile::kMaxValueLength));
}

// Between the old and the new bytes, what was taken out must lie within one line: every
// other line stays as it was.
bool touchesOneLineOnly(std::string_view before, std::string_view after)
{
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    return before.substr(prefix, before.size() - prefix - suffix).find('\n') == std::string_view::npos;
}

std::string checkProfile(const std::string& bytes, std::string_view value)
{
    ProfileFile file(bytes);
    const std::string decoded = file.bytes(); // what the write works on
    for (const char* key : kKeys) {
        if (file.readString("DATA", key, "").size() > ProfileFile::kMaxValueLength) {
            return std::string("value over the limit for ") + key;
        }
    }
    const std::string before = file.readString("DATA", "oTA", "-");
    file.writeString("DATA", "TUp", value);
    if (file.readString("data", "tup", "-") != expectedReadBack(value)) {
        return "written value does not read back";
    }
    if (file.readString("DATA", "oTA", "-") != before) {
        return "writing TUp changed oTA";
    }
    if (!touchesOneLineOnly(decoded, file.bytes())) {
        return "the write changed more than the key's line";
    }
    return {};
}

struct Loaded
{
    std::string bytes;
    UsageState state;
};

// Loads the file, saves it and returns the saved bytes with what was loaded.
Loaded loadAndSave(const std::string& bytes, const LocaleFormat& locale, const Clock& clock)
{
    test::FakeFileStore files;
    files.folders = {"/p", "/p/data"};
    files.files[kPath] = bytes;
    UsageDataFile data(kPath, files, locale, clock);
    Loaded out;
    data.LoadUsageData(out.state);
    data.SaveUsageData(out.state, out.state.windowLeft, out.state.windowTop);
    out.bytes = files.files[kPath];
    return out;
}

std::string checkLoadSave(const std::string& bytes, const LocaleFormat& locale)
{
    const test::FakeClock clock;
    const Loaded first = loadAndSave(bytes, locale, clock);
    const Loaded second = loadAndSave(first.bytes, locale, clock);
    if (second.bytes != first.bytes) {
        return "a saved file does not load and save to the same bytes";
    }
    const NumberFormat numbers = NumberFormat::fromLocale(locale);
    const UsageState& a = first.state;
    const UsageState& b = second.state;
    if (numbers.format(a.totalUpBytes) != numbers.format(b.totalUpBytes) ||
        numbers.format(a.totalDownBytes) != numbers.format(b.totalDownBytes)) {
        return "the totals changed between two loads";
    }
    if (FormatDuration(a, "a", false) != FormatDuration(b, "a", false) ||
        FormatDuration(a, "d", false) != FormatDuration(b, "d", false)) {
        return "the online times changed between two loads";
    }
    if (static_cast<const Settings&>(a) != static_cast<const Settings&>(b)) {
        return "a setting changed between two loads";
    }
    if (a.totalBytes != a.totalUpBytes + a.totalDownBytes) {
        return "totalBytes is not the sum of the totals";
    }
    return {};
}

} // namespace

std::string RunUsageDataInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return {};
    }
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string_view value = kValues[(data[0] >> 1) % std::size(kValues)];
    std::string failure = checkProfile(bytes, value);
    if (!failure.empty()) {
        return failure;
    }
    const test::GermanLocale german;
    const test::EnglishLocale english;
    return checkLoadSave(bytes, (data[0] & 1) != 0 ? static_cast<const LocaleFormat&>(english) : german);
}

} // namespace tavlor::fuzz
