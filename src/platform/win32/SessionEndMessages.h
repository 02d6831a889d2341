#pragma once

#include <cstdint>
#include <functional>

namespace tavlor::win32 {

// How the program answers the system's end-of-session messages, whichever window gets them.
// The query (WM_QUERYENDSESSION) is answered with consent and ends the program through `end`
// (which saves and leaves the event loop), without the main window's close request: no
// question, no hiding. The program ends on the query even if another program cancels the
// session end afterwards; its data is saved either way. A session ended without a query
// (WM_ENDSESSION alone, as a forced log-off sends it) ends the program the same way, before
// the handler returns, because the system may terminate the process right after it.
// `end` runs once, however many windows the messages reach.
class SessionEndMessages
{
public:
    explicit SessionEndMessages(std::function<void()> end);

    // True when `message` belongs to the session end; `result` is then the window's answer.
    bool handle(unsigned message, std::uintptr_t wParam, std::intptr_t& result);
    bool ended() const { return m_ended; }

private:
    void endOnce();

    std::function<void()> m_end;
    bool m_ended = false;
};

} // namespace tavlor::win32
