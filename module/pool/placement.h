// Where the pool's threads run, the same rule on both targets. A woken thread
// tends to be put on the processor of the thread that woke it, and a spinning
// caller and a worker that share a processor take turns: a split would gain
// nothing. So worker k is bound to the (k + 1)th processor of the process and
// the first is left spare; when a split finds the caller on a worker's
// processor, that worker moves to the spare one and the caller's becomes the
// spare. A worker moves for the price of one call while the host's thread is
// never moved: its affinity is the host's, and it keeps it. With more
// participants than processors the scheduler places them all.
#pragma once

namespace rowfork {

// Binds workers 0 .. participants - 2 (WorkerThreads), while they have not
// run yet. True when each participant has a processor of its own.
bool PlaceWorkers(int participants);

// Before a split wakes the workers: the worker on the caller's processor, if
// any, makes way. Only the pool's claimant calls it.
void MakeWayForCaller();

// Forgets every binding, for a pool that is gone or never came to be.
void ForgetPlacement();

// The processor worker k is bound to, or -1.
int WorkerProcessor(int k);

}  // namespace rowfork
