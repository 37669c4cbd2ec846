// Cooperative threads on fibers of the GUI thread, resumed by the event loop.
#include "framework/core/thread.h"

#include "framework/core/exceptions.h"

#include <QTimer>

#include <boost/context/fiber.hpp>
#include <boost/context/protected_fixedsize_stack.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

namespace ctx = boost::context;

namespace {

// The stack is reserved, not committed: pages are touched only as the run needs them, and a
// guard page below it turns an overflow into a clean fault instead of corruption.
constexpr size_t kDefaultStackBytes = 16 * 1024 * 1024;

// Thrown inside a fiber whose thread kills itself. Not a std::exception, so that no handler of
// the program takes it for an error.
struct ThreadKill { };

ThreadFiber* current = nullptr;
int turnsHeld = 0;
// A thread whose turn comes while turns are held tries again this much later.
constexpr int kHeldRetryMs = 10;

std::vector<std::function<void()>>& endHooks()
{
    static std::vector<std::function<void()>> hooks;
    return hooks;
}

// Runs the end hooks when the Run event is left, by any way (a fiber unwound included).
struct RunEnded {
    ~RunEnded()
    {
        for (const auto& hook : endHooks())
            hook();
    }
};

std::function<void(const RuntimeException&)>& unhandledReporter()
{
    static std::function<void(const RuntimeException&)> reporter;
    return reporter;
}

void reportUnhandled(const RuntimeException& error)
{
    if (unhandledReporter())
        return unhandledReporter()(error);
    std::fprintf(stderr, "Quobly!: unhandled %s: %s\n", error.ClassName().c_str(), error.Message().c_str());
}

// Every thread's fiber, so that quitting can end them all.
std::vector<ThreadFiber*>& liveFibers()
{
    static std::vector<ThreadFiber*> fibers;
    return fibers;
}

} // namespace

// Shared by its thread and by each turn it is given, so that a run which ends its own thread (its
// stack held the last reference to the thread's owner) still finishes on a living fiber.
struct ThreadFiber : std::enable_shared_from_this<ThreadFiber> {
    explicit ThreadFiber(Thread& owner)
        : owner(&owner)
    {
        timer.setSingleShot(true);
        // A coarse timer may fire up to 5% early, and Sleep promises at least its time.
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] { resumeFromLoop(); });
        liveFibers().push_back(this);
    }

    ~ThreadFiber()
    {
        auto& fibers = liveFibers();
        fibers.erase(std::remove(fibers.begin(), fibers.end(), this), fibers.end());
        timer.stop();
        unwind();
    }

    // The thread is being destroyed. A waiting fiber is unwound now; a running one (its own code
    // let go of the thread, or lies below a nested event loop) goes on to the end of its turn and
    // is unwound should it yield again.
    void ownerGone()
    {
        owner = nullptr;
        if (active)
            killRequested = true;
        else
            unwind();
    }

    void start(size_t stackBytes)
    {
        suspended = false;
        killRequested = false;
        fiber = ctx::fiber(std::allocator_arg, ctx::protected_fixedsize_stack(stackBytes),
            [this](ctx::fiber&& resumer) { return body(std::move(resumer)); });
        timer.start(0);
    }

    ctx::fiber body(ctx::fiber&& resumer)
    {
        loop = std::move(resumer);
        const RunEnded ended;
        try {
            // A copy: the run may end its own thread, and with it the thread's Run event.
            const std::function<void()> run = owner ? owner->OnRun : nullptr;
            if (run)
                run();
        } catch (const ThreadKill&) {
        } catch (const std::exception&) {
            escaped = std::current_exception();
        }
        return std::move(loop);
    }

    // Called by the event loop's timer: one turn of the fiber, until it yields or ends.
    void resumeFromLoop()
    {
        if (active || !fiber || suspended)
            return;
        if (turnsHeld > 0) {
            timer.start(kHeldRetryMs);
            return;
        }
        const std::shared_ptr<ThreadFiber> alive = shared_from_this();
        ThreadFiber* const previous = current;
        current = this;
        active = true;
        fiber = std::move(fiber).resume();
        active = false;
        current = previous;
        if (!fiber)
            reportEscaped();
    }

    // On the fiber: back to whoever resumed it. With `again`, the next turn comes once the event
    // loop has handled what is pending.
    void yield(bool again)
    {
        if (killRequested) {
            killRequested = false;
            throw ThreadKill {};
        }
        if (again)
            timer.start(0);
        loop = std::move(loop).resume();
        if (killRequested) {
            killRequested = false;
            throw ThreadKill {};
        }
    }

    // Destroys a waiting fiber: Boost unwinds its stack, so its local objects are destroyed.
    void unwind()
    {
        if (!fiber)
            return;
        timer.stop();
        ThreadFiber* const previous = current;
        current = nullptr; // a destructor that yields while the stack unwinds does nothing
        {
            ctx::fiber doomed = std::move(fiber);
        }
        current = previous;
    }

    static void yieldCurrent()
    {
        if (current)
            current->yield(true);
    }

    void reportEscaped()
    {
        if (!escaped)
            return;
        const std::exception_ptr error = std::exchange(escaped, nullptr);
        try {
            std::rethrow_exception(error);
        } catch (const RuntimeException& e) {
            reportUnhandled(e);
        } catch (const std::exception& e) {
            reportUnhandled(RuntimeException(e.what()));
        }
    }

    Thread* owner; // nil once the thread is destroyed
    QTimer timer;
    ctx::fiber fiber; // the waiting fiber; empty while it runs and once it has ended
    ctx::fiber loop; // on the fiber: the context to go back to
    bool active { false };
    bool suspended { false };
    bool killRequested { false };
    std::exception_ptr escaped;
};

Thread::Thread()
    : m_fiber(std::make_shared<ThreadFiber>(*this))
{
}

Thread::~Thread()
{
    m_fiber->ownerGone();
}

void Thread::Run()
{
    if (IsRunning())
        return;
    m_fiber->start(std::max(kDefaultStackBytes, static_cast<size_t>(std::max(m_stackSize, 0))));
}

void Thread::Suspend()
{
    ThreadFiber& f = *m_fiber;
    if (!IsRunning())
        return;
    f.suspended = true;
    f.timer.stop();
    if (current == &f)
        f.yield(false);
}

void Thread::Resume()
{
    ThreadFiber& f = *m_fiber;
    f.suspended = false;
    if (f.fiber && !f.active)
        f.timer.start(0);
}

void Thread::Sleep(int32_t milliseconds, bool)
{
    ThreadFiber& f = *m_fiber;
    if (!IsRunning())
        return;
    f.timer.start(std::max(milliseconds, 0));
    if (current == &f)
        f.yield(false);
}

void Thread::Kill()
{
    ThreadFiber& f = *m_fiber;
    if (current == &f)
        throw ThreadKill {};
    if (f.active) {
        // Its fiber lies below the caller's on the stack (it opened a nested event loop): it
        // ends as soon as it gets control back.
        f.killRequested = true;
        return;
    }
    f.unwind();
}

bool Thread::IsRunning() const
{
    return m_fiber->active || static_cast<bool>(m_fiber->fiber);
}

Thread* Thread::Current()
{
    return current ? current->owner : nullptr;
}

void RuntimeBackgroundTask()
{
    ThreadFiber::yieldCurrent();
}

void SetUnhandledThreadExceptionReporter(std::function<void(const RuntimeException&)> reporter)
{
    unhandledReporter() = std::move(reporter);
}

ThreadTurnsHeld::ThreadTurnsHeld()
{
    ++turnsHeld;
}

ThreadTurnsHeld::~ThreadTurnsHeld()
{
    --turnsHeld;
}

void OnThreadEnded(std::function<void()> hook)
{
    endHooks().push_back(std::move(hook));
}

void EndAllThreads()
{
    // Unwinding a fiber may destroy threads (its stack may hold the last reference to the object
    // that owns its thread), so the list is searched afresh after each one.
    for (;;) {
        auto& fibers = liveFibers();
        const auto waiting = std::find_if(fibers.begin(), fibers.end(), [](ThreadFiber* f) { return f->fiber && !f->active; });
        if (waiting == fibers.end())
            break;
        (*waiting)->unwind();
    }
    // A fiber that is running (the caller's own, or one below a nested event loop) cannot be
    // unwound from here: it ends when it next yields.
    for (ThreadFiber* f : liveFibers()) {
        if (f->active)
            f->killRequested = true;
    }
}
