#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace tavlor {

// One desktop notification through org.freedesktop.Notifications on the session bus, sent
// without waiting for the answer; where no notification service answers (no bus, no service,
// an error), the fallback shows it instead (the tray icon's own message).
class DesktopNotifier final : public QObject
{
    Q_OBJECT
public:
    using Show = std::function<void(const QString& title, const QString& text)>;
    explicit DesktopNotifier(Show fallback, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(DesktopNotifier)

    void notify(const QString& title, const QString& text);

signals:
    // For tests and traces: how the last notification went out.
    void delivered(bool throughService);

private:
    Show m_fallback;
};

} // namespace tavlor
