// Wait-any over events and threads.
#pragma once

#include "platform/posix/deadline.h"
#include "platform/posix/win32_subset.h"

namespace rowfork::posix {

inline constexpr long kAnyTimedOut = -1;
inline constexpr long kAnyNoMemory = -2;

// Waits until one of `count` valid handles fires. Returns the lowest index
// that fired, kAnyTimedOut when the deadline passes first, or kAnyNoMemory
// when there is no memory to note where more than 64 objects started.
long WaitForAnyObject(const HANDLE *handles, DWORD count, const Deadline &deadline);

}  // namespace rowfork::posix
