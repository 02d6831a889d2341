#include "platform/win32/qt/SessionEndFilter.h"

#include <QByteArray>
#include <QCoreApplication>

#include <windows.h>

namespace tavlor::win32 {

SessionEndFilter::SessionEndFilter(std::function<void()> save) : m_save(std::move(save)) {}

bool SessionEndFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result)
{
    if (eventType != "windows_generic_MSG" || message == nullptr) {
        return false;
    }
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_QUERYENDSESSION) {
        return false;
    }
    if (result != nullptr) {
        *result = TRUE;
    }
    // Every top-level window of the program gets the query; the data is saved only once.
    if (!m_ended) {
        m_ended = true;
        if (m_save) {
            m_save();
        }
        // exit(), not quit(): quit() would first ask every window to close, and the main
        // window's close request may hide instead of closing.
        QCoreApplication::exit(0);
    }
    return true;
}

} // namespace tavlor::win32
