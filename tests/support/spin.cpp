// Waiting on the event loop until a condition holds, with a watchdog instead of a fixed sleep.
#include "tests/support/spin.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

namespace {

// `pass` runs the event loop once; false when `timeout` passes before the condition holds.
bool spin(const std::function<bool()>& condition, std::chrono::milliseconds timeout, void (*pass)())
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeout.count())
            return false;
        pass();
    }
    return true;
}

} // namespace

bool SpinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    return spin(condition, timeout, [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); });
}

bool StepUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    return spin(condition, timeout, [] { QCoreApplication::processEvents(); });
}

void SpinPending()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}
