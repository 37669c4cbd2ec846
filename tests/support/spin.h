#pragma once

#include <chrono>
#include <functional>

// Runs the event loop until `condition` holds; false when `timeout` passes first (a watchdog,
// never a fixed sleep).
bool SpinUntil(const std::function<bool()>& condition,
    std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Runs the event loop until nothing is pending (and queued fiber resumptions have run).
void SpinPending();
