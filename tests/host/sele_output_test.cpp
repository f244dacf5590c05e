// The selection suite's row routines split give byte for byte what they give
// unsplit, guard bytes untouched, at every thread count.
#include <gtest/gtest.h>

#include "host/guarded_buffer.h"
#include "host/host_fixture.h"
#include "host/suites/sele_routines.h"

namespace lumora::testing {
namespace {

constexpr uint32_t kSele = Code("sele");
constexpr int kRowSlots[] = {13, 14, 15, 16, 17, 18, 21, 27, 32, 35, 41, 43, 46, 47, 48, 49};

using V = void *;
using I16 = int16_t;
using I32 = int32_t;
using U8 = uint8_t;

// Five planes of random bytes with guards, each wide enough for `rows` rows
// at any stride the calls below use.
struct Planes {
  static constexpr int kWidest = 48;
  Planes(int rows_, uint32_t seed)
      : rows(rows_),
        p{{PlaneBytes(rows_, kWidest), seed},
          {PlaneBytes(rows_, kWidest), seed + 1},
          {PlaneBytes(rows_, kWidest), seed + 2},
          {PlaneBytes(rows_, kWidest), seed + 3},
          {PlaneBytes(rows_, kWidest), seed + 4}} {}
  // Plane i (from 1) laid out for `stride`.
  V At(int i, int stride) { return p[i - 1].PlaneStart(rows, stride); }
  bool operator==(const Planes &other) const {
    for (int i = 0; i < 5; ++i) {
      if (!(p[i] == other.p[i])) return false;
    }
    return true;
  }
  int rows;
  GuardedBuffer p[5];
};

template <typename... Ts>
int32_t Call(Routine routine, Ts... args) {
  return reinterpret_cast<int32_t (*)(Ts...)>(routine)(args...);
}

// Calls `routine`, the routine of `slot` or its wrapper, on the planes.
// Strides differ between planes and some are negative.
void CallSlot(Routine routine, int slot, Planes &q) {
  const I16 rows = static_cast<I16>(q.rows);
  switch (slot) {
    case 13:
      Call<V, V, V, V, V, I16, I16, I16, I16>(routine, q.At(1, 24), q.At(2, 24), q.At(3, 24), q.At(4, 24),
                                              q.At(5, -16), rows, 9, 24, -16);
      break;
    case 14:
    case 15:
    case 47:
    case 48:
      Call<V, V, V, V, I16, I16, I16, I16>(routine, q.At(1, -20), q.At(2, -20), q.At(3, -20), q.At(4, 36),
                                           rows, 3, -20, 36);
      break;
    case 16:
    case 17:
      Call<V, V, V, I16, I16, I16, I16>(routine, q.At(1, 16), q.At(2, 16), q.At(3, -48), rows, 0x55, 16, -48);
      break;
    case 18:
      Call<V, V, I16, I16, I16, I16>(routine, q.At(1, 40), q.At(2, -13), rows, 3, 40, -13);
      break;
    case 21:
      Call<V, V, I16, I16, I16, I16, I16>(routine, q.At(1, -32), q.At(2, 12), 5, rows, 11, -32, 12);
      break;
    case 27:
      Call<V, I16, I16, I32>(routine, q.At(1, -44), rows, 17, -44);
      break;
    case 32:
      Call<V, I16, I16, I16, I16, I16>(routine, q.At(1, 28), rows, 4, 28, 3, 1);
      break;
    case 35:
      for (U8 flag : {U8{0}, U8{1}}) {
        Call<V, V, I16, I16, I32, I32, U8>(routine, q.At(1, -36), q.At(2, -36), rows, 6, -36, 70001, flag);
      }
      break;
    case 41:
    case 43:
      Call<V, V, I16, I16, I16, I16, U8>(routine, q.At(1, 20), q.At(2, 44), rows, 2, 20, 44, 1);
      break;
    case 46:  // the second plane's rows lie -8 * 3 bytes apart
      Call<V, V, I16, I16, I16, I16, I32, I32, U8, U8, I16>(routine, q.At(1, 30), q.At(2, -24), rows, 1, 2, 3,
                                                            30, -8, 4, 5, 3);
      break;
    case 49:
      Call<V, V, V, V, I32, I32, I32, I16, I16, I32, I32>(routine, q.At(1, 48), q.At(2, 48), q.At(3, 48),
                                                          q.At(4, -12), 3, -5, 7, rows, 9, 48, -12);
      break;
  }
}

class SeleOutput : public ModuleTest {
 protected:
  void PrepareSuites() override { PutSeleRoutines(*suites); }
};

TEST_F(SeleOutput, RowRoutinesSplitMatchTheirUnsplitOutput) {
  AtEachThreadCount([&](int) {
    HostSuites reference;  // the same routines, called directly
    PutSeleRoutines(reference);
    for (int slot : kRowSlots) {
      for (int rows : {1, 2, 3, 7, 8, 9, 31}) {
        SCOPED_TRACE(::testing::Message() << "slot " << slot << ", " << rows << " rows");
        Planes split(rows, static_cast<uint32_t>(slot * 100 + rows)), unsplit = split;
        CallSlot(reference.Table(kSele)[slot], slot, unsplit);
        CallSlot(suites->Table(kSele)[slot], slot, split);
        ASSERT_TRUE(split == unsplit);
      }
    }
  });
}

TEST_F(SeleOutput, TheByteRunSplitMatchesItsUnsplitOutput) {
  AtEachThreadCount([&](int) {
    HostSuites reference;
    PutSeleRoutines(reference);
    for (int count : {1, 8, 9, 16, 17, 24, 25, 100, 1001}) {
      SCOPED_TRACE(::testing::Message() << count << " bytes");
      GuardedBuffer split(static_cast<size_t>(count), static_cast<uint32_t>(count)), unsplit = split;
      Call<V, I16, I16, I32>(reference.Table(kSele)[26], unsplit.Data(), 3, static_cast<I16>(count),
                             0x1234567);
      Call<V, I16, I16, I32>(suites->Table(kSele)[26], split.Data(), 3, static_cast<I16>(count), 0x1234567);
      ASSERT_TRUE(split == unsplit);
    }
  });
}

}  // namespace
}  // namespace lumora::testing
