// Slot 2 split: the module counts the six histograms itself, and the table
// the host named through slot 0 ends up with what one run over all rows would
// have left in it, whether that run is the host's routine or the reference.
#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "histogram_reference.h"
#include "host/host_fixture.h"
#include "host/suites/sele_routines.h"

namespace lumora::testing {
namespace {

constexpr uint32_t kSele = Code("sele");

using HostCount = int32_t (*)(void *, void *, void *, void *, void *, int16_t, int16_t, int16_t, int16_t,
                              int16_t);
using NameTable = int32_t (*)(void *);

// The host's routines, called directly; slot 2's calls are counted.
Routine host_name_table;
HostCount host_count;
std::atomic<int> host_count_calls;

int32_t CountedHostCount(void *a, void *b, void *c, void *w, void *mask, int16_t rows, int16_t columns,
                         int16_t stride, int16_t mask_stride, int16_t threshold) {
  host_count_calls.fetch_add(1);
  return host_count(a, b, c, w, mask, rows, columns, stride, mask_stride, threshold);
}

// A photograph-like picture: smooth runs with noise, and a mask that is
// full, empty and in between.
struct Picture : histogram_reference::Picture {
  Picture(int rows_, int columns_, int stride_, int mask_stride_, uint32_t seed)
      : histogram_reference::Picture(rows_, columns_, stride_, mask_stride_) {
    std::mt19937 random(seed);
    for (auto *plane : {&a, &b, &c, &w}) {
      for (size_t i = 0; i < plane->size(); ++i) (*plane)[i] = static_cast<uint8_t>(i / 7 + random() % 4);
    }
    for (size_t i = 0; i < mask.size(); ++i) mask[i] = static_cast<uint8_t>(i % 5 == 0 ? random() : i * 3);
  }
};

void Count(Routine routine, const histogram_reference::Band &band) {
  reinterpret_cast<HostCount>(routine)(
      const_cast<uint8_t *>(band.a), const_cast<uint8_t *>(band.b), const_cast<uint8_t *>(band.c),
      const_cast<uint8_t *>(band.w), const_cast<uint8_t *>(band.mask), static_cast<int16_t>(band.rows),
      static_cast<int16_t>(band.columns), static_cast<int16_t>(band.stride),
      static_cast<int16_t>(band.mask_stride), static_cast<int16_t>(band.threshold));
}

class SeleHistograms : public ModuleTest {
 protected:
  void PrepareSuites() override {
    PutSeleRoutines(*suites);
    host_name_table = suites->Table(kSele)[0];
    host_count = reinterpret_cast<HostCount>(suites->Table(kSele)[2]);
    suites->SetSlot(kSele, 2, &CountedHostCount);
    host_count_calls = 0;
  }
  Routine Slot(int slot) { return suites->Table(kSele)[slot]; }

  // The host's own count of `band` into a table of its own, unsplit.
  std::vector<uint32_t> HostCounts(const histogram_reference::Band &band) {
    std::vector<uint32_t> table(histogram_reference::kCounters, 0);
    reinterpret_cast<NameTable>(host_name_table)(table.data());
    Count(reinterpret_cast<Routine>(host_count), band);
    return table;
  }
};

TEST_F(SeleHistograms, SplitCountsEqualOneRunOverAllRows) {
  struct Shape {
    int rows, columns, stride, mask_stride;
  };
  // A mask row stride wider than the columns (and than the planes' stride),
  // negative strides, columns on both sides of whole blocks of sixteen.
  const Shape shapes[] = {
      {2, 5, 8, 8}, {3, 16, -16, 40}, {7, 37, 40, -64}, {31, 64, -70, 200}, {64, 100, 100, 100}};
  AtEachThreadCount([&](int threads) {
    uint32_t seed = 11;
    for (const Shape &shape : shapes) {
      Picture picture(shape.rows, shape.columns, shape.stride, shape.mask_stride, seed++);
      for (bool masked : {false, true}) {
        for (int threshold : {-1, 0, 128, 255, 300}) {
          if (!masked && threshold != 0) continue;
          SCOPED_TRACE(::testing::Message() << shape.rows << " rows, " << shape.columns << " columns, "
                                            << (masked ? "threshold " : "no mask ") << threshold);
          const histogram_reference::Band band = picture.Of(masked, threshold);
          const std::vector<uint32_t> expected = histogram_reference::Counts(band);
          EXPECT_EQ(HostCounts(band), expected) << "the host's routine agrees with the reference";
          host_count_calls = 0;
          std::vector<uint32_t> table(histogram_reference::kCounters, 0);
          EXPECT_EQ(reinterpret_cast<NameTable>(Slot(0))(table.data()), kSeleTableResult);
          Count(Slot(2), band);
          EXPECT_EQ(host_count_calls, shape.rows < threads ? 1 : 0) << "split unless there are too few rows";
          ASSERT_EQ(table, expected);
        }
      }
    }
  });
}

TEST_F(SeleHistograms, ConsecutiveCallsAddUp) {
  AtEachThreadCount([&](int) {
    Picture picture(45, 50, -60, 64, 3);
    const histogram_reference::Band first = picture.Of(true, 40), second = picture.Of(false, 0);
    std::vector<uint32_t> table(histogram_reference::kCounters, 5), expected = table;
    histogram_reference::AddCounts(first, expected);
    histogram_reference::AddCounts(second, expected);
    reinterpret_cast<NameTable>(Slot(0))(table.data());
    Count(Slot(2), first);
    Count(Slot(2), second);
    EXPECT_EQ(host_count_calls, 0);
    EXPECT_EQ(table, expected);
  });
}

TEST_F(SeleHistograms, TheTableIsTheOneSlotZeroNamedLast) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  Picture picture(20, 30, 30, 30, 9);
  std::vector<uint32_t> old_table(histogram_reference::kCounters, 0), table = old_table;
  reinterpret_cast<NameTable>(Slot(0))(old_table.data());
  reinterpret_cast<NameTable>(Slot(0))(table.data());
  Count(Slot(2), picture.Of(true, 100));
  EXPECT_EQ(table, histogram_reference::Counts(picture.Of(true, 100)));
  EXPECT_EQ(old_table, std::vector<uint32_t>(histogram_reference::kCounters, 0));
}

}  // namespace
}  // namespace lumora::testing
