#pragma once

#include <chrono>
#include <functional>

// Runs the event loop until `condition` holds; false when `timeout` passes first (a watchdog,
// never a fixed sleep).
bool SpinUntil(const std::function<bool()>& condition,
    std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Like SpinUntil, but looks at the condition after every single pass of the event loop, so that
// a cooperative thread gets at most one turn between two looks (one SpinUntil pass can hold a
// whole short run).
bool StepUntil(const std::function<bool()>& condition,
    std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Runs the event loop until nothing is pending (and queued fiber resumptions have run).
void SpinPending();
