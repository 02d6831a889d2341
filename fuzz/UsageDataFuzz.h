#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tavlor::fuzz {

// One input through the profile reader and writer and through loading and saving the data
// file. The first byte chooses the locale and a value to write, the rest is the file.
// Returns "" when every check held, else what went wrong. Used by the fuzzer and by the
// test that replays the checked-in corpus.
std::string RunUsageDataInput(const std::uint8_t* data, std::size_t size);

} // namespace tavlor::fuzz
