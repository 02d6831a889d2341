#include "platform/Platform.h"

namespace tavlor::platform {

const char* systemName()
{
    return "Linux";
}

} // namespace tavlor::platform
