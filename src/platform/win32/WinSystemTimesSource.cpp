#include "platform/win32/WinSystemTimesSource.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace tavlor::win32 {

namespace {
using NTSTATUS_ = LONG;
using QueryFunction = NTSTATUS_(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

constexpr ULONG kBasicInformation = 0;
constexpr ULONG kPerformanceInformation = 2;
constexpr ULONG kTimeOfDayInformation = 3;
constexpr NTSTATUS_ kInfoLengthMismatch = static_cast<NTSTATUS_>(0xC0000004);

// The published basic-information record. Its pointer-sized fields make it 44 bytes in a
// 32-bit build and 64 in a 64-bit one, and the system refuses any other size.
struct BasicInformation
{
    ULONG reserved;
    ULONG timerResolution;
    ULONG pageSize;
    ULONG numberOfPhysicalPages;
    ULONG lowestPhysicalPageNumber;
    ULONG highestPhysicalPageNumber;
    ULONG allocationGranularity;
    ULONG_PTR minimumUserModeAddress;
    ULONG_PTR maximumUserModeAddress;
    ULONG_PTR activeProcessorsAffinityMask;
    CCHAR numberOfProcessors;
};
static_assert(sizeof(void*) != 4 ||
              (sizeof(BasicInformation) == 44 && offsetof(BasicInformation, numberOfProcessors) == 40));
static_assert(sizeof(void*) != 8 ||
              (sizeof(BasicInformation) == 64 && offsetof(BasicInformation, numberOfProcessors) == 56));

constexpr ULONG kTimeOfDayBytes = 32;    // current system time at byte 8
constexpr ULONG kPerformanceBytes = 312; // total idle time at byte 0
constexpr ULONG kLargestPerformanceBytes = 4096;

QueryFunction queryFunction()
{
    static const QueryFunction function = [] {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        return ntdll ? reinterpret_cast<QueryFunction>(
                           reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")))
                     : nullptr;
    }();
    return function;
}

std::int64_t readInt64(const unsigned char* bytes, std::size_t offset)
{
    std::int64_t value = 0;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
}

// Newer systems have grown the performance record; they answer a length mismatch to the
// classic size, and then get a roomier buffer.
bool readIdleTime(QueryFunction query, std::int64_t& idle)
{
    std::vector<unsigned char> record(kPerformanceBytes, 0);
    NTSTATUS_ status = query(kPerformanceInformation, record.data(), kPerformanceBytes, nullptr);
    if (status == kInfoLengthMismatch) {
        record.assign(kLargestPerformanceBytes, 0);
        status = query(kPerformanceInformation, record.data(), kLargestPerformanceBytes, nullptr);
    }
    if (status != 0) {
        return false;
    }
    idle = readInt64(record.data(), 0);
    return true;
}
} // namespace

std::optional<CpuTimes> WinSystemTimesSource::cpuTimes()
{
    const QueryFunction query = queryFunction();
    if (query == nullptr) {
        return std::nullopt;
    }
    BasicInformation basic;
    std::memset(&basic, 0, sizeof basic);
    if (query(kBasicInformation, &basic, sizeof basic, nullptr) != 0) {
        return std::nullopt;
    }
    unsigned char timeOfDay[kTimeOfDayBytes] = {};
    if (query(kTimeOfDayInformation, timeOfDay, kTimeOfDayBytes, nullptr) != 0) {
        return std::nullopt;
    }
    CpuTimes times;
    if (!readIdleTime(query, times.idleTime100ns)) {
        return std::nullopt;
    }
    times.systemTime100ns = readInt64(timeOfDay, 8);
    times.processors = basic.numberOfProcessors > 0 ? basic.numberOfProcessors : 1;
    return times;
}

std::uint64_t WinSystemTimesSource::millisecondsSinceBoot()
{
    return GetTickCount64();
}

} // namespace tavlor::win32
