#include "platform/Platform.h"
#include "shell/doppelt.h"
#include "shell/ui/AppServices.h"
#include "shell/ui/TavlorApp.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[])
{
    // Before any window, and before connecting to the display: a refused start shows nothing.
    tavlor::Doppelt guard(tavlor::platform::makeInstanceGuard());
    if (!guard.acquire()) {
        return 0;
    }

    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Tavlor"));
    // The program lives in the tray: closing a dialog while the window is hidden must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    tavlor::TavlorApp tavlor(tavlor::makeRealServices());
    tavlor.start();
    if (qEnvironmentVariableIsSet("TAVLOR_STARTUP_TRACE")) {
        // For scripts/measure-idle.sh: the moment the event loop runs.
        QTimer::singleShot(0, [] {
            std::fputs("tavlor: event loop running\n", stdout);
            std::fflush(stdout);
        });
    }
    return QApplication::exec();
}
