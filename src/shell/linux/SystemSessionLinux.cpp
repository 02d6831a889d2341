#include "shell/ui/SystemSession.h"

namespace tavlor {

std::unique_ptr<QAbstractNativeEventFilter> watchSystemSessionEnd(TavlorApp&)
{
    return nullptr;
}

} // namespace tavlor
