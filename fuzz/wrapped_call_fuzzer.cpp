// Wrapped calls with arguments of every kind the host might pass: row counts
// of 0, negative and at the 16-bit extremes, strides of either sign, row
// origins anywhere. Each call runs once through the host's routine and once
// through the module's wrapper, on planes allocated exactly as large as the
// arguments say: the wrapper must touch no byte outside them (the address
// checker sees any that it does) and leave every byte, the painting canvas
// and the result as the host's own call does. ROWFORK_CPUS chooses the
// thread count.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "host/rows/blnd_rows.h"
#include "host/rows/disp_rows.h"
#include "host/rows/memo_rows.h"
#include "host/rows/pntg_rows.h"
#include "host/rows/rast_rows.h"
#include "host/rows/rsmp_rows.h"
#include "host/rows/sele_rows.h"
#include "host/suites/blnd_routines.h"
#include "host/suites/disp_routines.h"
#include "host/suites/memo_routines.h"
#include "host/suites/pntg_routines.h"
#include "host/suites/rast_routines.h"
#include "host/suites/rsmp_routines.h"
#include "host/suites/sele_routines.h"
#include "shell/lifecycle.h"

namespace rowfork::fuzz {
namespace {

using lumora::testing::Arg;
using lumora::testing::TableRow;

// Bytes a plane may take; a longer one has its row count cut down to fit.
constexpr int64_t kPlaneBudget = int64_t{1} << 20;

// The host's working routines twice: the module's wrappers in the live
// tables once it has started, the host's own in the reference tables; and
// every slot of every row to call.
struct Host {
  lumora::HostSuites live, reference;
  std::vector<std::pair<const TableRow *, int>> targets;
  Host() {
    for (lumora::HostSuites *suites : {&live, &reference}) {
      for (auto put : {&lumora::PutBlndRoutines, &lumora::PutMemoRoutines, &lumora::PutPntgRoutines,
                       &lumora::PutRastRoutines, &lumora::PutSeleRoutines, &lumora::PutRsmpRoutines,
                       &lumora::PutDispRoutines})
        put(*suites);
    }
    using namespace lumora::testing;
    const std::span<const TableRow> suites[] = {kBlndRows, kMemoRows, kPntgRows, kRastRows,
                                                kSeleRows, kRsmpRows, kDispRows};
    for (const auto &rows : suites) {
      for (const TableRow &row : rows) {
        for (int slot : row.slots) targets.emplace_back(&row, slot);
      }
    }
    if (StartUp(static_cast<const PluginParamBlock *>(live.Block())) != 0) std::abort();
  }
};

int16_t TakeRows(FuzzInput &in) {
  const int16_t edges[] = {0, -1, INT16_MIN, INT16_MAX};
  const uint32_t choice = in.Below(6);
  if (choice < 4) return edges[choice];
  return choice == 4 ? static_cast<int16_t>(1 + in.Below(17)) : in.Take<int16_t>();
}

// Planes of exactly `sizes` bytes, each cut from random bytes at its own place.
using Planes = std::vector<std::unique_ptr<uint8_t[]>>;
Planes MakePlanes(const std::vector<size_t> &sizes) {
  static const std::vector<uint8_t> pattern = [] {
    std::vector<uint8_t> bytes(kPlaneBudget + 256);
    uint32_t state = 1;
    for (uint8_t &byte : bytes) byte = static_cast<uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
    return bytes;
  }();
  Planes planes;
  for (size_t m = 0; m < sizes.size(); ++m) {
    planes.push_back(std::make_unique<uint8_t[]>(sizes[m]));
    std::memcpy(planes[m].get(), pattern.data() + m * 37 % 256, sizes[m]);
  }
  return planes;
}

std::vector<uint8_t> Canvas() {
  return {lumora::PntgCanvas(), lumora::PntgCanvas() + lumora::kPntgCanvasBytes};
}

}  // namespace
}  // namespace rowfork::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace rowfork::fuzz;
  static Host *const host = new Host;
  FuzzInput in(data, size);
  const auto &target = host->targets[in.Below(static_cast<uint32_t>(host->targets.size()))];
  const TableRow &row = *target.first;
  const int slot = target.second;
  // A painting routine without planes paints the host's canvas.
  const bool canvas = row.suite == lumora::testing::kPntg && row.planes.empty();

  lumora::testing::Numbers args(static_cast<size_t>(row.Arguments()));
  for (int i = 1; i <= row.Arguments(); ++i)
    Arg(args, i) = row.Kind(i) == 'w' ? static_cast<int32_t>(0x01000193u * static_cast<uint32_t>(i))
                                      : (i * 37 + 11) % 200;
  auto rows = TakeRows(in);
  const auto origin = in.Take<int16_t>();
  lumora::testing::PlaceCase(row, args, rows, origin, [&](size_t, int argument) -> int64_t {
    // At least 16 bytes each way, so that no row of a host routine overlaps
    // the next; rows of 16-bit elements a whole number of elements apart.
    const bool halves = std::any_of(row.planes.begin(), row.planes.end(), [&](const auto &move) {
      return move.half && move.strides.front() == argument;
    });
    const auto raw = in.Take<int16_t>();
    const int32_t stride = (raw < 0 ? -1 : 1) * (16 + static_cast<int32_t>(static_cast<uint16_t>(raw) % 240));
    return halves ? stride & ~1 : stride;
  });

  // Each plane's stride in bytes; the row count cut down where a plane would
  // not fit the budget, and to the canvas's 256 rows (a longer call paints
  // some twice, in an order that differs once split).
  std::vector<int64_t> strides;
  int64_t widest = 1;
  for (const auto &move : row.planes) {
    int64_t stride = move.bytes;
    for (int s : move.strides) stride *= Arg(args, s);
    strides.push_back(stride);
    widest = std::max(widest, std::abs(stride));
  }
  if (rows > 0 && rows * widest > kPlaneBudget) rows = static_cast<int16_t>(kPlaneBudget / widest);
  if (canvas && rows > 256) rows = 256;
  Arg(args, row.rows) = rows;

  std::vector<size_t> sizes;
  for (int64_t stride : strides) sizes.push_back(rows > 0 ? static_cast<size_t>(rows * std::abs(stride)) : 0);
  const Planes unsplit = MakePlanes(sizes), split = MakePlanes(sizes);
  // The call's arguments with each plane pointed at its row 0 in `planes`.
  const auto with = [&](const Planes &planes) {
    lumora::testing::Numbers placed = args;
    for (size_t m = 0; m < row.planes.size(); ++m) {
      const int64_t row_zero = rows > 0 && strides[m] < 0 ? (rows - 1) * -strides[m] : 0;
      Arg(placed, row.planes[m].plane) = reinterpret_cast<intptr_t>(planes[m].get() + row_zero);
    }
    return placed;
  };
  const std::vector<uint8_t> canvas_before = Canvas();
  const int32_t expected = row.call(host->reference.Table(row.suite)[slot], with(unsplit));
  const std::vector<uint8_t> canvas_after = Canvas();
  std::copy(canvas_before.begin(), canvas_before.end(), lumora::PntgCanvas());
  const int32_t result = row.call(host->live.Table(row.suite)[slot], with(split));

  const char *differs = result != expected ? "the result" : Canvas() != canvas_after ? "the canvas" : nullptr;
  for (size_t m = 0; m < split.size() && differs == nullptr; ++m)
    if (std::memcmp(split[m].get(), unsplit[m].get(), sizes[m]) != 0) differs = "a plane";
  if (differs != nullptr) {
    std::fprintf(stderr, "%c%c%c%c slot %d, %d rows, origin %d: %s differs from the unsplit call\n",
                 row.suite >> 24, row.suite >> 16 & 255, row.suite >> 8 & 255, row.suite & 255, slot, rows,
                 origin, differs);
    std::abort();
  }
  return 0;
}
