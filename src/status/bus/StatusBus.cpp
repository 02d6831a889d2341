#include "status/bus/StatusBus.h"

#include "history/HistoryCsv.h"

namespace tavlor {

namespace {

QString iso(const CalendarDay& day)
{
    return QString::fromStdString(IsoDate(day));
}

CalendarDay dayOf(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.size() != 3) {
        return {};
    }
    return {parts[0].toInt(), parts[1].toInt(), parts[2].toInt()};
}

std::uint64_t amount(const QVariantMap& p, const char* key)
{
    return p.value(QLatin1String(key)).toULongLong();
}

std::optional<std::uint64_t> limit(const QVariantMap& p, const char* key)
{
    const std::uint64_t value = amount(p, key);
    return value > 0 ? std::optional<std::uint64_t>(value) : std::nullopt;
}

} // namespace

QVariantMap StatusProperties(const StatusSnapshot& s)
{
    const StatusPeriod& p = s.period;
    const auto t = [](std::uint64_t v) { return QVariant::fromValue<qulonglong>(v); };
    return {
        {QStringLiteral("Online"), s.online},
        {QStringLiteral("Link"), QString::fromStdString(s.link)},
        {QStringLiteral("Connection"), QString::fromStdString(s.connection)},
        {QStringLiteral("DownloadSpeed"), s.downloadBps},
        {QStringLiteral("UploadSpeed"), s.uploadBps},
        {QStringLiteral("SessionDown"), t(s.session.down)},
        {QStringLiteral("SessionUp"), t(s.session.up)},
        {QStringLiteral("SessionSeconds"), t(s.session.seconds)},
        {QStringLiteral("TodaySeconds"), t(s.todaySeconds)},
        {QStringLiteral("TotalDown"), t(s.total.down)},
        {QStringLiteral("TotalUp"), t(s.total.up)},
        {QStringLiteral("TotalSeconds"), t(s.total.seconds)},
        {QStringLiteral("PeriodStart"), iso(p.first)},
        {QStringLiteral("PeriodEnd"), iso(p.last)},
        {QStringLiteral("PeriodDown"), t(p.used.down)},
        {QStringLiteral("PeriodUp"), t(p.used.up)},
        {QStringLiteral("PeriodSeconds"), t(p.used.seconds)},
        {QStringLiteral("LimitBytes"), t(p.limitBytes.value_or(0))},
        {QStringLiteral("LimitSeconds"), t(p.limitSeconds.value_or(0))},
        {QStringLiteral("DownloadOnly"), p.downloadOnly},
        {QStringLiteral("Percent"), p.percent.value_or(-1.0)},
        {QStringLiteral("WarnLevel"), QVariant::fromValue<uint>(static_cast<uint>(p.level))},
    };
}

StatusSnapshot StatusFromProperties(const QVariantMap& p)
{
    StatusSnapshot s;
    s.running = true;
    s.online = p.value(QStringLiteral("Online")).toBool();
    s.link = p.value(QStringLiteral("Link")).toString().toStdString();
    s.connection = p.value(QStringLiteral("Connection")).toString().toStdString();
    s.downloadBps = p.value(QStringLiteral("DownloadSpeed")).toDouble();
    s.uploadBps = p.value(QStringLiteral("UploadSpeed")).toDouble();
    s.session = {amount(p, "SessionDown"), amount(p, "SessionUp"), amount(p, "SessionSeconds")};
    s.todaySeconds = amount(p, "TodaySeconds");
    s.total = {amount(p, "TotalDown"), amount(p, "TotalUp"), amount(p, "TotalSeconds")};
    StatusPeriod& period = s.period;
    period.first = dayOf(p.value(QStringLiteral("PeriodStart")).toString());
    period.last = dayOf(p.value(QStringLiteral("PeriodEnd")).toString());
    period.used = {amount(p, "PeriodDown"), amount(p, "PeriodUp"), amount(p, "PeriodSeconds")};
    period.limitBytes = limit(p, "LimitBytes");
    period.limitSeconds = limit(p, "LimitSeconds");
    period.downloadOnly = p.value(QStringLiteral("DownloadOnly")).toBool();
    const double percent = p.value(QStringLiteral("Percent")).toDouble();
    if (percent >= 0 && (period.limitBytes || period.limitSeconds)) {
        period.percent = percent;
    }
    const uint level = p.value(QStringLiteral("WarnLevel")).toUInt();
    period.level = level == 2 ? WarnLevel::Over : level == 1 ? WarnLevel::Warning : WarnLevel::Normal;
    return s;
}

} // namespace tavlor
