#pragma once

#include "dialup/Ras.h"

#include <string>

namespace tavlor::platform::nm {

// The provider's return codes; the numbers follow the RAS ones where one fits.
enum NmRasError : RasDword
{
    kNmInvalidHandle = 6,
    kNmInvalidName = 123,
    kNmAlreadyExists = 183,
    kNmBufferTooSmall = kRasBufferTooSmall,
    kNmNoDevice = 608,
    kNmEntryNotFound = 623,
    kNmInvalidSize = 632,
    kNmDeviceError = 651,
    kNmAuthenticationFailed = 691,
    kNmServiceUnavailable = kRasServiceUnavailable,
    kNmTimeout = 718,
    kNmValueTooLong = 1001,
    kNmNoEditor = 1002,
    kNmServiceError = 1003,
};

// The German text for a code; `detail` (the service's own message) is appended to
// kNmServiceError's text.
std::string errorText(RasDword code, const std::string& detail);

} // namespace tavlor::platform::nm
