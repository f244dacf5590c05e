// Wrapped calls with arguments of every kind the host might pass: row counts
// of 0, negative and at the 16-bit extremes, strides of either sign, row
// origins anywhere. Each call runs once through the host's routine and once
// through the module's wrapper, on planes allocated exactly as large as the
// arguments say: the wrapper must touch no byte outside them (the address
// checker sees any that it does) and leave every byte and the result as the
// host's own call does. ROWFORK_CPUS chooses the thread count.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
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

using lumora::HostSuites;
using lumora::testing::Arg;
using lumora::testing::Numbers;
using lumora::testing::TableRow;

// Bytes a plane may take; a longer one has its row count cut down to fit.
constexpr int64_t kPlaneBudget = int64_t{1} << 20;
constexpr int16_t kCanvasRows = 256;

struct Target {
  const TableRow *row;
  int slot;
  bool canvas;  // a painting routine without planes paints the host's canvas
};

struct Host {
  HostSuites live;       // the module's wrappers in its tables
  HostSuites reference;  // the host's own routines, called directly
  std::vector<Target> targets;
};
Host *host;

void PutWorkingRoutines(HostSuites &suites) {
  lumora::PutBlndRoutines(suites);
  lumora::PutMemoRoutines(suites);
  lumora::PutPntgRoutines(suites);
  lumora::PutRastRoutines(suites);
  lumora::PutSeleRoutines(suites);
  lumora::PutRsmpRoutines(suites);
  lumora::PutDispRoutines(suites);
}

template <typename Rows>
void AddTargets(const Rows &rows) {
  for (const TableRow &row : rows) {
    for (int slot : row.slots) {
      host->targets.push_back({&row, slot, row.suite == lumora::testing::kPntg && row.planes.empty()});
    }
  }
}

int16_t TakeRows(FuzzInput &in) {
  switch (in.Below(6)) {
    case 0:
      return 0;
    case 1:
      return -1;
    case 2:
      return INT16_MIN;
    case 3:
      return INT16_MAX;
    case 4:
      return static_cast<int16_t>(1 + in.Below(17));
    default:
      return in.Take<int16_t>();
  }
}

// At least 16 bytes each way, so that no row of a host routine overlaps the next.
int32_t TakeStride(FuzzInput &in) {
  const auto raw = in.Take<int16_t>();
  const int32_t size = 16 + static_cast<int32_t>(static_cast<uint16_t>(raw) % 240);
  return raw < 0 ? -size : size;
}

// One plane: exactly its bytes, and where its row 0 is.
struct Plane {
  std::unique_ptr<uint8_t[]> bytes;
  size_t size = 0;
  uint8_t *RowZero(int16_t rows, int64_t stride) const {
    return bytes.get() + (rows > 0 && stride < 0 ? (rows - 1) * -stride : 0);
  }
};

// Random bytes that every plane is cut from, each at its own place.
const std::vector<uint8_t> &Pattern() {
  static const std::vector<uint8_t> pattern = [] {
    std::vector<uint8_t> bytes(kPlaneBudget + 256);
    uint32_t state = 1;
    for (uint8_t &byte : bytes) byte = static_cast<uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
    return bytes;
  }();
  return pattern;
}

Plane MakePlane(size_t size, uint32_t seed) {
  Plane plane{std::make_unique<uint8_t[]>(size), size};
  if (size != 0) std::memcpy(plane.bytes.get(), Pattern().data() + seed * 37 % 256, size);
  return plane;
}

// The call's arguments with its planes pointed into `planes`.
Numbers WithPlanes(const TableRow &row, Numbers args, const std::vector<Plane> &planes,
                   const std::vector<int64_t> &strides, int16_t rows) {
  for (size_t m = 0; m < row.planes.size(); ++m) {
    Arg(args, row.planes[m].plane) = reinterpret_cast<intptr_t>(planes[m].RowZero(rows, strides[m]));
  }
  return args;
}

}  // namespace
}  // namespace rowfork::fuzz

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  using namespace rowfork::fuzz;
  host = new Host;
  PutWorkingRoutines(host->live);
  PutWorkingRoutines(host->reference);
  AddTargets(lumora::testing::kBlndRows);
  AddTargets(lumora::testing::kMemoRows);
  AddTargets(lumora::testing::kPntgRows);
  AddTargets(lumora::testing::kRastRows);
  AddTargets(lumora::testing::kSeleRows);
  AddTargets(lumora::testing::kRsmpRows);
  AddTargets(lumora::testing::kDispRows);
  const auto *block = static_cast<const rowfork::PluginParamBlock *>(host->live.Block());
  if (rowfork::StartUp(block) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace rowfork::fuzz;
  FuzzInput in(data, size);
  const Target &target = host->targets[in.Below(static_cast<uint32_t>(host->targets.size()))];
  const TableRow &row = *target.row;

  Numbers args(static_cast<size_t>(row.Arguments()));
  for (int i = 1; i <= row.Arguments(); ++i) {
    Arg(args, i) = row.Kind(i) == 'w' ? static_cast<int32_t>(0x01000193u * static_cast<uint32_t>(i))
                                      : (i * 37 + 11) % 200;
  }
  auto rows = TakeRows(in);
  const auto origin = in.Take<int16_t>();
  lumora::testing::PlaceCase(row, args, rows, origin, [&](size_t, int argument) -> int64_t {
    // Rows of 16-bit elements are a whole number of elements apart.
    const bool halves = std::any_of(row.planes.begin(), row.planes.end(), [&](const auto &move) {
      return move.half && move.strides.front() == argument;
    });
    const int32_t stride = TakeStride(in);
    return halves ? stride & ~1 : stride;
  });

  // Each plane's stride in bytes; the row count cut down where a plane
  // would not fit the budget.
  std::vector<int64_t> strides;
  int64_t widest = 1;
  for (const auto &move : row.planes) {
    int64_t stride = move.bytes;
    for (int s : move.strides) stride *= Arg(args, s);
    strides.push_back(stride);
    widest = std::max(widest, std::abs(stride));
  }
  if (rows > 0 && rows * widest > kPlaneBudget) rows = static_cast<int16_t>(kPlaneBudget / widest);
  // The canvas has 256 rows: a longer call paints some twice, in an order
  // that differs once split.
  if (target.canvas && rows > kCanvasRows) rows = kCanvasRows;
  Arg(args, row.rows) = rows;

  std::vector<Plane> unsplit, split;
  for (size_t m = 0; m < strides.size(); ++m) {
    const size_t bytes = rows > 0 ? static_cast<size_t>(rows * std::abs(strides[m])) : 0;
    unsplit.push_back(MakePlane(bytes, static_cast<uint32_t>(m)));
    split.push_back(MakePlane(bytes, static_cast<uint32_t>(m)));
  }
  std::vector<uint8_t> canvas_before, canvas_after;
  if (target.canvas)
    canvas_before.assign(lumora::PntgCanvas(), lumora::PntgCanvas() + lumora::kPntgCanvasBytes);

  const int32_t expected =
      row.call(host->reference.Table(row.suite)[target.slot], WithPlanes(row, args, unsplit, strides, rows));
  if (target.canvas) {
    canvas_after.assign(lumora::PntgCanvas(), lumora::PntgCanvas() + lumora::kPntgCanvasBytes);
    std::copy(canvas_before.begin(), canvas_before.end(), lumora::PntgCanvas());
  }
  const int32_t result =
      row.call(host->live.Table(row.suite)[target.slot], WithPlanes(row, args, split, strides, rows));

  const auto fail = [&](const char *what) {
    const char key[5] = {static_cast<char>(row.suite >> 24), static_cast<char>(row.suite >> 16),
                         static_cast<char>(row.suite >> 8), static_cast<char>(row.suite), 0};
    std::fprintf(stderr, "%s slot %d, %d rows, origin %d: %s differs from the unsplit call\n", key,
                 target.slot, rows, origin, what);
    std::abort();
  };
  if (result != expected) fail("the result");
  for (size_t m = 0; m < split.size(); ++m) {
    if (std::memcmp(split[m].bytes.get(), unsplit[m].bytes.get(), split[m].size) != 0) fail("a plane");
  }
  if (target.canvas &&
      std::memcmp(lumora::PntgCanvas(), canvas_after.data(), lumora::kPntgCanvasBytes) != 0) {
    fail("the canvas");
  }
  return 0;
}
