// Cooperative threads on fibers of the GUI thread, resumed by the event loop.
#include "framework/core/thread.h"
#include "framework/core/private/thread_internals.h"

#include "framework/core/exceptions.h"

#include <QTimer>

#include <boost/context/fiber.hpp>
#include <boost/context/protected_fixedsize_stack.hpp>

#if defined(__SANITIZE_ADDRESS__)
#define QUOBLY_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUOBLY_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef QUOBLY_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#endif

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

// A stack as AddressSanitizer must know it: it keeps the bounds of the stack each thread runs on,
// and a switch to another stack that it is not told of makes it take the new stack's frames for
// wild accesses (an exception thrown on a fiber unpoisons the wrong stack). So each switch is
// announced on the stack being left and confirmed on the stack reached; without the sanitizer
// these cost nothing.
struct StackBounds {
    const void* bottom { nullptr };
    size_t size { 0 };
};

// On the stack being left, just before the switch to `to`. `fakeStack` keeps the leaving stack's
// fake frames until it is entered again; nullptr when it is left for good.
void leavingStack([[maybe_unused]] void** fakeStack, [[maybe_unused]] const StackBounds& to)
{
#ifdef QUOBLY_ADDRESS_SANITIZER
    __sanitizer_start_switch_fiber(fakeStack, to.bottom, to.size);
#endif
}

// On the stack reached, just after the switch; `from` receives the bounds of the stack left.
void enteredStack([[maybe_unused]] void* fakeStack, [[maybe_unused]] StackBounds* from)
{
#ifdef QUOBLY_ADDRESS_SANITIZER
    __sanitizer_finish_switch_fiber(fakeStack, from ? &from->bottom : nullptr, from ? &from->size : nullptr);
#endif
}

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

std::vector<std::function<void()>>& turnEndHooks()
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

// A guarded stack whose bounds its fiber keeps, for the sanitizer's sake.
struct ThreadStack {
    ctx::protected_fixedsize_stack stack;
    StackBounds* bounds;

    ctx::stack_context allocate()
    {
        ctx::stack_context made = stack.allocate();
        *bounds = { static_cast<char*>(made.sp) - made.size, made.size };
        return made;
    }

    void deallocate(ctx::stack_context& made) noexcept
    {
#ifdef QUOBLY_ADDRESS_SANITIZER
        // Frames left by an unwinding must not haunt the memory that a later mapping reuses.
        __asan_unpoison_memory_region(static_cast<char*>(made.sp) - made.size, made.size);
#endif
        stack.deallocate(made);
    }
};

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

    // Started and not executing now: its fiber waits for a turn, or is still to be made.
    bool waiting() const { return !active && (fiber || pendingStackBytes > 0); }

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

    // The fiber is made at its first turn, so that a thread ended before it has none to unwind.
    void start(size_t stackBytes)
    {
        suspended = false;
        killRequested = false;
        pendingStackBytes = stackBytes;
        timer.start(0);
    }

    ctx::fiber body(ctx::fiber&& resumer)
    {
        // Where the turns come from, kept on the fiber's own stack: a run that ends its own
        // thread destroys this object as it unwinds.
        StackBounds resumerStack;
        loopStack = &resumerStack;
        enteredStack(nullptr, &resumerStack);
        loop = std::move(resumer);
        try {
            runEvent();
        } catch (const ctx::detail::forced_unwind&) {
            // Destroyed while it waited: Boost leaves the stack for the one that destroyed it.
            leavingStack(nullptr, resumerStack);
            throw;
        }
        leavingStack(nullptr, resumerStack);
        return std::move(loop);
    }

    void runEvent()
    {
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
    }

    // Called by the event loop's timer: one turn of the fiber, until it yields or ends.
    void resumeFromLoop()
    {
        if (!waiting() || suspended)
            return;
        if (turnsHeld > 0) {
            timer.start(kHeldRetryMs);
            return;
        }
        if (pendingStackBytes) {
            fiber = ctx::fiber(std::allocator_arg, ThreadStack { ctx::protected_fixedsize_stack(pendingStackBytes), &ownStack },
                [this](ctx::fiber&& resumer) { return body(std::move(resumer)); });
            pendingStackBytes = 0;
        }
        const std::shared_ptr<ThreadFiber> alive = shared_from_this();
        ThreadFiber* const previous = current;
        current = this;
        active = true;
        void* fakeStack = nullptr;
        leavingStack(&fakeStack, ownStack);
        fiber = std::move(fiber).resume();
        enteredStack(fakeStack, nullptr);
        active = false;
        current = previous;
        if (!fiber)
            reportEscaped();
        for (const auto& hook : turnEndHooks())
            hook();
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
        {
            // Confirmed on the way back in, whether the fiber goes on or is being unwound.
            struct Back {
                StackBounds* from;
                void* fakeStack = nullptr;
                ~Back() { enteredStack(fakeStack, from); }
            } back { loopStack };
            leavingStack(&back.fakeStack, *loopStack);
            loop = std::move(loop).resume();
        }
        if (killRequested) {
            killRequested = false;
            throw ThreadKill {};
        }
    }

    // Destroys a waiting fiber: Boost unwinds its stack, so its local objects are destroyed.
    void unwind()
    {
        if (!waiting())
            return;
        timer.stop();
        pendingStackBytes = 0;
        if (!fiber)
            return;
        ThreadFiber* const previous = current;
        current = nullptr; // a destructor that yields while the stack unwinds does nothing
        void* fakeStack = nullptr;
        leavingStack(&fakeStack, ownStack);
        {
            ctx::fiber doomed = std::move(fiber);
        }
        enteredStack(fakeStack, nullptr);
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
    size_t pendingStackBytes { 0 }; // started, and its fiber not made yet
    ctx::fiber loop; // on the fiber: the context to go back to
    StackBounds ownStack;
    StackBounds* loopStack { nullptr }; // on the fiber: the stack that gave it its turn
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
    if (f.waiting())
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
    return m_fiber->active || m_fiber->waiting();
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

void OnTurnEnded(std::function<void()> hook)
{
    turnEndHooks().push_back(std::move(hook));
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
        const auto waiting = std::find_if(fibers.begin(), fibers.end(), [](ThreadFiber* f) { return f->waiting(); });
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
