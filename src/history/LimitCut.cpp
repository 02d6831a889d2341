#include "history/LimitCut.h"

namespace tavlor {

bool LimitCut::cuttable(const CountedConnection& connection)
{
    return (connection.kind == CountedKind::Dialup || connection.kind == CountedKind::Metered) &&
           !connection.id.empty();
}

std::optional<CountedConnection> LimitCut::decide(const LimitSecond& second)
{
    const bool same = m_attempt && second.online && second.connection == *m_attempt;
    if (!same) {
        // Gone, or another connection: the next activation is an attempt of its own.
        m_attempt.reset();
        m_failures = 0;
    }
    ++m_secondsSince;
    if (!second.online || !cuttable(second.connection) || !second.cutOff || !second.limitReached ||
        second.released) {
        return std::nullopt;
    }
    if (same) {
        const int wait = m_answered ? kSecondsBeforeRetry : kSecondsWithoutAnswer;
        if (m_secondsSince < wait) {
            return std::nullopt;
        }
    }
    m_attempt = second.connection;
    m_answered = false;
    m_secondsSince = 0;
    return second.connection;
}

LimitCut::Outcome LimitCut::answered(const CountedConnection& cut, bool ok, const CountedConnection& counted)
{
    if (m_attempt && *m_attempt == cut) {
        m_answered = true;
        m_secondsSince = 0;
    }
    if (ok) {
        return Outcome::Cut;
    }
    if (counted != cut) {
        return Outcome::Vanished;
    }
    if (m_attempt && *m_attempt == cut) {
        ++m_failures;
    }
    return Outcome::Failed;
}

std::string LimitCutText(const std::string& name)
{
    return "Limit erreicht: Verbindung \xE2\x80\x9E" + name + "\xE2\x80\x9C getrennt.";
}

std::string LimitCutName(const CountedConnection& connection, const std::string& linkName)
{
    return connection.name.empty() ? linkName : connection.name;
}

} // namespace tavlor
