#include "host/suites/pntg_routines.h"

#include <initializer_list>

namespace lumora {
namespace {

uint8_t canvas[kPntgCanvasBytes];

uint8_t *Row(void *plane, int r, int stride) { return static_cast<uint8_t *>(plane) + intptr_t{r} * stride; }

// A routine's other values folded into one, each weighted by its place, so
// that a value arriving in the wrong place shows in the paint.
int32_t Tint(std::initializer_list<int16_t> values) {
  int32_t tint = 0;
  int32_t weight = 1;
  for (int16_t value : values) {
    tint += value * weight;
    weight += 2;
  }
  return tint;
}

// Paints image rows origin .. origin + rows - 1: the last of `planes` (or the
// canvas, when there are none) from the planes before it, the row's image
// coordinate and the tint. Every plane is at `stride`.
int32_t Paint(int16_t origin, int16_t rows, std::initializer_list<void *> planes, int16_t stride,
              int32_t tint) {
  for (int r = 0; r < rows; ++r) {
    const auto y = static_cast<int16_t>(origin + r);
    uint8_t *out = planes.size() == 0 ? canvas + static_cast<size_t>(y & 0xFF) * kPntgColumns
                                      : Row(planes.end()[-1], r, stride);
    for (int c = 0; c < kPntgColumns; ++c) {
      int32_t value = tint + y * 29 + c;
      int32_t weight = 3;
      // By index: an empty list has no array to step through.
      for (size_t read = 0; read + 1 < planes.size(); ++read, weight += 2) {
        value += Row(planes.begin()[read], r, stride)[c] * weight;
      }
      out[c] = static_cast<uint8_t>(out[c] * 5 + value);
    }
  }
  return 0;
}

// Slots 1 and 2: no image coordinate; the first plane from the second.
int32_t TwoPlanes(void *p1, void *p2, int16_t rows, int16_t a, int16_t stride, int16_t b) {
  for (int r = 0; r < rows; ++r) {
    uint8_t *out = Row(p1, r, stride);
    const uint8_t *in = Row(p2, r, stride);
    for (int c = 0; c < kPntgColumns; ++c) out[c] = static_cast<uint8_t>(out[c] * 3 + in[c] * a + b + c);
  }
  return 0;
}

// The other slots, by argument list: the origin (o), row count (n), planes
// and stride among the values (a, b, ...) that make the tint.

int32_t At2Plane1Args8(int16_t a, int16_t o, int16_t b, int16_t n, int16_t c, void *p, int16_t s, int16_t d) {
  return Paint(o, n, {p}, s, Tint({a, b, c, d}));
}
int32_t At2Plane1Args9(int16_t a, int16_t o, int16_t b, int16_t n, int16_t c, void *p, int16_t s, int16_t d,
                       int16_t e) {
  return Paint(o, n, {p}, s, Tint({a, b, c, d, e}));
}
int32_t At2Plane1Args7(int16_t a, int16_t o, int16_t b, int16_t n, int16_t c, void *p, int16_t s) {
  return Paint(o, n, {p}, s, Tint({a, b, c}));
}
int32_t At3Plane1Args9(int16_t a, int16_t b, int16_t o, int16_t c, int16_t n, int16_t d, void *p, int16_t s,
                       int16_t e) {
  return Paint(o, n, {p}, s, Tint({a, b, c, d, e}));
}
// Slot 10: the stride comes after another value.
int32_t At3Plane1Args10(int16_t a, int16_t b, int16_t o, int16_t c, int16_t n, int16_t d, void *p, int16_t e,
                        int16_t s, int16_t f) {
  return Paint(o, n, {p}, s, Tint({a, b, c, d, e, f}));
}
int32_t At3Plane1Args8(int16_t a, int16_t b, int16_t o, int16_t c, int16_t n, int16_t d, void *p, int16_t s) {
  return Paint(o, n, {p}, s, Tint({a, b, c, d}));
}
int32_t At4NoPlaneArgs8(int16_t a, int16_t b, int16_t c, int16_t o, int16_t d, int16_t n, int16_t e,
                        int16_t f) {
  return Paint(o, n, {}, 0, Tint({a, b, c, d, e, f}));
}
int32_t At4NoPlaneArgs7(int16_t a, int16_t b, int16_t c, int16_t o, int16_t d, int16_t n, int16_t e) {
  return Paint(o, n, {}, 0, Tint({a, b, c, d, e}));
}
int32_t At3NoPlaneArgs7(int16_t a, int16_t b, int16_t o, int16_t c, int16_t n, int16_t d, int16_t e) {
  return Paint(o, n, {}, 0, Tint({a, b, c, d, e}));
}
int32_t At2Planes3Args9(int16_t a, int16_t o, int16_t b, int16_t n, int16_t c, void *p1, void *p2, void *p3,
                        int16_t s) {
  return Paint(o, n, {p1, p2, p3}, s, Tint({a, b, c}));
}
int32_t At2Planes3Args12(int16_t a, int16_t o, int16_t b, int16_t n, int16_t c, void *p1, void *p2, void *p3,
                         int16_t s, int16_t d, int16_t e, int16_t f) {
  return Paint(o, n, {p1, p2, p3}, s, Tint({a, b, c, d, e, f}));
}
int32_t At2Planes3Args13(int16_t a, int16_t o, int16_t b, int16_t n, int16_t c, void *p1, void *p2, void *p3,
                         int16_t s, int16_t d, int16_t e, int16_t f, int16_t g) {
  return Paint(o, n, {p1, p2, p3}, s, Tint({a, b, c, d, e, f, g}));
}
int32_t At2Planes4Args10(int16_t a, int16_t o, int16_t b, int16_t n, int16_t c, void *p1, void *p2, void *p3,
                         void *p4, int16_t s) {
  return Paint(o, n, {p1, p2, p3, p4}, s, Tint({a, b, c}));
}
int32_t At2Planes4Args14(int16_t a, int16_t o, int16_t b, int16_t n, int16_t c, void *p1, void *p2, void *p3,
                         void *p4, int16_t s, int16_t d, int16_t e, int16_t f, int16_t g) {
  return Paint(o, n, {p1, p2, p3, p4}, s, Tint({a, b, c, d, e, f, g}));
}
int32_t At2Planes4Args15(int16_t a, int16_t o, int16_t b, int16_t n, int16_t c, void *p1, void *p2, void *p3,
                         void *p4, int16_t s, int16_t d, int16_t e, int16_t f, int16_t g, int16_t h) {
  return Paint(o, n, {p1, p2, p3, p4}, s, Tint({a, b, c, d, e, f, g, h}));
}
int32_t At3Planes3Args10(int16_t a, int16_t b, int16_t o, int16_t c, int16_t n, int16_t d, void *p1, void *p2,
                         void *p3, int16_t s) {
  return Paint(o, n, {p1, p2, p3}, s, Tint({a, b, c, d}));
}
int32_t At3Planes3Args11(int16_t a, int16_t b, int16_t o, int16_t c, int16_t n, int16_t d, void *p1, void *p2,
                         void *p3, int16_t s, int16_t e) {
  return Paint(o, n, {p1, p2, p3}, s, Tint({a, b, c, d, e}));
}
int32_t At3Planes3Args13(int16_t a, int16_t b, int16_t o, int16_t c, int16_t n, int16_t d, void *p1, void *p2,
                         void *p3, int16_t s, int16_t e, int16_t f, int16_t g) {
  return Paint(o, n, {p1, p2, p3}, s, Tint({a, b, c, d, e, f, g}));
}
int32_t At3Planes4Args11(int16_t a, int16_t b, int16_t o, int16_t c, int16_t n, int16_t d, void *p1, void *p2,
                         void *p3, void *p4, int16_t s) {
  return Paint(o, n, {p1, p2, p3, p4}, s, Tint({a, b, c, d}));
}
int32_t At3Planes4Args12(int16_t a, int16_t b, int16_t o, int16_t c, int16_t n, int16_t d, void *p1, void *p2,
                         void *p3, void *p4, int16_t s, int16_t e) {
  return Paint(o, n, {p1, p2, p3, p4}, s, Tint({a, b, c, d, e}));
}
int32_t At3Planes4Args15(int16_t a, int16_t b, int16_t o, int16_t c, int16_t n, int16_t d, void *p1, void *p2,
                         void *p3, void *p4, int16_t s, int16_t e, int16_t f, int16_t g, int16_t h) {
  return Paint(o, n, {p1, p2, p3, p4}, s, Tint({a, b, c, d, e, f, g, h}));
}

}  // namespace

uint8_t *PntgCanvas() { return canvas; }

void PutPntgRoutines(HostSuites &suites) {
  const uint32_t pntg = Code("pntg");
  for (int slot : {1, 2}) suites.SetSlot(pntg, slot, &TwoPlanes);
  for (int slot : {6, 7}) suites.SetSlot(pntg, slot, &At2Plane1Args8);
  suites.SetSlot(pntg, 12, &At2Plane1Args9);
  for (int slot : {13, 14}) suites.SetSlot(pntg, slot, &At2Plane1Args7);
  for (int slot : {9, 11, 15}) suites.SetSlot(pntg, slot, &At3Plane1Args9);
  suites.SetSlot(pntg, 10, &At3Plane1Args10);
  for (int slot : {19, 40}) suites.SetSlot(pntg, slot, &At3Plane1Args8);
  suites.SetSlot(pntg, 20, &At4NoPlaneArgs8);
  for (int slot : {42, 45}) suites.SetSlot(pntg, slot, &At4NoPlaneArgs7);
  suites.SetSlot(pntg, 41, &At3NoPlaneArgs7);
  for (int slot : {21, 32, 34}) suites.SetSlot(pntg, slot, &At2Planes3Args9);
  suites.SetSlot(pntg, 28, &At2Planes3Args12);
  suites.SetSlot(pntg, 30, &At2Planes3Args13);
  for (int slot : {22, 33, 35}) suites.SetSlot(pntg, slot, &At2Planes4Args10);
  suites.SetSlot(pntg, 29, &At2Planes4Args14);
  suites.SetSlot(pntg, 31, &At2Planes4Args15);
  suites.SetSlot(pntg, 36, &At3Planes3Args10);
  suites.SetSlot(pntg, 38, &At3Planes3Args11);
  suites.SetSlot(pntg, 26, &At3Planes3Args13);
  suites.SetSlot(pntg, 37, &At3Planes4Args11);
  suites.SetSlot(pntg, 39, &At3Planes4Args12);
  suites.SetSlot(pntg, 27, &At3Planes4Args15);
}

}  // namespace lumora
