// Buffers for split-versus-unsplit comparisons: random bytes with guard bytes
// on both sides, so that a slice writing outside its band shows up as a
// difference from the unsplit run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

namespace lumora::testing {

class GuardedBuffer {
 public:
  static constexpr size_t kGuard = 64;

  GuardedBuffer(size_t bytes, uint32_t seed) : bytes_(bytes + 2 * kGuard) {
    std::mt19937 random(seed);
    for (uint8_t &byte : bytes_) byte = static_cast<uint8_t>(random());
  }

  // The first byte past the front guard.
  uint8_t *Data() { return bytes_.data() + kGuard; }

  // Row 0 of a plane of `rows` rows at `stride` bytes that fills the buffer
  // from its start: for a negative stride, row 0 is the last in memory.
  uint8_t *PlaneStart(int rows, int stride) {
    return Data() + (stride < 0 ? static_cast<ptrdiff_t>(rows - 1) * -stride : 0);
  }

  // Guards included.
  bool operator==(const GuardedBuffer &other) const { return bytes_ == other.bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// The bytes a plane of `rows` rows at `stride` needs.
inline size_t PlaneBytes(int rows, int stride) {
  return static_cast<size_t>(rows) * static_cast<size_t>(std::abs(stride));
}

}  // namespace lumora::testing
