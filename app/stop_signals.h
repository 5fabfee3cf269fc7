#pragma once

#include <functional>

class QObject;

namespace tamarind {

// Turns SIGINT and SIGTERM into a call of `on_stop` on the window's thread, through the event
// loop, so that the program stops by its normal close sequence. The signal handler itself only
// writes one byte to a pipe. Call once, before the event loop runs; `owner` holds the notifier.
void CallOnStopSignals(QObject* owner, std::function<void()> on_stop);

}  // namespace tamarind
