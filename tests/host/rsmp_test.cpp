// The resampling suite through the host's own table: per-row tables that move
// with the rows, byte runs divided in chunks, row lengths in 4- and 8-byte
// units, and slot 4's multiplication tables, which the module fills itself.
#include <gtest/gtest.h>

#include <random>

#include "host/rows/rsmp_rows.h"
#include "host/slot_table.h"
#include "host/suites/rsmp_routines.h"

namespace lumora::testing {
namespace {

using MultiplyRoutine = int32_t (*)(I16, Ptr, Ptr);
constexpr size_t kColumnBytes = 32 * 256 * 4;

// A coefficient matrix of 32 rows of `columns`, with both extremes of 16 bits.
std::vector<I16> Coefficients(int columns, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<I16> matrix(static_cast<size_t>(32 * columns));
  for (I16 &c : matrix) c = static_cast<I16>(random());
  matrix[0] = -32768;
  matrix.back() = 32767;
  return matrix;
}

class RsmpSlices : public TableTest<kRsmpRows> {
 protected:
  void PrepareSuites() override {
    TableTest::PrepareSuites();
    suites->SetSlot(kRsmp, 4, &RecordingRoutine<kRsmp, 4, 44, I16, Ptr, Ptr>);
  }
};

TEST_F(RsmpSlices, EverySlotAtEveryThreadCount) { ExpectEverySlice(); }

TEST_F(RsmpSlices, TheWorkedExamples) {
  if (!StartOn(2)) GTEST_SKIP() << "needs two processors";
  // Slot 3: 7 / 2 = 3, cut to a multiple of 4, is 0: unsplit. 20 bytes: 8 and 12.
  EXPECT_EQ(Slices(3, {1000, 5000, 3, 7, 50, 6, 7, 80}),
            (std::vector<Numbers>{{1000, 5000, 3, 7, 50, 6, 7, 80}}));
  EXPECT_EQ(Slices(3, {1000, 5000, 3, 20, 50, 6, 7, 80}),
            (std::vector<Numbers>{{1000, 5000, 3, 8, 50, 6, 7, 80}, {1008, 5008, 3, 12, 50, 6, 7, 80}}));
  // Slot 7 takes its chunk as it comes: 3 and 4 bytes.
  EXPECT_EQ(
      Slices(7, {1000, 5000, 3, 7, 50, 60, 7, 8, 90}),
      (std::vector<Numbers>{{1000, 5000, 3, 3, 50, 60, 7, 8, 90}, {1003, 5003, 3, 4, 50, 60, 7, 8, 90}}));
  // Per-row tables: slot 0's moves 2 bytes a row, slot 9's 32.
  EXPECT_EQ(Slices(0, {1, 1000, 10, 4, 5, 6, 3000, 8, 9, 100, 11, 12}),
            (std::vector<Numbers>{{1, 1000, 5, 4, 5, 6, 3000, 8, 9, 100, 11, 12},
                                  {1, 1500, 5, 4, 5, 6, 3010, 8, 9, 100, 11, 12}}));
  EXPECT_EQ(Slices(9, {1000, 5000, 10, 4, 5, 30000, 20, 40, 9}),
            (std::vector<Numbers>{{1000, 5000, 5, 4, 5, 30000, 20, 40, 9},
                                  {1100, 5200, 5, 4, 5, 30160, 20, 40, 9}}));
  // Slots 10 and 12 move their second argument by argument 6; slots 11 and 13
  // leave theirs alone. Row lengths count 4 and 8 bytes.
  for (int slot : {10, 12}) {
    EXPECT_EQ(Slices(slot, {1000, 5000, 9000, 10, 3, 40, 7, 8, 9, 10, 11, 12}),
              (std::vector<Numbers>{{1000, 5000, 9000, 5, 3, 40, 7, 8, 9, 10, 11, 12},
                                    {1060, 5200, 9040, 5, 3, 40, 7, 8, 9, 10, 11, 12}}));
  }
  for (int slot : {11, 13}) {
    EXPECT_EQ(Slices(slot, {1000, 5000, 9000, 10, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14}),
              (std::vector<Numbers>{{1000, 5000, 9000, 5, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14},
                                    {1120, 5000, 9040, 5, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14}}));
  }
}

// Slot 4 fills the tables of 1 to 37 columns itself, split or not, never
// calling the host, as the host's routine would, guards included; only the
// call's first column starts at 32,768. Without a matrix or an output it
// writes nothing.
TEST_F(RsmpSlices, SlotFourFillsItsTablesItself) {
  AtEachThreadCount([&](int) {
    const auto fill = reinterpret_cast<MultiplyRoutine>(suites->Table(kRsmp)[4]);
    for (int columns : {1, 2, 3, 7, 10, 37}) {
      SCOPED_TRACE(::testing::Message() << columns << " columns");
      std::vector<I16> matrix = Coefficients(columns, static_cast<uint32_t>(columns));
      GuardedBuffer split(size_t(columns) * kColumnBytes, 9), expected = split;
      MultiplyTablesByFormula(static_cast<I16>(columns), matrix.data(), expected.Data());
      CallLog::Clear();
      EXPECT_EQ(fill(static_cast<I16>(columns), matrix.data(), split.Data()), 0);
      EXPECT_TRUE(CallLog::Take().empty());
      EXPECT_TRUE(split == expected);
      const auto *entries = reinterpret_cast<const uint32_t *>(split.Data());
      for (int i = 0; i < columns; ++i) EXPECT_EQ(entries[size_t(i) * 32 * 256], i == 0 ? 32768u : 0u) << i;
    }
    std::vector<I16> matrix = Coefficients(8, 5);
    std::vector<uint8_t> untouched(8 * kColumnBytes, 0x5A);
    EXPECT_EQ(fill(1, nullptr, untouched.data()), 0);
    EXPECT_EQ(fill(8, matrix.data(), nullptr), 0);
    EXPECT_EQ(untouched, std::vector<uint8_t>(8 * kColumnBytes, 0x5A));
    EXPECT_TRUE(CallLog::Take().empty());
  });
}

using RsmpOutput = TableTest<kRsmpRows, &PutRsmpRoutines>;

TEST_F(RsmpOutput, SplitOutputMatchesTheUnsplitOutput) { ExpectEveryOutput(); }

}  // namespace
}  // namespace lumora::testing
