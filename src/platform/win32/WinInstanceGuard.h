#pragma once

#include "platform/InstanceGuard.h"

namespace tavlor::win32 {

// A named mutex: the system frees it with the last handle, however the process ends.
class WinInstanceGuard final : public InstanceGuard
{
public:
    WinInstanceGuard() = default;
    ~WinInstanceGuard() override;
    WinInstanceGuard(const WinInstanceGuard&) = delete;
    WinInstanceGuard& operator=(const WinInstanceGuard&) = delete;

    Result acquire(const std::string& name) override;
    void release() override;

private:
    void* m_handle = nullptr;
};

} // namespace tavlor::win32
