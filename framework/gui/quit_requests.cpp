// Quitting signals and a session manager's request to save, each quitting as File > Quit does. The
// signals reach the event loop through a pipe of their own: writing to it is all a signal handler
// may do, so it stays beside the handler rather than in the file-system door.
#include "framework/gui/private/quit_requests.h"

#include "framework/gui/runtime.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace {

constexpr int kSignals[] = { SIGTERM, SIGHUP, SIGINT };

// The handler may do nothing but write to this pipe (the one thing that is safe in a signal
// handler); the event loop reads the other end and quits there.
int signalPipe[2] = { -1, -1 };

extern "C" void onQuitSignal(int signalNumber)
{
    const int saved = errno;
    const char byte = static_cast<char>(signalNumber);
    // The pipe does not block: when it is full, a quit is on its way already.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

void quitForRequest()
{
    Quit(0);
}

bool openPipe()
{
    if (signalPipe[0] >= 0)
        return true;
    return ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0;
}

// The event loop's end of the pipe: a signal caught before the loop ran is read as soon as it runs.
bool watchPipe()
{
    static bool watching = false;
    if (watching)
        return true;
    if (!openPipe() || !qApp)
        return false;
    watching = true;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char bytes[64];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) { }
        quitForRequest();
    });
    // The session manager asks every client to save before a logout; nothing here is left unsaved
    // once the windows have closed.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp, [](QSessionManager&) { quitForRequest(); });
    return true;
}

// What each signal did before: one that was ignored (as under nohup) stays ignored.
struct sigaction previous[std::size(kSignals)] {};
bool catching = false;
bool listening = false;

} // namespace

void QuitRequests::Catch()
{
    if (catching || !openPipe())
        return;
    catching = true;
    struct sigaction action {};
    action.sa_handler = &onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], nullptr, &previous[i]);
        if (previous[i].sa_handler != SIG_IGN)
            sigaction(kSignals[i], &action, nullptr);
    }
}

void QuitRequests::Listen()
{
    if (listening)
        return;
    Catch();
    listening = watchPipe();
}

void QuitRequests::StopListening()
{
    if (!listening)
        return;
    listening = false;
    catching = false;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &previous[i], nullptr);
}
