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

// Where the caller runs is asked at every split that wakes a worker, and at
// every kCheckCallerEvery-th split otherwise. A caller lands on a worker's
// processor when that processor was free as the caller woke, its worker
// asleep; while workers spin, their processors are busy. And the question
// costs a system call on some systems (1.4 us under Wine, against a split's
// 0.5 us).
inline constexpr int kCheckCallerEvery = 8;

// Before a split hands the workers their slices: the worker on the caller's
// processor, if any, makes way, when it is time to ask (`a_worker_sleeps`:
// the split will wake one). Only the pool's claimant calls it.
void MakeWayForCaller(bool a_worker_sleeps);

// Forgets every binding, for a pool that is gone or never came to be.
void ForgetPlacement();

// The processor worker k is bound to, or -1.
int WorkerProcessor(int k);

}  // namespace rowfork
