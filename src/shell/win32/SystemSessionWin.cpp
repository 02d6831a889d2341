#include "shell/ui/SystemSession.h"

#include "platform/win32/qt/SessionEndFilter.h"
#include "shell/ui/TavlorApp.h"

#include <QCoreApplication>

namespace tavlor {

std::unique_ptr<QAbstractNativeEventFilter> watchSystemSessionEnd(TavlorApp& app)
{
    auto filter = std::make_unique<win32::SessionEndFilter>([&app] { app.sessionEnd(); });
    QCoreApplication::instance()->installNativeEventFilter(filter.get());
    return filter;
}

} // namespace tavlor
