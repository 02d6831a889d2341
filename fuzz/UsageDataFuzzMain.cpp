#include "UsageDataFuzz.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string failure = tavlor::fuzz::RunUsageDataInput(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "usage data check failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
