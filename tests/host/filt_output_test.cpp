// The filter suite's split output against the unsplit output of the same
// host routines, byte for byte, guard bytes included, at every thread count.
#include <gtest/gtest.h>

#include <vector>

#include "host/filt_signatures.h"
#include "host/guarded_buffer.h"
#include "host/host_fixture.h"
#include "host/rows/filt_shapes.h"
#include "host/suites/filt_routines.h"

namespace lumora::testing {
namespace {

class FiltOutput : public ModuleTest {
 protected:
  void PrepareSuites() override { PutFiltRoutines(*suites); }
};

TEST_F(FiltOutput, EverySlotSplitWritesWhatItWritesUnsplit) {
  AtEachThreadCount([&](int) {
    HostSuites reference;  // the same routines, called directly
    PutFiltRoutines(reference);
    for (const FiltShape &shape : kFiltShapes) {
      std::vector<int> counts = {1, 2, 3, 7, 9, 31, 64};
      if (shape.large_count != 0) counts.push_back(shape.large_count);
      for (int count : counts) {
        const FiltWorkspace start(static_cast<size_t>(count + 2) * shape.bytes_per_count);
        for (int slot : shape.slots) {
          SCOPED_TRACE(::testing::Message() << "slot " << slot << ", count " << count);
          FiltWorkspace split = start, unsplit = start;
          shape.call(reference.Table(kFilt)[slot], unsplit, count);
          shape.call(suites->Table(kFilt)[slot], split, count);
          ASSERT_TRUE(split == unsplit);
        }
      }
    }
  });
}

TEST_F(FiltOutput, KernelSumsFindTheirTableReadyForTheirStride) {
  const std::vector<KernelEntry> cross = {
      {-1, 0, {}, 0}, {0, -1, {}, 0}, {0, 0, {}, 0}, {0, 1, {}, 0}, {1, 0, {}, 0}};
  AtEachThreadCount([&](int) {
    HostSuites reference;
    PutFiltRoutines(reference);
    for (int rows : {1, 2, 3, 7, 9, 31, 64}) {
      for (auto [sa, sb] : {std::pair{40, -48}, std::pair{-44, 40}}) {
        SCOPED_TRACE(::testing::Message() << rows << " rows, stride " << sa);
        KernelTable stale(cross, 0x11111111), ready(cross, 0x11111111);
        ready.ComputeFor(sa);
        const FiltWorkspace start(static_cast<size_t>(rows + 2) * 48);
        FiltWorkspace split = start, unsplit = start;
        As<KernelFn>(suites->Table(kFilt)[0])(0, stale.Handle(), 0, 0);
        As<TwoPlaneFn>(suites->Table(kFilt)[11])(split.Plane(0, rows, sa), split.Plane(1, rows, sb),
                                                 Count16(rows), kFiltWidth, Count16(sa), Count16(sb));
        As<KernelFn>(reference.Table(kFilt)[0])(0, ready.Handle(), 0, 0);
        As<TwoPlaneFn>(reference.Table(kFilt)[11])(unsplit.Plane(0, rows, sa), unsplit.Plane(1, rows, sb),
                                                   Count16(rows), kFiltWidth, Count16(sa), Count16(sb));
        ASSERT_TRUE(split == unsplit);
        for (int i = 0; i < stale.Size(); ++i) EXPECT_EQ(stale.Entry(i).linear, ready.Entry(i).linear);
      }
    }
  });
}

}  // namespace
}  // namespace lumora::testing
