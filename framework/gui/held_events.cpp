// Events held back while a run's turn waits for a worker, and delivered in their order after it.
#include "framework/gui/private/held_events.h"

#include "framework/core/thread.h"
#include "framework/core/private/thread_internals.h"
#include "framework/image/private/read_ahead.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <deque>

namespace {

// How often a turn that waits for a worker lets the event loop paint and answer.
constexpr std::chrono::milliseconds kLookAtTheLoop { 4 };

int holding = 0;

std::deque<std::function<void()>>& held()
{
    static std::deque<std::function<void()>> events;
    return events;
}

// Events that reach widgets and would run the program's handlers, held at the door.
class WidgetHold final : public QObject {
protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (!holding || !object->isWidgetType())
            return false;
        auto* const widget = static_cast<QWidget*>(object);
        switch (event->type()) {
        case QEvent::Close:
            // Whichever way it is asked for (the window manager's close box, QWidget::close),
            // a window's closing is asked for again once the turn has ended.
            if (!widget->isWindow())
                return false;
            event->ignore();
            HeldEvents::Deliver([window = QPointer<QWidget>(widget)] {
                if (window)
                    window->close();
            });
            return true;
        case QEvent::Timer:
            // A control's own timer (a slider's or a button's repeat while it is held down) would
            // raise its events. Such a timer ticks until its handler stops it, so the tick left
            // out now comes again after the turn.
            return true;
        default:
            return false;
        }
    }
};

void deliverHeld()
{
    // One at a time: an event may open a nested event loop, in which another turn ends.
    while (!holding && !held().empty()) {
        std::function<void()> event = std::move(held().front());
        held().pop_front();
        event();
    }
}

// Lets the event loop paint and answer the window system until the work is done; input and
// socket notifiers wait for the loop proper, and what else would run the program is held. The
// loop is looked at every few milliseconds rather than slept in: input held back stays pending,
// and a loop that waited for more events would find it at once, again and again.
void waitKeepingWindowsPainted(const ReadAhead::Pending& work)
{
    ++holding;
    struct Release {
        ~Release() { --holding; }
    } release;
    do {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    } while (!work.WaitFor(kLookAtTheLoop));
}

} // namespace

void HeldEvents::Install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    // The application object lives until the process ends, and so does the filter.
    QCoreApplication::instance()->installEventFilter(new WidgetHold);
    ReadAhead::SetWaiter(&waitKeepingWindowsPainted);
    OnTurnEnded(&deliverHeld);
}

bool HeldEvents::Holding()
{
    return holding > 0;
}

void HeldEvents::Deliver(std::function<void()> event)
{
    if (!holding)
        return event();
    held().push_back(std::move(event));
}
