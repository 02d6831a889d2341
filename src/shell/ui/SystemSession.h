#pragma once

#include <QAbstractNativeEventFilter>

#include <memory>

namespace tavlor {

class TavlorApp;

// Ties the system's own end-of-session messages, where the system has them, to the program's
// session end. The returned filter must live until the event loop has ended; null where
// nothing needs watching (Linux sends signals, which TavlorApp watches itself).
std::unique_ptr<QAbstractNativeEventFilter> watchSystemSessionEnd(TavlorApp& app);

} // namespace tavlor
