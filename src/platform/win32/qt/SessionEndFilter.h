#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>

namespace tavlor::win32 {

// Answers the system's end-of-session query (WM_QUERYENDSESSION) with consent, saves once and
// ends the event loop, without the close request of the main window: no question, no hiding.
// Install with QCoreApplication::installNativeEventFilter before the event loop runs.
class SessionEndFilter final : public QAbstractNativeEventFilter
{
public:
    explicit SessionEndFilter(std::function<void()> save);
    SessionEndFilter(const SessionEndFilter&) = delete;
    SessionEndFilter& operator=(const SessionEndFilter&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::function<void()> m_save;
    bool m_ended = false;
};

} // namespace tavlor::win32
