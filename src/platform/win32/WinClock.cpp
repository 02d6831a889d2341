#include "platform/win32/WinClock.h"

#include <windows.h>

namespace tavlor::win32 {

CivilDateTime WinClock::nowLocal() const
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

std::int64_t WinClock::monotonicMs() const
{
    return static_cast<std::int64_t>(GetTickCount64());
}

} // namespace tavlor::win32
