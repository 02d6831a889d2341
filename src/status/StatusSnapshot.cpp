#include "status/StatusSnapshot.h"

#include "history/HistoryCsv.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tavlor {

namespace {

// Printed by hand: the C library's number forms follow the locale, JSON's never do.
std::string fixed(double value, int decimals)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 0xf];
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string figures(const StatusFigures& f)
{
    return "{\"down\":" + std::to_string(f.down) + ",\"up\":" + std::to_string(f.up) +
           ",\"seconds\":" + std::to_string(f.seconds) + "}";
}

template <typename T> std::string orNull(const std::optional<T>& value, std::string (*print)(T))
{
    return value ? print(*value) : std::string("null");
}

std::string integer(std::uint64_t value)
{
    return std::to_string(value);
}

std::string percentText(double value)
{
    return fixed(value, 1);
}

const char* levelName(WarnLevel level)
{
    switch (level) {
    case WarnLevel::Warning:
        return "warning";
    case WarnLevel::Over:
        return "over";
    case WarnLevel::Normal:
        break;
    }
    return "normal";
}

std::string clockText(std::uint64_t seconds)
{
    const std::string minutes = std::to_string(seconds / 60 % 60);
    const std::string secs = std::to_string(seconds % 60);
    return std::to_string(seconds / 3600) + ":" + (minutes.size() < 2 ? "0" : "") + minutes + ":" +
           (secs.size() < 2 ? "0" : "") + secs;
}

std::string germanDate(const CalendarDay& day)
{
    const auto two = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    return two(day.day) + "." + two(day.month) + "." + std::to_string(day.year);
}

std::string speedText(const NumberFormat& numbers, double bps)
{
    return numbers.format(TruncateDecimals(numbers, 2, std::max(bps, 0.0) / 1024.0)) + " kb/s";
}

std::string volumeText(const NumberFormat& numbers, const StatusFigures& f)
{
    return FormatByteSize(numbers, static_cast<double>(f.down)) + " herunter, " +
           FormatByteSize(numbers, static_cast<double>(f.up)) + " hoch";
}

std::string limitText(const NumberFormat& numbers, const StatusPeriod& p)
{
    std::string text;
    if (p.limitBytes) {
        const double used =
            static_cast<double>(p.used.down) + (p.downloadOnly ? 0.0 : static_cast<double>(p.used.up));
        text += ", Volumen " +
                LimitShare(numbers, {WarnerEvent::Kind::Volume, used, static_cast<double>(*p.limitBytes)});
    }
    if (p.limitSeconds) {
        text += ", Onlinezeit " +
                LimitShare(numbers, {WarnerEvent::Kind::Time, static_cast<double>(p.used.seconds),
                                     static_cast<double>(*p.limitSeconds)});
    }
    return text.empty() ? ", kein Limit" : text;
}

} // namespace

std::uint64_t WholeAmount(double value)
{
    return value > 0 && std::isfinite(value) ? static_cast<std::uint64_t>(std::llround(value)) : 0;
}

std::uint64_t StatusSeconds(std::int32_t hours, std::int32_t minutes, std::int32_t seconds)
{
    const long long total = 3600LL * hours + 60LL * minutes + seconds;
    return total > 0 ? static_cast<std::uint64_t>(total) : 0;
}

StatusPeriod PeriodStatus(const WarnerSettings& settings, const UsageHistory& history,
                          const CalendarDay& today)
{
    VolumeWarner warner;
    warner.configure(settings, WarnerRecord{});
    const BillingPeriod period = warner.period(today);
    const Usage used = history.between(period.first, period.last);
    StatusPeriod p;
    p.first = period.first;
    p.last = period.last;
    p.used = {used.downBytes, used.upBytes, used.onlineSeconds};
    p.downloadOnly = settings.downloadOnly;
    for (const LimitUse& use : warner.uses(history, today)) {
        const std::uint64_t limit = WholeAmount(use.limit);
        (use.kind == WarnerEvent::Kind::Volume ? p.limitBytes : p.limitSeconds) = limit;
        const double share = use.used / use.limit * 100.0;
        p.percent = std::max(p.percent.value_or(0.0), share);
    }
    p.level = warner.level(history, today);
    return p;
}

std::string StatusJson(const StatusSnapshot& s)
{
    const StatusPeriod& p = s.period;
    std::string json = "{\"running\":" + std::string(s.running ? "true" : "false");
    json += ",\"online\":" + std::string(s.online ? "true" : "false");
    json += ",\"link\":" + quoted(s.link);
    json += ",\"connection\":" + quoted(s.connection);
    json += ",\"download_bps\":" + integer(WholeAmount(s.downloadBps));
    json += ",\"upload_bps\":" + integer(WholeAmount(s.uploadBps));
    json += ",\"session\":" + figures(s.session);
    json += ",\"today\":{\"seconds\":" + integer(s.todaySeconds) + "}";
    json += ",\"total\":" + figures(s.total);
    json += ",\"period\":{\"start\":" + quoted(IsoDate(p.first)) + ",\"end\":" + quoted(IsoDate(p.last));
    json += ",\"down\":" + integer(p.used.down) + ",\"up\":" + integer(p.used.up) +
            ",\"seconds\":" + integer(p.used.seconds);
    json += ",\"limit_bytes\":" + orNull(p.limitBytes, integer);
    json += ",\"limit_seconds\":" + orNull(p.limitSeconds, integer);
    json += ",\"download_only\":" + std::string(p.downloadOnly ? "true" : "false");
    json += ",\"percent\":" + orNull(p.percent, percentText);
    json += ",\"level\":" + quoted(levelName(p.level)) + "}}";
    return json;
}

std::string StatusSummary(const StatusSnapshot& s, const NumberFormat& numbers)
{
    std::string text;
    if (!s.running) {
        text += "Tavlor l\xC3\xA4uft nicht; Stand der letzten Speicherung.\n";
    } else if (!s.online) {
        text += "Tavlor l\xC3\xA4uft: offline\n";
    } else {
        text += "Tavlor l\xC3\xA4uft: online" +
                (s.link.empty() ? std::string()
                                : " \xC3\xBC"
                                  "ber " +
                                      s.link) +
                (s.connection.empty() ? std::string() : " (" + s.connection + ")") + "\n";
    }
    if (s.running) {
        text += "Geschwindigkeit: " + speedText(numbers, s.downloadBps) + " herunter, " +
                speedText(numbers, s.uploadBps) + " hoch\n";
        text += "Sitzung: " + volumeText(numbers, s.session) + ", " + clockText(s.session.seconds) + "\n";
    }
    text += "Heute: " + clockText(s.todaySeconds) + "\n";
    text += "Gesamt: " + volumeText(numbers, s.total) + ", " + clockText(s.total.seconds) + "\n";
    text += "Zeitraum " + germanDate(s.period.first) + " bis " + germanDate(s.period.last) + ": " +
            volumeText(numbers, s.period.used) + ", " + clockText(s.period.used.seconds) +
            limitText(numbers, s.period) + "\n";
    return text;
}

int AlertExitCode(const StatusSnapshot& status)
{
    return status.period.level == WarnLevel::Normal ? 0 : 2;
}

} // namespace tavlor
