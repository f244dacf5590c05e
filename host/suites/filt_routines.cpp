#include "host/suites/filt_routines.h"

#include <atomic>
#include <cstring>

#include "host/suites/plane_rows.h"

namespace lumora {
namespace {

using I16 = int16_t;
using I32 = int32_t;
using U16 = uint16_t;

using plane_rows::Row;

// 16-bit elements, read and written wherever they lie.
uint16_t Half(const uint8_t *at) {
  uint16_t value;
  std::memcpy(&value, at, 2);
  return value;
}
void SetHalf(uint8_t *at, int value) {
  const auto half = static_cast<uint16_t>(value);
  std::memcpy(at, &half, 2);
}
uint8_t Byte(int value) { return static_cast<uint8_t>(value); }

// ---- two planes: A, B, rows, width, stride of A, stride of B ----

// B += A.
int32_t AddAToB(void *a, void *b, I16 rows, I16 width, I16 sa, I16 sb) {
  for (int r = 0; r < rows; ++r) {
    const uint8_t *in = Row(a, r, sa);
    uint8_t *out = Row(b, r, sb);
    for (int c = 0; c < width; ++c) out[c] = Byte(out[c] + in[c]);
  }
  return 0;
}

// B = A (filt 29, which the chained slots run first).
int32_t CopyAToB(void *a, void *b, I16 rows, I16 width, I16 sa, I16 sb) {
  for (int r = 0; r < rows; ++r) std::memcpy(Row(b, r, sb), Row(a, r, sa), static_cast<size_t>(width));
  return 29;
}

// B = (A + 2B + 1) / 4.
int32_t SoftenBTowardA(void *a, void *b, I16 rows, I16 width, I16 sa, I16 sb) {
  for (int r = 0; r < rows; ++r) {
    const uint8_t *in = Row(a, r, sa);
    uint8_t *out = Row(b, r, sb);
    for (int c = 0; c < width; ++c) out[c] = Byte((in[c] + 2 * out[c] + 1) >> 2);
  }
  return 37;
}

// The host's own slots 38 and 41 run filt 29, core 8 and then its slot 37
// or 40 routine in one.
int32_t CoreStep();
int32_t CopyThenSoften(void *a, void *b, I16 rows, I16 width, I16 sa, I16 sb) {
  CopyAToB(a, b, rows, width, sa, sb);
  CoreStep();
  return SoftenBTowardA(a, b, rows, width, sa, sb);
}

// ---- the kernel pair: slot 0 hands the host its table, slot 11 uses it ----

std::atomic<void *> kernel_handle{nullptr};

int32_t UseKernel(uint8_t mode, void *handle, I32 third, I32) {
  kernel_handle.store(handle);
  return mode + third;
}

// B = the sum of A at every kernel offset from each pixel.
int32_t KernelSum(void *a, void *b, I16 rows, I16 width, I16 sa, I16 sb) {
  const auto *header = *static_cast<KernelHeader *const *>(kernel_handle.load());
  const auto *entries = reinterpret_cast<const KernelEntry *>(header + 1);
  for (int r = 0; r < rows; ++r) {
    const uint8_t *in = Row(a, r, sa);
    uint8_t *out = Row(b, r, sb);
    for (int c = 0; c < width; ++c) {
      int sum = 0;
      for (int i = 0; i <= header->last; ++i) sum += in[c + entries[i].linear];
      out[c] = Byte(sum);
    }
  }
  return 11;
}

// ---- slot 19: four planes, each with its own stride; the fourth = sum of the others ----

int32_t SumIntoFourth(void *p1, void *p2, void *p3, void *p4, I16 rows, I16 width, I16 s1, I16 s2, I16 s3,
                      I16 s4) {
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < width; ++c) {
      Row(p4, r, s4)[c] = Byte(Row(p1, r, s1)[c] + Row(p2, r, s2)[c] + Row(p3, r, s3)[c]);
    }
  }
  return 0;
}

// ---- slot 31: B = A's row mirrored, built in all 8,192 bytes of the scratch buffer ----

constexpr int kScratchBytes = 8192;

int32_t MirrorThroughScratch(void *a, void *b, I16 rows, I16 width, I16 sa, I16 sb, I16 salt, void *scratch) {
  auto *work = static_cast<uint8_t *>(scratch);
  if (width <= 0) return 0;
  for (int r = 0; r < rows; ++r) {
    const uint8_t *in = Row(a, r, sa);
    for (int j = 0; j < kScratchBytes; ++j) work[j] = Byte(in[j % width] + salt);
    uint8_t *out = Row(b, r, sb);
    for (int c = 0; c < width; ++c) out[c] = work[kScratchBytes - 1 - c];
  }
  return 0;
}

// ---- slots 33, 34, 54: B = A and B mixed in sixteenths, weight of A the seventh argument ----

int32_t MixSixteenths(void *a, void *b, I16 rows, I16 width, I16 sa, I16 sb, I16 weight) {
  for (int r = 0; r < rows; ++r) {
    const uint8_t *in = Row(a, r, sa);
    uint8_t *out = Row(b, r, sb);
    for (int c = 0; c < width; ++c) out[c] = Byte((in[c] * weight + out[c] * (16 - weight)) >> 4);
  }
  return 0;
}

// ---- element runs ----

// Slot 43: every byte x becomes 3x + 1.
int32_t TripleBytes(void *run, U16 count) {
  auto *bytes = static_cast<uint8_t *>(run);
  for (int i = 0; i < count; ++i) bytes[i] = Byte(bytes[i] * 3 + 1);
  return 0;
}

// Slot 44: every element x becomes x * scale + offset.
int32_t ScaleHalves(void *run, I16 count, I16 scale, I16 offset) {
  auto *bytes = static_cast<uint8_t *>(run);
  for (int i = 0; i < count; ++i) SetHalf(bytes + 2 * i, Half(bytes + 2 * i) * scale + offset);
  return 0;
}

// Slots 48 and 49: every element x becomes x * 5 + offset.
int32_t StepHalves(void *run, U16 count, I16 offset) {
  auto *bytes = static_cast<uint8_t *>(run);
  for (int i = 0; i < count; ++i) SetHalf(bytes + 2 * i, Half(bytes + 2 * i) * 5 + offset);
  return 0;
}

// ---- row origins: per-row and per-column tables; the row table has 256 entries,
// indexed by the row's own number modulo 256, as a 16-bit row number wraps ----

// Slot 45: plane += row table[origin + r] + column table[c] + bias.
int32_t ShadeByRow(void *plane, I16 rows, I16 width, I16 stride, void *row_table, void *column_table,
                   I16 origin, I16 bias) {
  const auto *by_row = static_cast<const uint8_t *>(row_table);
  const auto *by_column = static_cast<const uint8_t *>(column_table);
  for (int r = 0; r < rows; ++r) {
    uint8_t *out = Row(plane, r, stride);
    for (int c = 0; c < width; ++c) out[c] = Byte(out[c] + by_row[static_cast<uint8_t>(origin + r)] + by_column[c] + bias);
  }
  return 0;
}

// Slot 50: B = A + row table[origin + r] + column table[c] + bias.
int32_t ShadeIntoB(void *a, void *b, I16 rows, I16 width, I16 sa, I16 sb, void *row_table, void *column_table,
                   I16 origin, I16 bias) {
  const auto *by_row = static_cast<const uint8_t *>(row_table);
  const auto *by_column = static_cast<const uint8_t *>(column_table);
  for (int r = 0; r < rows; ++r) {
    const uint8_t *in = Row(a, r, sa);
    uint8_t *out = Row(b, r, sb);
    for (int c = 0; c < width; ++c) out[c] = Byte(in[c] + by_row[static_cast<uint8_t>(origin + r)] + by_column[c] + bias);
  }
  return 0;
}

// ---- slot 51: rows of `stride` * factor bytes; plane 2 = lookup[plane 1] ^ mask ----

int32_t LookUpFactored(void *p1, void *p2, I16 factor1, I16 factor2, I16 rows, I16 width, I16 stride,
                       I16 mask, void *lookup) {
  const auto *table = static_cast<const uint8_t *>(lookup);
  for (int r = 0; r < rows; ++r) {
    const uint8_t *in = Row(p1, r, intptr_t{stride} * factor1);
    uint8_t *out = Row(p2, r, intptr_t{stride} * factor2);
    for (int c = 0; c < width; ++c) out[c] = Byte(table[in[c]] ^ mask);
  }
  return 0;
}

// ---- 32-bit arguments ----

// Slots 63 and 65: a plane of bytes into a plane of 16-bit elements,
// element = byte * scale + offset (+ every further argument of slot 65).
void BytesToHalves(void *bytes, void *halves, I32 rows, I32 s1, I32 s2, I32 width, I32 scale, I32 offset) {
  for (int32_t r = 0; r < rows; ++r) {
    const uint8_t *in = Row(bytes, r, s1);
    uint8_t *out = Row(halves, r, s2);
    for (int c = 0; c < width; ++c) SetHalf(out + 2 * c, in[c] * scale + offset);
  }
}
int32_t BytesToHalves13(void *bytes, void *halves, I32 rows, I32 s1, I32 s2, I32 width, I32 scale, I32 offset,
                        I32, I32, I32, I32, I32) {
  BytesToHalves(bytes, halves, rows, s1, s2, width, scale, offset);
  return 0;
}
int32_t BytesToHalves18(void *bytes, void *halves, I32 rows, I32 s1, I32 s2, I32 width, I32 scale, I32 offset,
                        I32 e9, I32 e10, I32 e11, I32 e12, I32 e13, I32 e14, I32 e15, I32 e16, I32 e17,
                        I32 e18) {
  BytesToHalves(bytes, halves, rows, s1, s2, width, scale,
                offset + e9 + e10 + e11 + e12 + e13 + e14 + e15 + e16 + e17 + e18);
  return 0;
}

// Slots 64 and 66: element i += byte i * scale + offset.
void AddBytesToHalves(void *halves, void *bytes, I32 count, I32 scale, I32 offset) {
  auto *out = static_cast<uint8_t *>(halves);
  const auto *in = static_cast<const uint8_t *>(bytes);
  for (int32_t i = 0; i < count; ++i) SetHalf(out + 2 * i, Half(out + 2 * i) + in[i] * scale + offset);
}

// Slots 69 and 70: second run -= first run * scale, + offset.
void SubtractHalves(void *first, void *second, I32 count, I32 scale, I32 offset) {
  const auto *in = static_cast<const uint8_t *>(first);
  auto *out = static_cast<uint8_t *>(second);
  for (int32_t i = 0; i < count; ++i) {
    SetHalf(out + 2 * i, Half(out + 2 * i) - Half(in + 2 * i) * scale + offset);
  }
}

// The two runs' routines take a count and a scale; the 13-argument forms an
// offset of 0, the 18-argument forms the sum of every further argument.
using RunBody = void (*)(void *, void *, I32 count, I32 scale, I32 offset);
template <RunBody Body>
int32_t Runs13(void *first, void *second, I32 count, I32 scale, I32, I32, I32, I32, I32, I32, I32, I32, I32) {
  Body(first, second, count, scale, 0);
  return 0;
}
template <RunBody Body>
int32_t Runs18(void *first, void *second, I32 count, I32 scale, I32 e5, I32 e6, I32 e7, I32 e8, I32 e9,
               I32 e10, I32 e11, I32 e12, I32 e13, I32 e14, I32 e15, I32 e16, I32 e17, I32 e18) {
  Body(first, second, count, scale,
       e5 + e6 + e7 + e8 + e9 + e10 + e11 + e12 + e13 + e14 + e15 + e16 + e17 + e18);
  return 0;
}

// Slot 71: 16-bit plane = plane 2 * plane 3 + offset; the byte planes share a stride.
int32_t ProductOfTwo(void *halves, void *p2, void *p3, I32 rows, I32 width, I32 s1, I32 s23, I32 offset, I32,
                     I32, I32) {
  for (int32_t r = 0; r < rows; ++r) {
    uint8_t *out = Row(halves, r, s1);
    for (int c = 0; c < width; ++c) SetHalf(out + 2 * c, Row(p2, r, s23)[c] * Row(p3, r, s23)[c] + offset);
  }
  return 0;
}

// Slot 72: 16-bit plane = plane 2 * plane 3 + plane 4 + offset.
int32_t ProductPlusThird(void *halves, void *p2, void *p3, void *p4, I32 rows, I32 width, I32 s1, I32 s234,
                         I32 offset, I32, I32, I32) {
  for (int32_t r = 0; r < rows; ++r) {
    uint8_t *out = Row(halves, r, s1);
    for (int c = 0; c < width; ++c) {
      SetHalf(out + 2 * c, Row(p2, r, s234)[c] * Row(p3, r, s234)[c] + Row(p4, r, s234)[c] + offset);
    }
  }
  return 0;
}

// ---- core slot 8, which the chained slots run between their two filter routines ----

std::atomic<int> core_step_calls{0};
int32_t CoreStep() { return core_step_calls.fetch_add(1) + 1; }

}  // namespace

int CoreStepCalls() { return core_step_calls.load(); }

KernelTable::KernelTable(const std::vector<KernelEntry> &entries, int32_t junk)
    : words_(3 + 3 * entries.size()), size_(static_cast<int>(entries.size())) {
  table_ = words_.data();
  Header().last = static_cast<int16_t>(size_ - 1);
  Header().stride = junk;
  for (int i = 0; i < size_; ++i) {
    Entry(i) = entries[static_cast<size_t>(i)];
    Entry(i).linear = junk;
  }
}

void KernelTable::ComputeFor(int32_t stride) {
  for (int i = 0; i < size_; ++i) Entry(i).linear = Entry(i).row * stride + Entry(i).column;
  Header().stride = stride;
}

void PutFiltRoutines(HostSuites &suites) {
  const uint32_t filt = Code("filt");
  for (int slot : {5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 22, 23, 27, 28, 46, 47}) {
    suites.SetSlot(filt, slot, &AddAToB);
  }
  suites.SetSlot(filt, 0, &UseKernel);
  suites.SetSlot(filt, 11, &KernelSum);
  suites.SetSlot(filt, 19, &SumIntoFourth);
  suites.SetSlot(filt, 29, &CopyAToB);
  suites.SetSlot(filt, 31, &MirrorThroughScratch);
  for (int slot : {33, 34, 54}) suites.SetSlot(filt, slot, &MixSixteenths);
  for (int slot : {37, 40}) suites.SetSlot(filt, slot, &SoftenBTowardA);
  for (int slot : {38, 41}) suites.SetSlot(filt, slot, &CopyThenSoften);
  suites.SetSlot(filt, 43, &TripleBytes);
  suites.SetSlot(filt, 44, &ScaleHalves);
  suites.SetSlot(filt, 45, &ShadeByRow);
  for (int slot : {48, 49}) suites.SetSlot(filt, slot, &StepHalves);
  suites.SetSlot(filt, 50, &ShadeIntoB);
  suites.SetSlot(filt, 51, &LookUpFactored);
  suites.SetSlot(filt, 63, &BytesToHalves13);
  suites.SetSlot(filt, 64, &Runs13<AddBytesToHalves>);
  suites.SetSlot(filt, 65, &BytesToHalves18);
  suites.SetSlot(filt, 66, &Runs18<AddBytesToHalves>);
  suites.SetSlot(filt, 69, &Runs13<SubtractHalves>);
  suites.SetSlot(filt, 70, &Runs18<SubtractHalves>);
  suites.SetSlot(filt, 71, &ProductOfTwo);
  suites.SetSlot(filt, 72, &ProductPlusThird);
  suites.SetSlot(Code("core"), 8, &CoreStep);
}

}  // namespace lumora
