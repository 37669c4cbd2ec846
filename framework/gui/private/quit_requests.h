#pragma once

// Requests from outside to end the application quit it as File > Quit does (each window closes,
// so the main window's closing saves the preferences, and the exit status is 0): SIGTERM,
// SIGHUP and SIGINT (a logout, `kill`, Ctrl+C in a terminal), and the session manager's request
// to save before the session ends.
class QuitRequests final {
public:
    // From the first instruction of main(): a quitting signal is held from then on and acted on
    // once the event loop runs, so one that comes during start-up still quits in order.
    static void Catch();
    // Framework-internal. While the event loop runs, these requests reach it; before and after
    // it each signal does what it did before (a signal that was ignored stays ignored).
    static void Listen();
    static void StopListening();
};
