// How a count divides among the participants and how each argument moves for
// a slice, at the edges of the arithmetic: 16- and 32-bit counts, signed and
// unsigned, the chunk rules, negative strides, coordinates that wrap. The
// slices' arguments are computed as a split computes them, without running
// them (row_split_test runs them; the host tests run every row of every
// suite).
#include <gtest/gtest.h>

#include <iterator>
#include <utility>
#include <vector>

#include "pool/split.h"

namespace rowfork {
namespace {

Ptr P(intptr_t address) { return reinterpret_cast<Ptr>(address); }

// Rows per slice and the last slice's rows, or {0, 0} when the count does
// not divide.
std::pair<int32_t, int32_t> Shares(Bands bands) {
  return bands.Splits() ? std::pair{bands.per_slice, bands.last} : std::pair{0, 0};
}
constexpr std::pair<int32_t, int32_t> kUnsplit{0, 0};

// The worked examples first; then counts too small or negative, 16- and
// 32-bit counts, rows aligned to a stride, and the chunk rules, where a share
// of eight may leave the last slice nothing or reach past the run.
TEST(Bands, CountsDivideWithTheRestOnTheLastSlice) {
  const struct {
    Bands bands;
    std::pair<int32_t, int32_t> shares;
  } cases[] = {{DivideRows(10, 4), {2, 4}},
               {DivideRows(7, 2), {3, 4}},
               {DivideRows(4, 4), {1, 1}},
               {DivideRows(3, 4), kUnsplit},
               {DivideRows(65535, 2), {32767, 32768}},
               {DivideRows(100000, 2), {50000, 50000}},
               {DivideRows(0, 2), kUnsplit},
               {DivideRows(-32768, 2), kUnsplit},
               {DivideRows(100, 1), kUnsplit},
               {DivideAligned(100, 2, 16), {48, 52}},
               {DivideAligned(100, 2, -16), {48, 52}},
               {DivideAligned(100, 2, 0), {50, 50}},
               {DivideAligned(100, 2, 1024), kUnsplit},
               {DivideInMultiples(7, 2, 4), kUnsplit},
               {DivideInMultiples(20, 2, 4), {8, 12}},
               {DivideInEights(8, 2), kUnsplit},
               {DivideInEights(9, 2), {8, 1}},
               {DivideInEights(16, 3), kUnsplit},
               {DivideInEights(12, 3), kUnsplit},
               {DivideInEights(17, 3), {8, 1}},
               {DivideInEights(60, 8), {8, 4}},
               {DivideInEights(-40, 3), kUnsplit}};
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(Shares(cases[i].bands), cases[i].shares) << "case " << i;
}

TEST(Bands, OffsetsArePointerWideAndWrapOnTheThirtyTwoBitTarget) {
  EXPECT_EQ(RowOffset(65536, 65536), static_cast<intptr_t>(int64_t{1} << 32));
  EXPECT_EQ(RowOffset(32767, int32_t{-100000}, int16_t{3}), static_cast<intptr_t>(int64_t{-9830100000}));
}

// The arguments of each slice among `threads` participants; the caller's
// alone when the call does not split.
template <typename Declaration, typename In>
std::vector<In> Slices(const In &in, int threads) {
  using Splitter = typename Declaration::Splitter;
  const Bands bands = Splitter::Divide(in, threads);
  if (!bands.Splits()) return {in};
  std::vector<In> slices;
  for (int k = 0; k < threads; ++k) {
    slices.push_back(Splitter::SliceArgs(in, {k, threads, bands.First(k), bands.Count(k, threads), nullptr}));
  }
  return slices;
}

using Origins = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16), Rows<5>, Plane<1, 6>, Optional<Plane<2, 6>>,
                         Origin<3>, OriginBack<4>>;

TEST(SliceArguments, RowOriginsMoveAndWrapAndNullPlanesStayNull) {
  EXPECT_EQ(Slices<Origins>(Origins::Args{P(0x1000), nullptr, 100, 20, 10, 8}, 3),
            (std::vector<Origins::Args>{{P(0x1000), nullptr, 100, 20, 3, 8},
                                        {P(0x1018), nullptr, 103, 17, 3, 8},
                                        {P(0x1030), nullptr, 106, 14, 4, 8}}));
  EXPECT_EQ(Slices<Origins>(Origins::Args{P(0x1000), P(0x8000), 32765, -32768, 12, -2}, 3),
            (std::vector<Origins::Args>{{P(0x1000), P(0x8000), 32765, -32768, 4, -2},
                                        {P(0x0FF8), P(0x7FF8), -32767, 32764, 4, -2},
                                        {P(0x0FF0), P(0x7FF0), -32763, 32760, 4, -2}}));
}

using Runs = RowSplit<int32_t(Ptr, Ptr, Ptr, U16, I32, I16), Rows<4>, Run<1, 1>, Run<2, 2>, Plane<3, 5, 6>>;
using Even = RowSplit<int32_t(Ptr, Ptr, I32, I32), Rows<3>, EvenPlane<1, 4>, Plane<2, 4>>;

TEST(SliceArguments, UnsignedAndThirtyTwoBitCountsElementRunsAndEvenPlanes) {
  EXPECT_EQ(Slices<Runs>(Runs::Args{P(0x10000), P(0x20000), P(0x30000), 65535, 100, -3}, 2),
            (std::vector<Runs::Args>{
                {P(0x10000), P(0x20000), P(0x30000), 32767, 100, -3},
                {P(0x10000 + 32767), P(0x20000 + 2 * 32767), P(0x30000 - 300 * 32767), 32768, 100, -3}}));
  EXPECT_EQ(Slices<Even>(Even::Args{P(0x10000), P(0x20000), 100000, 2}, 2),
            (std::vector<Even::Args>{{P(0x10000), P(0x20000), 50000, 2},
                                     {P(0x10000 + 100000), P(0x20000 + 100000), 50000, 2}}));
  // Offsets of 16-bit planes are rounded down to even bytes: toward minus
  // infinity for a negative stride.
  EXPECT_EQ(Slices<Even>(Even::Args{P(0x10000), P(0x20000), 9, -5}, 3),
            (std::vector<Even::Args>{{P(0x10000), P(0x20000), 3, -5},
                                     {P(0x10000 - 16), P(0x20000 - 15), 3, -5},
                                     {P(0x10000 - 30), P(0x20000 - 30), 3, -5}}));
}

struct Record {
  int16_t rows;
};
using Records = RecordSplit<Record, RowsField<&Record::rows>>;

TEST(SliceArguments, ANullRecordRunsUnsplit) {
  EXPECT_EQ(Records::Run([](Ptr record) { return record == nullptr ? 9 : 0; }, nullptr), 9);
}

}  // namespace
}  // namespace rowfork
