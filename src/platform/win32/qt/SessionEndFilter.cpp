#include "platform/win32/qt/SessionEndFilter.h"

#include <QByteArray>

#include <windows.h>

namespace tavlor::win32 {

SessionEndFilter::SessionEndFilter(std::function<void()> end) : m_end(std::move(end)) {}

bool SessionEndFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result)
{
    if (eventType != "windows_generic_MSG" || message == nullptr) {
        return false;
    }
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message == WM_QUERYENDSESSION) {
        // The program ends on the query even if another program cancels the session end
        // afterwards: its data is saved either way.
        endOnce();
        if (result != nullptr) {
            *result = TRUE;
        }
        return true;
    }
    if (msg->message == WM_ENDSESSION) {
        // FALSE: the session goes on. Qt's own handling would emit aboutToQuit for a session
        // that has already been dealt with here.
        if (msg->wParam != FALSE) {
            endOnce();
        }
        if (result != nullptr) {
            *result = 0;
        }
        return true;
    }
    return false;
}

void SessionEndFilter::endOnce()
{
    // Every top-level window of the program gets the messages; the program ends only once.
    if (m_ended) {
        return;
    }
    m_ended = true;
    if (m_end) {
        m_end();
    }
}

} // namespace tavlor::win32
