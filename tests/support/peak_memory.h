#pragma once

// AddressSanitizer pads every allocation and keeps freed memory in quarantine, so in its build a
// process's peak memory says nothing of the code under test: checks of it hold in other builds.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kPeakMemoryMeansSomething = false;
#else
inline constexpr bool kPeakMemoryMeansSomething = true;
#endif
