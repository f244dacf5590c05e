// Buffers for split-versus-unsplit comparisons: random bytes with guard bytes
// on both sides, so that a slice writing outside its band shows up as a
// difference from the unsplit run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace lumora::testing {

class GuardedBuffer {
 public:
  static constexpr size_t kGuard = 64;

  GuardedBuffer(size_t bytes, uint32_t seed) : bytes_(bytes + 2 * kGuard) {
    uint64_t state = seed * 0x9E3779B97F4A7C15u + 1;  // a 64-bit congruential sequence, top bytes kept
    for (uint8_t &byte : bytes_) byte = static_cast<uint8_t>((state = state * 6364136223846793005u + 1) >> 56);
  }

  // The first byte past the front guard.
  uint8_t *Data() { return bytes_.data() + kGuard; }

  // Row 0 of a plane of `rows` rows at `stride` bytes that fills the buffer
  // from its start: for a negative stride, row 0 is the last in memory.
  uint8_t *PlaneStart(int rows, int stride) {
    return Data() + (stride < 0 ? static_cast<ptrdiff_t>(rows - 1) * -stride : 0);
  }

  size_t Size() const { return bytes_.size() - 2 * kGuard; }
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
