#pragma once

#include "framework/core/exceptions.h"

#include <cstdint>
#include <functional>
#include <memory>

struct ThreadFiber; // the fiber and its stack; private to the framework

// A cooperative thread: its Run event executes on a fiber of the GUI thread and gives the event
// loop its turn only at RuntimeBackgroundTask (or Sleep, or Suspend). Nothing else runs between
// two yields. An exception that escapes the Run event is reported as unhandled and ends this
// thread only. Destroying a thread whose fiber is suspended unwinds the fiber (its destructors run);
// a run that destroys its own thread (it held the last reference to the thread's owner) ends its
// turn first and is unwound should it yield again.
class Thread {
public:
    Thread();
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts the thread: returns at once; the Run event begins once the event loop has handled
    // what is pending. Does nothing while the thread is running.
    void Run();
    // Stops giving the thread turns until Resume; on its own fiber it yields at once.
    void Suspend();
    // Gives a suspended or sleeping thread its turn again.
    void Resume();
    // Gives up the turn for at least `milliseconds` (on its own fiber), or keeps a waiting thread
    // from its turn that long. `wakeEarly` is accepted; the thread resumes at the deadline.
    void Sleep(int32_t milliseconds, bool wakeEarly = false);
    // Ends the thread: its fiber is unwound, at once when it waits, or at once from within its
    // own Run event.
    void Kill();
    // True from Run until the Run event has returned (or the thread was killed).
    bool IsRunning() const;

    // A thread member's design values, in the order of its list.
    struct Design {
        int32_t priority { 5 };
        int32_t stackSize { 0 };
    };

    // Kept for the program's use; cooperative threads take turns in order, whatever the priority.
    int32_t Priority() const { return m_priority; }
    void Priority(int32_t value) { m_priority = value; }
    // Bytes of stack for the next Run; never less than the generous default.
    int32_t StackSize() const { return m_stackSize; }
    void StackSize(int32_t value) { m_stackSize = value; }

    // The Run event.
    std::function<void()> OnRun;

    // The thread whose fiber is executing, or nullptr on the event loop.
    static Thread* Current();

private:
    friend struct ThreadFiber;
    std::shared_ptr<ThreadFiber> m_fiber;
    int32_t m_priority { 5 };
    int32_t m_stackSize { 0 };
};

// Yields the current thread's turn to the event loop; on the event loop itself it does nothing.
void RuntimeBackgroundTask();
