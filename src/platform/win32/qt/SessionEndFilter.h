#pragma once

#include "platform/win32/SessionEndMessages.h"

#include <QAbstractNativeEventFilter>

#include <functional>

namespace tavlor::win32 {

// Hands the end-of-session messages of the program's windows to SessionEndMessages before Qt
// sees them. Install with QCoreApplication::installNativeEventFilter before the event loop runs.
class SessionEndFilter final : public QAbstractNativeEventFilter
{
public:
    explicit SessionEndFilter(std::function<void()> end);
    SessionEndFilter(const SessionEndFilter&) = delete;
    SessionEndFilter& operator=(const SessionEndFilter&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    SessionEndMessages m_messages;
};

} // namespace tavlor::win32
