#include "shell/doppelt.h"

#include "platform/InstanceGuard.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

struct GuardLog
{
    std::string name;
    int releases = 0;
};

class ScriptedGuard final : public InstanceGuard
{
public:
    ScriptedGuard(Result result, GuardLog& log) : m_result(result), m_log(log) {}
    Result acquire(const std::string& name) override
    {
        m_log.name = name;
        return m_result;
    }
    void release() override { ++m_log.releases; }

private:
    Result m_result;
    GuardLog& m_log;
};

TEST(Doppelt, RefusesOnlyWhenAnotherInstanceHoldsTheGuard)
{
    const std::pair<InstanceGuard::Result, bool> cases[] = {{InstanceGuard::Result::Acquired, true},
                                                            {InstanceGuard::Result::AlreadyRunning, false},
                                                            {InstanceGuard::Result::Failed, true}};
    for (const auto& [result, proceeds] : cases) {
        GuardLog log;
        {
            Doppelt guard(std::make_unique<ScriptedGuard>(result, log));
            EXPECT_EQ(guard.acquire(), proceeds);
            EXPECT_EQ(log.name, "Tavlor.exe");
            EXPECT_EQ(log.releases, 0);
        }
        EXPECT_EQ(log.releases, 1);
    }
}

} // namespace
} // namespace tavlor
