// The filter calls of the stress mix (tests/stress), made from the filter
// suite's rows: a shape is a row, and a workspace holds the buffers of one
// call of it, made at the first call and shared by every copy of the
// workspace from then on. Once the mix takes kFiltRows as it takes the other
// suites' rows, this goes.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "host/rows/filt_rows.h"
#include "host/slot_table.h"

namespace lumora::testing {

struct FiltWorkspace {
  explicit FiltWorkspace(size_t) {}
  std::shared_ptr<std::optional<OutputCall>> call = std::make_shared<std::optional<OutputCall>>();
  std::vector<GuardedBuffer> buffers;
  bool operator==(const FiltWorkspace &other) const { return buffers == other.buffers; }
};

struct FiltShape {
  struct Call {
    const TableRow *row;
    void operator()(Routine routine, FiltWorkspace &w, int count) const {
      if (!w.call->has_value()) w.call->emplace(*row, OutputCase{static_cast<int16_t>(count), 7, 16});
      if (w.buffers.empty()) w.buffers = (*w.call)->planes;
      row->call(routine, (*w.call)->ArgsFor(w.buffers));
    }
  };
  std::vector<int> slots;
  size_t bytes_per_count;
  Call call;
};

inline const std::vector<FiltShape> kFiltShapes = [] {
  std::vector<FiltShape> shapes;
  for (const TableRow &row : kFiltRows) shapes.push_back({row.slots, 0, {&row}});
  return shapes;
}();

}  // namespace lumora::testing
