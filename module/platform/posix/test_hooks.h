// Test hooks of the Linux substitute: a test makes the nth call of a kind
// fail, and counts the kernel objects and memory blocks still open. Creation
// calls are never on a hot path, so the check costs nothing that matters.
#pragma once

namespace rowfork::test_hooks {

enum class Failing { kCreateEvent, kCreateThread, kGlobalAlloc };

// From now on the nth call (1 = the next one) of `what` fails; 0 turns it off.
void FailNthCall(Failing what, int nth);

// Consumes one call of `what`; true when it is the one set to fail.
bool CallFails(Failing what);

// Calls of `what` so far, failed ones included.
int CallsMade(Failing what);

// Events and threads created and not yet closed.
int OpenKernelObjects();

// Global memory blocks allocated and not yet freed.
int LiveGlobalBlocks();

}  // namespace rowfork::test_hooks
