#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>

namespace tavlor::win32 {

// Answers the system's end-of-session query (WM_QUERYENDSESSION) with consent and ends the
// program through `end` (which saves and leaves the event loop), without the close request of
// the main window: no question, no hiding. A session ended without a query (WM_ENDSESSION
// alone, as a forced log-off sends it) ends the program the same way, before the handler
// returns, because the system may terminate the process right after it. Either way `end`
// runs once. Install with QCoreApplication::installNativeEventFilter before the event loop runs.
class SessionEndFilter final : public QAbstractNativeEventFilter
{
public:
    explicit SessionEndFilter(std::function<void()> end);
    SessionEndFilter(const SessionEndFilter&) = delete;
    SessionEndFilter& operator=(const SessionEndFilter&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void endOnce();

    std::function<void()> m_end;
    bool m_ended = false;
};

} // namespace tavlor::win32
