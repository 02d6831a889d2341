#include "platform/win32/WinInstanceGuard.h"

#include <windows.h>

namespace tavlor::win32 {

WinInstanceGuard::~WinInstanceGuard()
{
    release();
}

InstanceGuard::Result WinInstanceGuard::acquire(const std::string& name)
{
    release();
    // Without a namespace prefix the name guards one logon session.
    m_handle = CreateMutexA(nullptr, TRUE, name.c_str());
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        return Result::AlreadyRunning;
    }
    return m_handle != nullptr ? Result::Acquired : Result::Failed;
}

void WinInstanceGuard::release()
{
    // Ownership is never given back explicitly: closing the last handle frees the mutex.
    if (m_handle != nullptr) {
        CloseHandle(m_handle);
        m_handle = nullptr;
    }
}

} // namespace tavlor::win32
