// A mix of wrapped calls over the split slots of every suite with working
// host routines, each prepared once with the output that the host's own
// routine gives unsplit, then repeated in bulk on fresh copies of its planes.
// A few slots forward to another wrapped slot of their suite, so that a
// wrapped call is made from inside every slice, on the workers and on the
// calling thread.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "host/rows/blnd_rows.h"
#include "host/rows/disp_rows.h"
#include "host/rows/filt_rows.h"
#include "host/rows/memo_rows.h"
#include "host/rows/pntg_rows.h"
#include "host/rows/rast_rows.h"
#include "host/rows/rsmp_rows.h"
#include "host/rows/sele_rows.h"
#include "host/slot_table.h"
#include "host/suites/blnd_routines.h"
#include "host/suites/disp_routines.h"
#include "host/suites/filt_routines.h"
#include "host/suites/memo_routines.h"
#include "host/suites/pntg_routines.h"
#include "host/suites/rast_routines.h"
#include "host/suites/rsmp_routines.h"
#include "host/suites/sele_routines.h"

namespace lumora::testing {

inline void PutWorkingRoutines(HostSuites &suites) {
  PutFiltRoutines(suites);
  PutBlndRoutines(suites);
  PutMemoRoutines(suites);
  PutPntgRoutines(suites);
  PutRastRoutines(suites);
  PutSeleRoutines(suites);
  PutRsmpRoutines(suites);
  PutDispRoutines(suites);
}

// ---- slots that call another wrapped slot ----

// Slices that have run a forwarding routine.
inline std::atomic<int64_t> forwarded_slices{0};

// The live tables the forwarding routines call through, set once the host's
// tables hold the module's wrappers.
inline Routine *forwarding_tables[2] = {nullptr, nullptr};

// Stands in slot `From`: calls slot `To` through the live table, which holds
// the module's wrapper; called inside a slice, that wrapper runs unsplit.
template <int Table, int To, typename... Ts>
int32_t Forward(Ts... args) {
  forwarded_slices.fetch_add(1, std::memory_order_relaxed);
  return reinterpret_cast<int32_t (*)(Ts...)>(forwarding_tables[Table][To])(args...);
}

struct Forwarding {
  uint32_t suite;
  int from;
  int to;
};
// pntg slot 1 calls slot 2, blnd slot 7 calls slot 2: both of one row each.
inline constexpr Forwarding kForwardings[] = {{kPntg, 1, 2}, {kBlnd, 7, 2}};

// Puts the forwarding routines into the slots they stand in; `suites` then
// serves as the host whose tables they call through.
inline void PutForwardingRoutines(HostSuites &suites) {
  suites.SetSlot(kPntg, 1, &Forward<0, 2, Ptr, Ptr, I16, I16, I16, I16>);
  suites.SetSlot(kBlnd, 7, &Forward<1, 2, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16>);
  forwarding_tables[0] = suites.Table(kPntg);
  forwarding_tables[1] = suites.Table(kBlnd);
}

// ---- one prepared call ----

// One wrapped call with everything it must leave behind.
class MixedCall {
 public:
  MixedCall(const TableRow &row, int slot, int direct_slot, const OutputCase &c, Routine *direct, bool canvas)
      : row_(&row), slot_(slot), call_(row, c), canvas_(canvas), forwards_(slot != direct_slot) {
    if (canvas_) {
      initial_canvas_.assign(PntgCanvas(), PntgCanvas() + kPntgCanvasBytes);
      SetCanvas(initial_canvas_);
    }
    expected_planes_ = call_.planes;
    expected_result_ = row.call(direct[direct_slot], call_.ArgsFor(expected_planes_));
    if (canvas_) expected_canvas_.assign(PntgCanvas(), PntgCanvas() + kPntgCanvasBytes);
    work_ = call_.planes;
  }

  // Calls the slot through `table` on fresh copies of the planes; false when
  // anything differs from the unsplit call. `threads` slices are expected of
  // a forwarding slot that splits.
  bool RunAndCheck(Routine *table, int threads) {
    work_ = call_.planes;
    if (canvas_) SetCanvas(initial_canvas_);
    const int64_t forwarded_before = forwarded_slices.load(std::memory_order_relaxed);
    const int32_t result = row_->call(table[slot_], call_.ArgsFor(work_));
    // A split hands back a result only where the row combines its slices'.
    bool same = (row_->results == 0 || result == expected_result_) && work_ == expected_planes_;
    if (canvas_) same = same && std::memcmp(PntgCanvas(), expected_canvas_.data(), kPntgCanvasBytes) == 0;
    if (forwards_) {
      same = same && forwarded_slices.load(std::memory_order_relaxed) - forwarded_before == Slices(threads);
    }
    return same;
  }

  // The slices of the call among `threads` participants, as the host's
  // table describes its split (1 when it runs unsplit).
  int Slices(int threads) {
    const auto t = static_cast<size_t>(threads);
    if (slices_.size() <= t) slices_.resize(t + 1, 0);
    if (slices_[t] == 0) slices_[t] = static_cast<int>(ExpectedSlices(*row_, call_.in, threads).size());
    return slices_[t];
  }
  uint32_t Suite() const { return row_->suite; }
  bool Forwards() const { return forwards_; }
  std::string Name() const {
    const uint32_t key = row_->suite;
    return std::string{char(key >> 24), char(key >> 16), char(key >> 8), char(key)} + " slot " +
           std::to_string(slot_) + ", rows " + std::to_string(call_.rows);
  }

 private:
  static void SetCanvas(const std::vector<uint8_t> &bytes) {
    std::copy(bytes.begin(), bytes.end(), PntgCanvas());
  }

  const TableRow *row_;
  int slot_;
  OutputCall call_;
  bool canvas_;
  bool forwards_;
  std::vector<GuardedBuffer> expected_planes_, work_;
  int32_t expected_result_ = 0;
  std::vector<uint8_t> initial_canvas_, expected_canvas_;
  std::vector<int> slices_;  // by thread count, 0 until known
};

// Every slot of every row, at row counts that split at every thread count up
// to 8 and at some that do not, strides of both signs, origins that wrap.
// `reference` holds the host's own routines, called directly; `forwarding`
// tells whether the host under test has the forwarding routines.
inline std::vector<MixedCall> MakeMix(HostSuites &reference, bool with_canvas, bool forwarding) {
  const std::span<const TableRow> suites[] = {kBlndRows, kMemoRows, kPntgRows, kRastRows,
                                              kSeleRows, kRsmpRows, kDispRows, kFiltRows};
  const OutputCase cases[] = {{9, -40, 16}, {31, 32750, -24}, {16, 7, 20}, {3, 100, 16}};
  std::vector<MixedCall> mix;
  for (const std::span<const TableRow> &rows : suites) {
    for (const TableRow &row : rows) {
      const bool canvas = row.suite == kPntg && row.planes.empty();
      if (canvas && !with_canvas) continue;
      for (int slot : row.slots) {
        int direct_slot = slot;
        for (const Forwarding &f : kForwardings) {
          if (forwarding && f.suite == row.suite && f.from == slot) direct_slot = f.to;
        }
        for (const OutputCase &c : cases)
          mix.emplace_back(row, slot, direct_slot, c, reference.Table(row.suite), canvas);
      }
    }
  }
  return mix;
}

// Splits to make in all, from ROWFORK_STRESS_SPLITS when set (for longer
// runs by hand), else the build's own count.
inline int64_t SplitsToMake() {
  if (const char *text = std::getenv("ROWFORK_STRESS_SPLITS")) return std::atoll(text);
  return ROWFORK_STRESS_SPLITS;
}

}  // namespace lumora::testing
