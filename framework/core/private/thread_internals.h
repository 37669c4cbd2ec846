#pragma once

// The framework's own doors to the cooperative threads: the application layer reports their
// exceptions, holds their turns while one waits, and ends them all at Quit.

#include "framework/core/exceptions.h"

#include <functional>

// Framework-internal: where an exception that escapes a Run event is reported. The application
// layer installs its report at start-up; until then such an exception is written to standard error.
void SetUnhandledThreadExceptionReporter(std::function<void(const RuntimeException&)> reporter);

// Framework-internal: while one lives, the event loop gives no thread its turn (a thread that
// waits inside its own turn keeps the others from running between two of its yields).
class ThreadTurnsHeld final {
public:
    ThreadTurnsHeld();
    ~ThreadTurnsHeld();
    ThreadTurnsHeld(const ThreadTurnsHeld&) = delete;
    ThreadTurnsHeld& operator=(const ThreadTurnsHeld&) = delete;
};

// Framework-internal: called on the event loop each time a thread's turn has ended (it yielded, or
// its Run event ended): what was held back during the turn may run now.
void OnTurnEnded(std::function<void()> hook);

// Framework-internal: called on the GUI thread each time a thread's Run event has ended (returned,
// escaped or been unwound).
void OnThreadEnded(std::function<void()> hook);

// Framework-internal, for Quit: ends every thread. A waiting one is unwound at once (its
// destructors run); a running one ends at its next yield.
void EndAllThreads();
