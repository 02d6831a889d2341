#include "platform/win32/SessionEndMessages.h"

#include <windows.h>

namespace tavlor::win32 {

SessionEndMessages::SessionEndMessages(std::function<void()> end) : m_end(std::move(end)) {}

bool SessionEndMessages::handle(unsigned message, std::uintptr_t wParam, std::intptr_t& result)
{
    if (message == WM_QUERYENDSESSION) {
        endOnce();
        result = TRUE;
        return true;
    }
    if (message == WM_ENDSESSION) {
        // FALSE: the session goes on. Either way the default handling must not run: Qt's
        // would announce the end of an application that has already ended.
        if (wParam != FALSE) {
            endOnce();
        }
        result = 0;
        return true;
    }
    return false;
}

void SessionEndMessages::endOnce()
{
    if (m_ended) {
        return;
    }
    m_ended = true;
    if (m_end) {
        m_end();
    }
}

} // namespace tavlor::win32
