#include "shell/FailureReports.h"

#include <algorithm>

namespace tavlor {

void FailureReports::report(Cause cause, const std::string& text)
{
    const auto lasting = m_lasting.find(cause);
    if (lasting != m_lasting.end() && lasting->second == text) {
        return;
    }
    m_lasting[cause] = text;
    m_waiting.emplace_back(cause, text);
}

void FailureReports::resolved(Cause cause)
{
    m_lasting.erase(cause);
    std::erase_if(m_waiting, [cause](const auto& waiting) { return waiting.first == cause; });
}

std::optional<std::string> FailureReports::next()
{
    if (m_waiting.empty()) {
        return std::nullopt;
    }
    std::string text = std::move(m_waiting.front().second);
    m_waiting.pop_front();
    return text;
}

} // namespace tavlor
