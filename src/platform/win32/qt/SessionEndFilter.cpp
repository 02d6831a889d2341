#include "platform/win32/qt/SessionEndFilter.h"

#include <QByteArray>

#include <windows.h>

namespace tavlor::win32 {

SessionEndFilter::SessionEndFilter(std::function<void()> end) : m_messages(std::move(end)) {}

bool SessionEndFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result)
{
    if (eventType != "windows_generic_MSG" || message == nullptr) {
        return false;
    }
    const MSG* msg = static_cast<const MSG*>(message);
    std::intptr_t answer = 0;
    if (!m_messages.handle(msg->message, msg->wParam, answer)) {
        return false;
    }
    if (result != nullptr) {
        *result = answer;
    }
    return true;
}

} // namespace tavlor::win32
