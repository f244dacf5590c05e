// A split allocates nothing: every malloc of the process is counted across
// many splits of every kind. (Built without sanitizers, whose allocators
// would take the place of these counters.)
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

#include "pool/pool.h"
#include "pool/split.h"

extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *pointer, size_t size);
}

namespace {
std::atomic<long> allocations{0};
}

extern "C" void *malloc(size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(size);
}
extern "C" void *calloc(size_t count, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(count, size);
}
extern "C" void *realloc(void *pointer, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(pointer, size);
}

namespace rowfork {
namespace {

int32_t Touch(Ptr plane, I16 rows, I16 stride, Ptr scratch) {
  static_cast<unsigned char *>(plane)[0] = static_cast<unsigned char>(rows + stride);
  if (scratch != nullptr) static_cast<unsigned char *>(scratch)[0] = 1;
  return 1;
}
using Plain = RowSplit<int32_t(Ptr, I16, I16, Ptr), Rows<2>, Plane<1, 3>, SumOfResults>;
using Scratch =
    RowSplit<int32_t(Ptr, I16, I16, Ptr), Rows<2>, Plane<1, 3>, SliceScratch<4, 8192>, AtMostThreads<4>>;

struct Record {
  int32_t tag;
  int16_t rows;
  Ptr plane;
  int32_t stride;
};
int32_t TouchRecord(Ptr record) { return static_cast<Record *>(record)->rows; }
using Records =
    RecordSplit<Record, RowsField<&Record::rows>, Optional<FieldPlane<&Record::plane, &Record::stride>>>;

TEST(SplitAllocations, NoSplitAllocates) {
  for (int threads : {2, 4, 8}) {
    WaitAndClaimPool();
    const int16_t built = CreateWorkerPool(static_cast<int16_t>(threads));
    ReleasePool();
    ASSERT_EQ(built, 0);
    unsigned char plane[4096];
    unsigned char callers_scratch[8192];
    Record record{0, 64, plane, 16};
    // The first split of each kind may touch lazily made runtime state.
    Plain::Run(&Touch, plane, 64, 16, nullptr);
    const long before = allocations.load();
    for (int i = 0; i < 20000; ++i) {
      EXPECT_EQ(Plain::Run(&Touch, plane, 64, 16, nullptr), threads);
      Scratch::Run(&Touch, plane, 64, 16, callers_scratch);
      Records::Run(&TouchRecord, &record);
    }
    EXPECT_EQ(allocations.load() - before, 0) << threads << " threads";
    WaitAndClaimPool();
    DestroyWorkerPool();
    ReleasePool();
  }
}

}  // namespace
}  // namespace rowfork
