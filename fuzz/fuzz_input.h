// Reads a fuzzer's bytes as the numbers a test case is made of; past the end
// every number is 0, so any input gives a whole case.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace rowfork::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t *data, size_t size) : data_(data), size_(size) {}

  template <typename T>
  T Take() {
    T value{};
    const size_t n = std::min(size_ - used_, sizeof(T));
    if (n != 0) std::memcpy(&value, data_ + used_, n);
    used_ += n;
    return value;
  }
  // A number in 0 .. count - 1.
  uint32_t Below(uint32_t count) { return count == 0 ? 0 : Take<uint32_t>() % count; }

 private:
  const uint8_t *data_;
  size_t size_, used_ = 0;
};

}  // namespace rowfork::fuzz
