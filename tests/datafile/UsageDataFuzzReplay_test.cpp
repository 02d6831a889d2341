#include "UsageDataFuzz.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tavlor {
namespace {

// The fuzzer's checked-in corpus, including every input that once failed, runs through the
// same checks as under the fuzzer.
TEST(UsageDataFuzzCorpus, EveryCheckedInInputPassesTheChecks)
{
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TAVLOR_FUZZ_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(fuzz::RunUsageDataInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                  "")
            << entry.path();
        ++inputs;
    }
    EXPECT_GE(inputs, 20) << "corpus missing in " << TAVLOR_FUZZ_CORPUS;
}

} // namespace
} // namespace tavlor
