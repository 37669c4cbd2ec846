#pragma once

#include <functional>

// While a run's turn is held (it waits for work on a worker), the event loop keeps the windows
// painted and answering the window manager; but nothing of the program may run between two of
// the run's yields. So every event that would run the program's handlers (a window's closing, a
// drop, items opened with the application, menu commands) is held back meanwhile and delivered,
// in its order, once the turn has ended.
class HeldEvents final {
public:
    // Makes the image library's waits for workers keep the windows painted while holding back
    // the program's events. Once, at start-up.
    static void Install();

    // Whether events are being held back now: a turn is held and the event loop runs inside it.
    static bool Holding();

    // Runs `event` now, or, while events are held back, once the turn has ended, after those held
    // before it.
    static void Deliver(std::function<void()> event);
};
