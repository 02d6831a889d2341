#include "platform/Platform.h"
#include "shell/doppelt.h"
#include "shell/ui/AppServices.h"
#include "shell/ui/QtTranslations.h"
#include "shell/ui/SystemSession.h"
#include "shell/ui/TavlorApp.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>
#include <cstdio>

namespace {
// With TAVLOR_TRACE set, the program says when its event loop runs and when it saved, so that
// scripts and process tests can measure start-up and count saves from outside.
class TracingStore final : public tavlor::UsageStore
{
public:
    explicit TracingStore(std::unique_ptr<tavlor::UsageStore> inner) : m_inner(std::move(inner)) {}
    void load(tavlor::UsageState& state) override { m_inner->load(state); }
    void save(const tavlor::UsageState& state, int x, int y) override
    {
        m_inner->save(state, x, y);
        std::fputs("tavlor: saved\n", stdout);
        std::fflush(stdout);
    }

private:
    std::unique_ptr<tavlor::UsageStore> m_inner;
};
} // namespace

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
    tavlor::InstallQtTranslations(application, QLocale::system());

    const bool trace = qEnvironmentVariableIsSet("TAVLOR_TRACE");
    tavlor::AppServices services = tavlor::makeRealServices();
    if (trace) {
        services.store = std::make_unique<TracingStore>(std::move(services.store));
    }
    tavlor::TavlorApp tavlor(std::move(services));
    const auto sessionWatch = tavlor::watchSystemSessionEnd(tavlor);
    tavlor.start();
    if (trace) {
        QTimer::singleShot(0, [] {
            std::fputs("tavlor: event loop running\n", stdout);
            std::fflush(stdout);
        });
    }
    return QApplication::exec();
}
