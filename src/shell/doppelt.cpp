#include "shell/doppelt.h"

#include "platform/InstanceGuard.h"

namespace tavlor {

Doppelt::Doppelt(std::unique_ptr<InstanceGuard> guard) : m_guard(std::move(guard)) {}

Doppelt::~Doppelt()
{
    if (m_guard) {
        m_guard->release();
    }
}

bool Doppelt::acquire()
{
    if (!m_guard) {
        return true;
    }
    return m_guard->acquire(kGuardName) != InstanceGuard::Result::AlreadyRunning;
}

} // namespace tavlor
