#include "host/sim/operations.h"

#include <omp.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "host/sim/sim_routines.h"
#include "host/suites/blnd_routines.h"
#include "host/suites/filt_routines.h"
#include "host/suites/rsmp_routines.h"
#include "host/suites/sele_routines.h"

namespace lumora::sim {
namespace {

using Plane = std::vector<uint8_t>;
using Planes3 = std::array<Plane, 3>;

// Routine `slot` of suite `key` as the host's live table holds it now.
template <typename F>
F Live(HostSuites &suites, const char (&key)[5], int slot) {
  return reinterpret_cast<F>(suites.Table(Code(key))[slot]);
}

int16_t I16(int value) { return static_cast<int16_t>(value); }

uint8_t *At(Plane &plane, int64_t offset) { return plane.data() + offset; }
uint8_t *At(const Plane &plane, int64_t offset) { return const_cast<uint8_t *>(plane.data()) + offset; }

std::vector<uint8_t> Joined(const Planes3 &planes) {
  std::vector<uint8_t> bytes;
  for (const Plane &plane : planes) bytes.insert(bytes.end(), plane.begin(), plane.end());
  return bytes;
}

// An operation whose output is three colour planes, shown opaque.
class ColourPlanesOperation : public Operation {
 public:
  using Operation::Operation;
  void Prepare() override {
    for (size_t i = 0; i < 3; ++i) out_[i] = document_.image.planes[i];
  }
  std::vector<uint8_t> Output() const override { return Joined(out_); }
  std::vector<uint8_t> Picture() const override {
    const Plane opaque(document_.PlaneBytes(), 255);
    return Interleave({out_[0].data(), out_[1].data(), out_[2].data(), opaque.data()},
                      document_.PlaneBytes());
  }

 protected:
  Planes3 out_;
};

// An operation whose output is one RGBA raster of the document's size.
class RasterOperation : public Operation {
 public:
  using Operation::Operation;
  std::vector<uint8_t> Output() const override { return out_; }
  std::vector<uint8_t> Picture() const override { return out_; }

 protected:
  Plane out_;
};

// ---- blnd 13: the overlay's colour blended into the image through the overlay's alpha ----

class AlphaBlend : public ColourPlanesOperation {
 public:
  using ColourPlanesOperation::ColourPlanesOperation;
  const char *Name() const override { return "alpha-blend"; }
  const char *Slots() const override { return "blnd 13"; }
  int Rows() const override { return document_.height; }
  int64_t Bytes() const override { return 10 * int64_t(document_.PlaneBytes()); }

  void Run(HostSuites &suites) override {
    using Routine = int32_t (*)(void *, void *, void *, void *, void *, void *, void *, int16_t, int16_t,
                                int16_t, int16_t, int16_t);
    Call(Live<Routine>(suites, "blnd", 13), 0, document_.height);
  }
  void RunOpenMP(int threads) override {
#pragma omp parallel for schedule(static) num_threads(threads)
    for (int r = 0; r < document_.height; ++r) Call(&AlphaBlendThree, r, 1);
  }

 private:
  template <typename Routine>
  void Call(Routine routine, int first, int rows) {
    const auto &in = document_.overlay.planes;
    const int64_t offset = int64_t{first} * document_.width;
    const int16_t w = I16(document_.width);
    routine(At(in[0], offset), At(in[1], offset), At(in[2], offset), At(out_[0], offset), At(out_[1], offset),
            At(out_[2], offset), At(in[3], offset), I16(rows), w, w, w, w);
  }
};

// ---- blnd 77: the overlay layer mixed onto the image by a parameter record ----

class LayerBlend : public RasterOperation {
 public:
  using RasterOperation::RasterOperation;
  const char *Name() const override { return "layer-blend"; }
  const char *Slots() const override { return "blnd 77"; }
  int Rows() const override { return document_.height; }
  int64_t Bytes() const override { return 3 * int64_t(document_.image.raster.size()); }

  void Prepare() override { out_ = document_.image.raster; }
  void Run(HostSuites &suites) override {
    BlendRecord record = Record(0, document_.height);
    Live<int32_t (*)(void *)>(suites, "blnd", 77)(&record);
  }
  void RunOpenMP(int threads) override {
#pragma omp parallel for schedule(static) num_threads(threads)
    for (int r = 0; r < document_.height; ++r) {
      BlendRecord record = Record(r, 1);
      BlndRecordBlend(&record);
    }
  }

 protected:
  BlendRecord Record(int first, int rows) {
    const int stride = document_.RasterStride();
    const int64_t offset = int64_t{first} * stride;
    BlendRecord record{};
    record.mode = 2;  // the lighter of layer and image
    record.rows = I16(rows);
    record.width = I16(stride);
    record.plane1 = At(out_, offset);
    record.stride1 = stride;
    record.opacity = 200;
    record.plane2 = At(document_.overlay.raster, offset);
    record.stride2 = stride;
    record.low = 0;
    record.high = 255;
    return record;
  }
};

// ---- blnd 77 back to back: the layer blend tile by tile, 64 rows a call ----

class TiledBlend : public LayerBlend {
 public:
  using LayerBlend::LayerBlend;
  const char *Name() const override { return "tiled-blend"; }
  int Rows() const override { return std::min(kTileRows, document_.height); }
  CallPattern Pattern() const override { return CallPattern::kBackToBack; }

  void Run(HostSuites &suites) override {
    const auto blend = Live<int32_t (*)(void *)>(suites, "blnd", 77);
    for (int first = 0; first < document_.height; first += kTileRows) {
      BlendRecord record = Record(first, TileRows(first));
      blend(&record);
    }
  }
  void RunOpenMP(int threads) override {
    for (int first = 0; first < document_.height; first += kTileRows) {
      const int rows = TileRows(first);
#pragma omp parallel for schedule(static) num_threads(threads)
      for (int r = first; r < first + rows; ++r) {
        BlendRecord record = Record(r, 1);
        BlndRecordBlend(&record);
      }
    }
  }

 private:
  static constexpr int kTileRows = 64;
  int TileRows(int first) const { return std::min(kTileRows, document_.height - first); }
};

// ---- filt 0 and 11: a 3 x 3 mean filter whose taps come from the host's kernel table ----

class Convolution : public ColourPlanesOperation {
 public:
  explicit Convolution(const Document &document)
      : ColourPlanesOperation(document),
        kernel_({{-1, -1, {}, 0},
                 {-1, 0, {}, 0},
                 {-1, 1, {}, 0},
                 {0, -1, {}, 0},
                 {0, 0, {}, 0},
                 {0, 1, {}, 0},
                 {1, -1, {}, 0},
                 {1, 0, {}, 0},
                 {1, 1, {}, 0}},
                0) {}
  const char *Name() const override { return "convolution"; }
  const char *Slots() const override { return "filt 0+11"; }
  // Every row but the first and last, every column but the first and last.
  int Rows() const override { return document_.height - 2; }
  int64_t Bytes() const override { return 6 * int64_t(document_.PlaneBytes()); }

  void Run(HostSuites &suites) override {
    using Slot0 = int32_t (*)(uint8_t, void *, int32_t, int32_t);
    using Slot11 = int32_t (*)(void *, void *, int16_t, int16_t, int16_t, int16_t);
    // The host keeps the kernel's offsets right for the stride it filters at.
    kernel_.ComputeFor(document_.width);
    Live<Slot0>(suites, "filt", 0)(0, kernel_.Handle(), 0, 0);
    for (size_t i = 0; i < 3; ++i) Call(Live<Slot11>(suites, "filt", 11), i, 0, Rows());
  }
  void RunOpenMP(int threads) override {
    kernel_.ComputeFor(document_.width);
    NameKernel(0, kernel_.Handle(), 0, 0);
    for (size_t i = 0; i < 3; ++i) {
#pragma omp parallel for schedule(static) num_threads(threads)
      for (int r = 0; r < Rows(); ++r) Call(&KernelMean, i, r, 1);
    }
  }

 private:
  template <typename Routine>
  void Call(Routine routine, size_t plane, int first, int rows) {
    const int w = document_.width;
    const int64_t offset = int64_t{first + 1} * w + 1;
    routine(At(document_.image.planes[plane], offset), At(out_[plane], offset), I16(rows), I16(w - 2), I16(w),
            I16(w));
  }
  KernelTable kernel_;
};

// ---- sele 0 and 2: six histograms of the image's colours weighted by its alpha ----

class Histograms : public Operation {
 public:
  using Operation::Operation;
  const char *Name() const override { return "histograms"; }
  const char *Slots() const override { return "sele 0+2"; }
  int Rows() const override { return document_.height; }
  int64_t Bytes() const override { return 4 * int64_t(document_.PlaneBytes()); }

  void Prepare() override { table_.fill(0); }
  void Run(HostSuites &suites) override {
    using Slot0 = int32_t (*)(void *);
    using Slot2 =
        int32_t (*)(void *, void *, void *, void *, void *, int16_t, int16_t, int16_t, int16_t, int16_t);
    Live<Slot0>(suites, "sele", 0)(table_.data());
    const auto &p = document_.image.planes;
    const int16_t w = I16(document_.width);
    Live<Slot2>(suites, "sele", 2)(At(p[0], 0), At(p[1], 0), At(p[2], 0), At(p[3], 0), nullptr,
                                   I16(document_.height), w, w, 0, 0);
  }
  void RunOpenMP(int threads) override {
    const auto &p = document_.image.planes;
    const int w = document_.width;
#pragma omp parallel num_threads(threads)
    {
      std::array<uint32_t, kCounters> own{};
#pragma omp for schedule(static) nowait
      for (int r = 0; r < document_.height; ++r) {
        const int64_t offset = int64_t{r} * w;
        CountSixHistogramsInto(own.data(), At(p[0], offset), At(p[1], offset), At(p[2], offset),
                               At(p[3], offset), nullptr, 1, I16(w), I16(w), 0, 0);
      }
#pragma omp critical
      for (size_t i = 0; i < own.size(); ++i) table_[i] += own[i];
    }
  }
  std::vector<uint8_t> Output() const override {
    std::vector<uint8_t> bytes(sizeof table_);
    std::memcpy(bytes.data(), table_.data(), bytes.size());
    return bytes;
  }

 private:
  static constexpr size_t kCounters = 6 * 256;
  std::array<uint32_t, kCounters> table_{};
};

// ---- pntg 12: a soft dab on each colour plane, placed by the band's row origin ----

class BrushDab : public ColourPlanesOperation {
 public:
  using ColourPlanesOperation::ColourPlanesOperation;
  const char *Name() const override { return "brush-dab"; }
  const char *Slots() const override { return "pntg 12"; }
  int Rows() const override { return document_.height; }
  int64_t Bytes() const override { return 6 * int64_t(document_.PlaneBytes()); }

  void Run(HostSuites &suites) override {
    using Slot12 =
        int32_t (*)(int16_t, int16_t, int16_t, int16_t, int16_t, void *, int16_t, int16_t, int16_t);
    for (size_t i = 0; i < 3; ++i) Call(Live<Slot12>(suites, "pntg", 12), i, 0, document_.height);
  }
  void RunOpenMP(int threads) override {
    for (size_t i = 0; i < 3; ++i) {
#pragma omp parallel for schedule(static) num_threads(threads)
      for (int r = 0; r < document_.height; ++r) Call(&PaintDab, i, r, 1);
    }
  }

 private:
  template <typename Routine>
  void Call(Routine routine, size_t plane, int first, int rows) {
    static constexpr int16_t kColour[3] = {255, 214, 120};
    const int w = document_.width, h = document_.height;
    const int radius = std::max(1, std::min(w, h) * 9 / 20);
    routine(I16(w), I16(first), I16(w / 2), I16(rows), I16(h / 2), At(out_[plane], int64_t{first} * w),
            I16(w), I16(radius), kColour[plane]);
  }
};

// ---- pntg 12 back to back: a stroke of small dabs along a diagonal, one call a dab ----

class BrushStroke : public ColourPlanesOperation {
 public:
  using ColourPlanesOperation::ColourPlanesOperation;
  const char *Name() const override { return "brush-stroke"; }
  const char *Slots() const override { return "pntg 12"; }
  int Rows() const override { return Side(); }
  int64_t Bytes() const override { return 2 * int64_t{kDabs} * Side() * Side(); }
  CallPattern Pattern() const override { return CallPattern::kBackToBack; }

  void Run(HostSuites &suites) override {
    using Slot12 =
        int32_t (*)(int16_t, int16_t, int16_t, int16_t, int16_t, void *, int16_t, int16_t, int16_t);
    const auto paint = Live<Slot12>(suites, "pntg", 12);
    for (int dab = 0; dab < kDabs; ++dab) Call(paint, dab, Top(dab), Side());
  }
  void RunOpenMP(int threads) override {
    for (int dab = 0; dab < kDabs; ++dab) {
      const int top = Top(dab);
#pragma omp parallel for schedule(static) num_threads(threads)
      for (int r = 0; r < Side(); ++r) Call(&PaintDab, dab, top + r, 1);
    }
  }

 private:
  static constexpr int kDabs = 1000;
  // Dabs of 128 x 128, or the image's short side where it is smaller.
  int Side() const { return std::min({128, document_.width, document_.height}); }
  int Spread(int dab, int extent) const { return (extent - Side()) * dab / (kDabs - 1); }
  int Top(int dab) const { return Spread(dab, document_.height); }

  // Rows [first, first + rows) of dab `dab`, on the colour plane the dab's
  // number picks.
  template <typename Routine>
  void Call(Routine routine, int dab, int first, int rows) {
    static constexpr int16_t kColour[3] = {40, 170, 250};
    const int w = document_.width;
    const int half = Side() / 2;
    const size_t plane = static_cast<size_t>(dab % 3);
    routine(I16(w), I16(first), I16(Spread(dab, w) + half), I16(rows), I16(Top(dab) + half),
            At(out_[plane], int64_t{first} * w), I16(w), I16(half), kColour[plane]);
  }
};

// ---- memo 32: the sum of every byte of the image, the slices' sums added up ----

class PixelSum : public Operation {
 public:
  using Operation::Operation;
  const char *Name() const override { return "pixel-sum"; }
  const char *Slots() const override { return "memo 32"; }
  int Rows() const override { return document_.height; }
  int64_t Bytes() const override { return int64_t(document_.image.raster.size()); }

  void Prepare() override { sum_ = 0; }
  void Run(HostSuites &suites) override {
    using Slot32 = int32_t (*)(void *, int16_t, int16_t, int16_t);
    const int16_t stride = I16(document_.RasterStride());
    sum_ = static_cast<uint32_t>(Live<Slot32>(suites, "memo", 32)(At(document_.image.raster, 0),
                                                                  I16(document_.height), stride, stride));
  }
  void RunOpenMP(int threads) override {
    const int stride = document_.RasterStride();
    uint32_t sum = 0;
#pragma omp parallel for schedule(static) num_threads(threads) reduction(+ : sum)
    for (int r = 0; r < document_.height; ++r) {
      sum += static_cast<uint32_t>(
          SumBytes(At(document_.image.raster, int64_t{r} * stride), 1, I16(stride), I16(stride)));
    }
    sum_ = sum;
  }
  std::vector<uint8_t> Output() const override {
    std::vector<uint8_t> bytes(sizeof sum_);
    std::memcpy(bytes.data(), &sum_, sizeof sum_);
    return bytes;
  }

 private:
  uint32_t sum_ = 0;
};

// ---- rast 2: the image's raster copied whole into another ----

class RasterCopy : public RasterOperation {
 public:
  using RasterOperation::RasterOperation;
  const char *Name() const override { return "raster-copy"; }
  const char *Slots() const override { return "rast 2"; }
  int Rows() const override { return document_.height; }
  int64_t Bytes() const override { return 2 * int64_t(document_.image.raster.size()); }

  void Prepare() override { out_.assign(document_.image.raster.size(), 0); }
  void Run(HostSuites &suites) override {
    using Slot2 =
        int32_t (*)(void *, void *, void *, int16_t, int16_t, int32_t, int32_t, int32_t, int16_t, int16_t);
    Call(Live<Slot2>(suites, "rast", 2), 0, document_.height);
  }
  void RunOpenMP(int threads) override {
#pragma omp parallel for schedule(static) num_threads(threads)
    for (int r = 0; r < document_.height; ++r) Call(&CopyRaster, r, 1);
  }

 private:
  template <typename Routine>
  void Call(Routine routine, int first, int rows) {
    const int stride = document_.RasterStride();
    const int64_t offset = int64_t{first} * stride;
    routine(At(out_, offset), At(document_.image.raster, offset), nullptr, I16(rows), I16(stride), stride,
            stride, 0, 0, 1);
  }
};

// ---- rsmp 4 and 10: a sepia colour matrix through the multiplication tables, inside the overlay's discs
// ----

class ColourMatrix : public RasterOperation {
 public:
  explicit ColourMatrix(const Document &document) : RasterOperation(document) {
    // Coefficient of output channel i from input channel j, in 1/16384.
    static constexpr int16_t kSepia[3][3] = {{6439, 12599, 3097}, {5718, 11239, 2753}, {4456, 8749, 2146}};
    for (size_t i = 0; i < 3; ++i) {
      for (size_t j = 0; j < 3; ++j) coefficients_[j * 3 + i] = kSepia[i][j];
    }
  }
  const char *Name() const override { return "colour-matrix"; }
  const char *Slots() const override { return "rsmp 4+10"; }
  int Rows() const override { return document_.height; }
  int64_t Bytes() const override {
    return 2 * int64_t(document_.image.raster.size()) + int64_t(document_.PlaneBytes());
  }

  void Prepare() override {
    out_.assign(document_.image.raster.size(), 0);
    tables_.assign(tables_.size(), 0);
  }
  void Run(HostSuites &suites) override {
    using Slot4 = int32_t (*)(int16_t, void *, void *);
    using Slot10 = int32_t (*)(void *, void *, void *, int16_t, int16_t, int32_t, int32_t, int32_t, int32_t,
                               int16_t, int16_t, int16_t);
    Live<Slot4>(suites, "rsmp", 4)(3, coefficients_.data(), tables_.data());
    UseColourTables(tables_.data());
    Call(Live<Slot10>(suites, "rsmp", 10), 0, document_.height);
  }
  void RunOpenMP(int threads) override {
    MultiplyTablesByFormula(3, coefficients_.data(), tables_.data());
    UseColourTables(tables_.data());
#pragma omp parallel for schedule(static) num_threads(threads)
    for (int r = 0; r < document_.height; ++r) Call(&ApplyColourMatrix, r, 1);
  }
  std::vector<uint8_t> Output() const override {
    std::vector<uint8_t> bytes = out_;
    const auto *tables = reinterpret_cast<const uint8_t *>(tables_.data());
    bytes.insert(bytes.end(), tables, tables + tables_.size() * sizeof(uint32_t));
    return bytes;
  }

 private:
  template <typename Routine>
  void Call(Routine routine, int first, int rows) {
    const int w = document_.width;
    routine(At(out_, int64_t{first} * 4 * w), At(document_.image.raster, int64_t{first} * 4 * w),
            At(document_.overlay.planes[3], int64_t{first} * w), I16(rows), I16(w), 4 * w, 0, w, 0, 255, 0,
            0);
  }
  std::array<int16_t, 32 * 3> coefficients_{};
  std::vector<uint32_t> tables_ = std::vector<uint32_t>(3 * 32 * 256);
};

// ---- rsmp 2: every row magnified one and a half times about its centre ----

class RowResample : public RasterOperation {
 public:
  using RasterOperation::RasterOperation;
  const char *Name() const override { return "row-resample"; }
  const char *Slots() const override { return "rsmp 2"; }
  int Rows() const override { return document_.height; }
  int64_t Bytes() const override { return 2 * int64_t(document_.image.raster.size()); }

  void Prepare() override { out_.assign(document_.image.raster.size(), 0); }
  void Run(HostSuites &suites) override {
    using Slot2 = int32_t (*)(void *, void *, int16_t, int16_t, int32_t, int16_t, int16_t, int32_t);
    Call(Live<Slot2>(suites, "rsmp", 2), 0, document_.height);
  }
  void RunOpenMP(int threads) override {
#pragma omp parallel for schedule(static) num_threads(threads)
    for (int r = 0; r < document_.height; ++r) Call(&ZoomRows, r, 1);
  }

 private:
  template <typename Routine>
  void Call(Routine routine, int first, int rows) {
    const int stride = document_.RasterStride();
    const int64_t offset = int64_t{first} * stride;
    routine(At(document_.image.raster, offset), At(out_, offset), I16(rows), I16(document_.width),
            3 * 65536 / 2, I16(stride), I16(stride), 0);
  }
};

// ---- disp 24: the image as the screen shows it, over a checkerboard, dithered; placed by row origin ----

class Display : public RasterOperation {
 public:
  using RasterOperation::RasterOperation;
  const char *Name() const override { return "display"; }
  const char *Slots() const override { return "disp 24"; }
  int Rows() const override { return document_.height; }
  int64_t Bytes() const override { return 2 * int64_t(document_.image.raster.size()); }

  void Prepare() override { out_ = document_.image.raster; }
  void Run(HostSuites &suites) override {
    using Slot24 = int32_t (*)(void *, int16_t, int16_t, int16_t, int16_t, int16_t, int32_t, int32_t);
    Call(Live<Slot24>(suites, "disp", 24), 0, document_.height);
  }
  void RunOpenMP(int threads) override {
#pragma omp parallel for schedule(static) num_threads(threads)
    for (int r = 0; r < document_.height; ++r) Call(&ToDisplay, r, 1);
  }

 private:
  template <typename Routine>
  void Call(Routine routine, int first, int rows) {
    routine(At(out_, int64_t{first} * document_.RasterStride()), I16(rows), I16(document_.width), I16(first),
            32, 0, 0xCCCCCC, 0x999999);
  }
};

// ---- disp 24 as a preview redraws it: a small image again and again, the editor idle between ----

class Preview : public Operation {
 public:
  explicit Preview(const Document &document)
      : Operation(document),
        small_(GenerateDocument(std::min(document.width, 400), std::min(document.height, 300))),
        display_(small_) {}
  const char *Name() const override { return "preview"; }
  const char *Slots() const override { return "disp 24"; }
  int Rows() const override { return small_.height; }
  int64_t Bytes() const override { return Redraws() * display_.Bytes(); }
  CallPattern Pattern() const override { return CallPattern::kAfterIdle; }
  double IdleMs() const override { return idle_ms_; }

  void Prepare() override { display_.Prepare(); }
  void Run(HostSuites &suites) override {
    Redraw([&] { display_.Run(suites); });
  }
  void RunOpenMP(int threads) override {
    Redraw([&] { display_.RunOpenMP(threads); });
  }
  std::vector<uint8_t> Output() const override { return display_.Output(); }

 private:
  // 50 redraws of a preview of 400 x 300 or more; a few of a smaller one.
  int Redraws() const { return small_.width * small_.height >= 400 * 300 ? 50 : 3; }

  template <typename Draw>
  void Redraw(Draw draw) {
    idle_ms_ = 0;
    for (int redraw = 0; redraw < Redraws(); ++redraw) {
      const auto idle_from = std::chrono::steady_clock::now();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      idle_ms_ +=
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - idle_from).count();
      draw();
    }
  }

  Document small_;
  Display display_;
  double idle_ms_ = 0;
};

using Maker = std::function<std::unique_ptr<Operation>(const Document &)>;

template <typename T>
std::pair<std::string, Maker> Entry(const char *name) {
  return {name, [](const Document &document) { return std::make_unique<T>(document); }};
}

const std::vector<std::pair<std::string, Maker>> &Registry() {
  static const std::vector<std::pair<std::string, Maker>> registry = {
      Entry<AlphaBlend>("alpha-blend"),   Entry<LayerBlend>("layer-blend"),
      Entry<Convolution>("convolution"),  Entry<Histograms>("histograms"),
      Entry<BrushDab>("brush-dab"),       Entry<PixelSum>("pixel-sum"),
      Entry<RasterCopy>("raster-copy"),   Entry<ColourMatrix>("colour-matrix"),
      Entry<RowResample>("row-resample"), Entry<Display>("display"),
      Entry<BrushStroke>("brush-stroke"), Entry<TiledBlend>("tiled-blend"),
      Entry<Preview>("preview"),
  };
  return registry;
}

}  // namespace

std::vector<std::string> OperationNames() {
  std::vector<std::string> names;
  for (const auto &entry : Registry()) names.push_back(entry.first);
  return names;
}

std::vector<std::unique_ptr<Operation>> MakeOperations(const Document &document,
                                                       const std::vector<std::string> &names) {
  std::vector<std::unique_ptr<Operation>> operations;
  for (const auto &[name, make] : Registry()) {
    if (names.empty() || std::find(names.begin(), names.end(), name) != names.end()) {
      operations.push_back(make(document));
    }
  }
  return operations;
}

}  // namespace lumora::sim
