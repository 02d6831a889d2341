#pragma once

#include <cstddef>
#include <cstring>
#include <string>

// Reading and writing the fixed-width text fields of the RAS records.
namespace tavlor::rasfields {

// A volatile loop so that the compiler cannot drop the stores as dead.
inline void wipe(void* data, std::size_t size)
{
    volatile char* p = static_cast<char*>(data);
    while (size-- > 0) {
        *p++ = '\0';
    }
}

// Text of a field up to its terminating zero, never past the field.
template <std::size_t N> std::string text(const char (&field)[N])
{
    const void* end = std::memchr(field, '\0', N);
    return std::string(field, end ? static_cast<const char*>(end) - field : N);
}

// Copies `value` with its terminating zero; refuses (false, field untouched) what does not fit.
template <std::size_t N> bool assign(char (&field)[N], const std::string& value)
{
    if (value.size() > N - 1) {
        return false;
    }
    std::memcpy(field, value.data(), value.size());
    field[value.size()] = '\0';
    return true;
}

} // namespace tavlor::rasfields
