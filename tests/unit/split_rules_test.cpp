// Each word of the split vocabulary, through a declaration that uses it.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "pool/split.h"
#include "unit/module_fixture.h"

namespace rowfork::testing {
namespace {

SliceLog *log_;

int64_t N(const void *pointer) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(pointer)); }
Ptr P(intptr_t address) { return reinterpret_cast<Ptr>(address); }

class SplitRules : public ::testing::Test {
 protected:
  void SetUp() override { log_ = &log; }
  // The slices of the last call, ordered by the given argument.
  std::vector<std::vector<int64_t>> Slices(int key_arg = 0) {
    std::vector<std::vector<int64_t>> slices;
    for (auto &call : log.Sorted(key_arg)) slices.push_back(call.args);
    return slices;
  }
  std::vector<int64_t> Column(int arg, int key_arg = 0) {
    std::vector<int64_t> column;
    for (auto &slice : Slices(key_arg)) column.push_back(slice[static_cast<size_t>(arg)]);
    return column;
  }
  SliceLog log;
};

// ---- optional planes, row origins, element runs, products ----

int32_t RecordOrigins(Ptr plane, Ptr optional, I16 origin, I16 back, I16 rows, I16 stride) {
  log_->Add({N(plane), N(optional), origin, back, rows, stride});
  return 0;
}
using Origins = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16), Rows<5>, Plane<1, 6>, Optional<Plane<2, 6>>,
                         Origin<3>, OriginBack<4>>;

TEST_F(SplitRules, RowOriginsMoveWithTheirSliceAndNullPlanesStayNull) {
  LivePool pool(3);
  Origins::Run(&RecordOrigins, P(0x1000), nullptr, 100, 20, 10, 8);
  EXPECT_EQ(Column(0), (std::vector<int64_t>{0x1000, 0x1000 + 24, 0x1000 + 48}));
  EXPECT_EQ(Column(1), (std::vector<int64_t>{0, 0, 0}));
  EXPECT_EQ(Column(2), (std::vector<int64_t>{100, 103, 106}));
  EXPECT_EQ(Column(3), (std::vector<int64_t>{20, 17, 14}));
  EXPECT_EQ(Column(4), (std::vector<int64_t>{3, 3, 4}));

  SliceLog second;
  log_ = &second;
  Origins::Run(&RecordOrigins, P(0x1000), P(0x8000), -8, -32768, 12, -2);
  std::vector<int64_t> optional, origins, backs;
  for (auto &call : second.Sorted(2)) {
    optional.push_back(call.args[1]);
    origins.push_back(call.args[2]);
    backs.push_back(call.args[3]);
  }
  EXPECT_EQ(optional, (std::vector<int64_t>{0x8000, 0x8000 - 8, 0x8000 - 16}));
  EXPECT_EQ(origins, (std::vector<int64_t>{-8, -4, 0}));
  EXPECT_EQ(backs, (std::vector<int64_t>{-32768, 32764, 32760})) << "16-bit coordinates wrap";
}

int32_t RecordRuns(Ptr bytes, Ptr halves, Ptr product, U16 count, I32 stride, I16 factor) {
  log_->Add({N(bytes), N(halves), N(product), count, stride, factor});
  return 0;
}
using Runs = RowSplit<int32_t(Ptr, Ptr, Ptr, U16, I32, I16), Rows<4>, Run<1, 1>, Run<2, 2>, Plane<3, 5, 6>>;

TEST_F(SplitRules, ElementRunsAndStrideProductsUseUnsignedCounts) {
  LivePool pool(2);
  Runs::Run(&RecordRuns, P(0x10000), P(0x20000), P(0x30000), 65535, 100, -3);
  EXPECT_EQ(Column(3), (std::vector<int64_t>{32767, 32768}));
  EXPECT_EQ(Column(0), (std::vector<int64_t>{0x10000, 0x10000 + 32767}));
  EXPECT_EQ(Column(1), (std::vector<int64_t>{0x20000, 0x20000 + 2 * 32767}));
  EXPECT_EQ(Column(2, 1), (std::vector<int64_t>{0x30000, 0x30000 - 32767 * 300}));
}

int32_t RecordEven(Ptr halves, Ptr bytes, I32 rows, I32 stride) {
  log_->Add({N(halves), N(bytes), rows, stride});
  return 0;
}
using Even = RowSplit<int32_t(Ptr, Ptr, I32, I32), Rows<3>, EvenPlane<1, 4>, Plane<2, 4>>;

TEST_F(SplitRules, EvenPlanesRoundTheirOffsetDownToEvenBytes) {
  LivePool pool(3);
  Even::Run(&RecordEven, P(0x10000), P(0x20000), 9, 5);
  EXPECT_EQ(Column(0), (std::vector<int64_t>{0x10000, 0x10000 + 14, 0x10000 + 30}));
  EXPECT_EQ(Column(1), (std::vector<int64_t>{0x20000, 0x20000 + 15, 0x20000 + 30}));
  SliceLog second;
  log_ = &second;
  Even::Run(&RecordEven, P(0x10000), P(0x20000), 9, -5);
  std::vector<int64_t> halves;
  for (auto &call : second.Sorted(1)) halves.push_back(call.args[0] - 0x10000);
  EXPECT_EQ(halves, (std::vector<int64_t>{-30, -16, 0})) << "rounded toward minus infinity";
}

TEST_F(SplitRules, ThirtyTwoBitCountsSplitExactly) {
  LivePool pool(2);
  Even::Run(&RecordEven, P(0x10000), P(0x20000), 100000, 2);
  EXPECT_EQ(Column(2), (std::vector<int64_t>{50000, 50000}));
  EXPECT_EQ(Column(1), (std::vector<int64_t>{0x20000, 0x20000 + 100000}));
}

// ---- scratch buffers and a thread cap ----

int32_t UseScratch(Ptr plane, I16 rows, I16 stride, Ptr scratch) {
  std::memset(scratch, static_cast<int>(rows), 8192);  // the whole buffer is the slice's own
  log_->Add({N(plane), rows, stride, N(scratch)});
  return 0;
}
using Scratch =
    RowSplit<int32_t(Ptr, I16, I16, Ptr), Rows<2>, Plane<1, 3>, SliceScratch<4, 8192>, AtMostThreads<4>>;

TEST_F(SplitRules, ScratchBuffersAreTheSlicesOwnUpToTheCap) {
  std::vector<unsigned char> callers(8192);
  for (int threads : {2, 3, 4}) {
    SCOPED_TRACE(threads);
    LivePool pool(threads);
    SliceLog fresh;
    log_ = &fresh;
    Scratch::Run(&UseScratch, P(0x1000), 40, 1, callers.data());
    auto slices = fresh.Sorted();
    ASSERT_EQ(slices.size(), static_cast<size_t>(threads));
    EXPECT_EQ(slices.back().args[3], N(callers.data())) << "the last slice keeps the caller's buffer";
    for (int k = 1; k + 1 < threads; ++k) {
      EXPECT_EQ(slices[static_cast<size_t>(k)].args[3] - slices[0].args[3], 8192 * k);
    }
  }
  LivePool five(5);
  SliceLog unsplit;
  log_ = &unsplit;
  Scratch::Run(&UseScratch, P(0x1000), 40, 1, callers.data());
  ASSERT_EQ(unsplit.Size(), 1u) << "more threads than the cap run unsplit";
  EXPECT_EQ(unsplit.Sorted()[0].args[3], N(callers.data()));
}

// ---- conditions on arguments, aligned rows, chunked counts ----

int32_t RecordAligned(Ptr plane, Ptr other, I16 rows, I16 units, I32 stride, I16 flag) {
  log_->Add({N(plane), N(other), rows, units, stride, flag});
  return 0;
}
using Aligned = RowSplit<int32_t(Ptr, Ptr, I16, I16, I32, I16), AlignedRows<3, 5>, Plane<1, 5>,
                         ScaledPlane<2, 4, 4>, UnsplitWhenArgIs<6, 1>>;

TEST_F(SplitRules, AlignedRowsFollowTheStrideAndArgumentConditionsHold) {
  LivePool pool(2);
  Aligned::Run(&RecordAligned, P(0x10000), P(0x90000), 100, 3, 16, 0);
  EXPECT_EQ(Column(2), (std::vector<int64_t>{48, 52}));
  EXPECT_EQ(Column(0), (std::vector<int64_t>{0x10000, 0x10000 + 48 * 16}));
  EXPECT_EQ(Column(1), (std::vector<int64_t>{0x90000, 0x90000 + 48 * 12}));

  for (auto [stride, flag] : {std::pair{1024, 0}, std::pair{16, 1}}) {
    SliceLog unsplit;
    log_ = &unsplit;
    Aligned::Run(&RecordAligned, P(0x10000), P(0x90000), 100, 3, stride, static_cast<I16>(flag));
    EXPECT_EQ(unsplit.Size(), 1u) << stride << " " << flag;
  }
  SliceLog zero;
  log_ = &zero;
  Aligned::Run(&RecordAligned, P(0x10000), P(0x90000), 100, 3, 0, 0);
  std::vector<int64_t> planes;
  for (auto &call : zero.Sorted(2)) planes.push_back(call.args[0]);
  EXPECT_EQ(planes, (std::vector<int64_t>{0x10000, 0x10000})) << "stride 0: no alignment, no movement";
}

int32_t RecordChunks(Ptr run, I16 count) {
  log_->Add({N(run), count});
  return 0;
}
using Fours = RowSplit<int32_t(Ptr, I16), InMultiples<2, 4>, Run<1, 1>>;
using Eights = RowSplit<int32_t(Ptr, I16), InEights<2>, Run<1, 1>>;

TEST_F(SplitRules, ChunkedCountsKeepEveryShareButTheLastAMultiple) {
  struct Case {
    int threads;
    bool eights;
    int count;
    std::vector<int64_t> shares;
  };
  const Case cases[] = {
      {2, false, 7, {7}},           {2, false, 20, {8, 12}},
      {3, false, 50, {16, 16, 18}}, {2, true, 8, {8}},
      {2, true, 9, {8, 1}},         {2, true, 100, {48, 52}},
      {3, true, 16, {16}},          {3, true, 17, {8, 8, 1}},
      {8, true, 56, {56}},          {8, true, 60, {8, 8, 8, 8, 8, 8, 8, 4}},
      {3, true, -40, {-40}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.threads << " threads, count " << c.count);
    LivePool pool(c.threads);
    SliceLog fresh;
    log_ = &fresh;
    if (c.eights) {
      Eights::Run(&RecordChunks, P(0x1000), static_cast<I16>(c.count));
    } else {
      Fours::Run(&RecordChunks, P(0x1000), static_cast<I16>(c.count));
    }
    std::vector<int64_t> shares;
    int64_t expected_start = 0x1000;
    for (auto &call : fresh.Sorted()) {
      EXPECT_EQ(call.args[0], expected_start);
      expected_start += call.args[1];
      shares.push_back(call.args[1]);
    }
    EXPECT_EQ(shares, c.shares);
  }
}

// ---- combined results ----

int32_t slice_results[3];

int32_t ResultOfSlice(Ptr index, I16 rows, I16 stride) {
  log_->Add({N(index), rows, stride});
  return slice_results[N(index)];
}
using Summed = RowSplit<int32_t(Ptr, I16, I16), Rows<2>, Plane<1, 3>, SumOfResults>;
using AllOf = RowSplit<int32_t(Ptr, I16, I16), Rows<2>, Plane<1, 3>, AllResultsNonZero>;

TEST_F(SplitRules, SummedAndAndedResultsCombineEverySlice) {
  LivePool pool(3);
  slice_results[0] = 5, slice_results[1] = 7, slice_results[2] = 11;
  EXPECT_EQ(Summed::Run(&ResultOfSlice, P(0), 3, 1), 23);
  slice_results[0] = -1, slice_results[1] = 1, slice_results[2] = 0;
  EXPECT_EQ(Summed::Run(&ResultOfSlice, P(0), 3, 1), 0) << "32-bit wrapping sum";

  slice_results[0] = 1, slice_results[1] = 0x7F01, slice_results[2] = 3;
  EXPECT_EQ(AllOf::Run(&ResultOfSlice, P(0), 3, 1), 1);
  slice_results[1] = 256;
  EXPECT_EQ(AllOf::Run(&ResultOfSlice, P(0), 3, 1), 0) << "only the low byte of each result counts";
  slice_results[0] = 256;
  EXPECT_EQ(AllOf::Run(&ResultOfSlice, P(0), 2, 1), 256) << "unsplit hands back the full result";
}

// ---- records, pre-steps ----

struct TestRecord {
  int32_t tag;
  int16_t rows;
  int16_t kept;
  Ptr plane1;
  int32_t stride1;
  Ptr plane2;
  int32_t stride2;
};
using Records = RecordSplit<TestRecord, RowsField<&TestRecord::rows>,
                            Optional<FieldPlane<&TestRecord::plane1, &TestRecord::stride1>>,
                            Optional<FieldEvenPlane<&TestRecord::plane2, &TestRecord::stride2>>>;

const TestRecord *callers_record;

int32_t RecordCopy(Ptr record) {
  const auto *copy = static_cast<const TestRecord *>(record);
  log_->Add({copy->rows, N(copy->plane1), N(copy->plane2), copy->tag, copy->kept, copy->stride1, N(record),
             record == callers_record ? 1 : 0});
  return 0;
}

TEST_F(SplitRules, RecordsAreCopiedPerSliceAndTheCallersIsOnlyRead) {
  LivePool pool(4);
  const TestRecord record{77, 10, -3, nullptr, 100, P(0x5000), 5};
  callers_record = &record;
  TestRecord before;
  std::memcpy(&before, &record, sizeof(record));
  Records::Run(&RecordCopy, const_cast<TestRecord *>(&record));
  EXPECT_EQ(std::memcmp(&before, &record, sizeof(record)), 0);
  const auto slices = Slices(2);
  ASSERT_EQ(slices.size(), 4u);
  std::set<int64_t> copies;
  for (size_t k = 0; k < 4; ++k) {
    EXPECT_EQ(slices[k][0], k == 3 ? 4 : 2);
    EXPECT_EQ(slices[k][1], 0) << "a null plane stays null";
    EXPECT_EQ(slices[k][2], 0x5000 + ((static_cast<int64_t>(k) * 2 * 5) & ~int64_t{1}));
    EXPECT_EQ(slices[k][3], 77);
    EXPECT_EQ(slices[k][4], -3);
    EXPECT_EQ(slices[k][5], 100);
    EXPECT_EQ(slices[k][7], 0) << "no slice sees the caller's record";
    copies.insert(slices[k][6]);
  }
  EXPECT_EQ(copies.size(), 4u) << "every slice has a copy of its own";

  SliceLog unsplit;
  log_ = &unsplit;
  const TestRecord small{1, 3, 0, nullptr, 0, nullptr, 0};
  callers_record = &small;
  Records::Run(&RecordCopy, const_cast<TestRecord *>(&small));
  ASSERT_EQ(unsplit.Size(), 1u);
  EXPECT_EQ(unsplit.Sorted()[0].args[7], 1) << "unsplit passes the caller's record itself";
}

int pre_steps;
void CountPreStep(Ptr, Ptr, I16, I16, I16, I16) { ++pre_steps; }
int32_t RecordPlanes(Ptr a, Ptr b, I16 rows, I16 value, I16 stride_a, I16 stride_b) {
  log_->Add({N(a), N(b), rows, value, stride_a, stride_b});
  return 0;
}
using Planes = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16), Rows<3>, Plane<1, 5>, Plane<2, 6>>;

TEST_F(SplitRules, APreStepRunsOnceOnTheCallerSplitOrNot) {
  LivePool pool(2);
  pre_steps = 0;
  WithPreStep<&CountPreStep, Planes>::Run(&RecordPlanes, P(0), P(0), 10, 0, 1, 1);
  EXPECT_EQ(pre_steps, 1);
  EXPECT_EQ(log.Size(), 2u);
  WithPreStep<&CountPreStep, Planes>::Run(&RecordPlanes, P(0), P(0), 1, 0, 1, 1);
  EXPECT_EQ(pre_steps, 2);
  EXPECT_EQ(log.Size(), 3u);
}

// ---- long argument lists ----

static_assert(std::is_same_v<PlusArgs<int32_t(Ptr, Ptr), 3, I32>, int32_t(Ptr, Ptr, I32, I32, I32)>);
static_assert(std::is_same_v<PlusArgs<int32_t(U8), 0, I16>, int32_t(U8)>);

int32_t RecordLong(Ptr plane, I32 rows, I32 stride, I32 a, I32 b, I32 c, I32 d) {
  log_->Add({N(plane), rows, stride, a, b, c, d});
  return 0;
}
using Long = RowSplit<PlusArgs<int32_t(Ptr), 6, I32>, Rows<2>, Plane<1, 3>>;

TEST_F(SplitRules, LongArgumentListsReachEverySliceWhole) {
  LivePool pool(2);
  Long::Run(&RecordLong, P(0x1000), 5, 8, -1, 0x7FFFFFFF, 3, 4);
  EXPECT_EQ(Slices(), (std::vector<std::vector<int64_t>>{{0x1000, 2, 8, -1, 0x7FFFFFFF, 3, 4},
                                                         {0x1000 + 16, 3, 8, -1, 0x7FFFFFFF, 3, 4}}));
}

}  // namespace
}  // namespace rowfork::testing
