// The filter suite's argument lists as the host declares them, spelled out
// for the host-level tests.
#pragma once

#include <cstdint>

#include "host/host_abi.h"

namespace lumora::testing {

constexpr uint32_t kCore = Code("core");
constexpr uint32_t kFilt = Code("filt");

using TwoPlaneFn = int32_t(void *, void *, int16_t, int16_t, int16_t, int16_t);
using FourPlaneFn = int32_t(void *, void *, void *, void *, int16_t, int16_t, int16_t, int16_t, int16_t,
                            int16_t);
using ScratchFn = int32_t(void *, void *, int16_t, int16_t, int16_t, int16_t, int16_t, void *);
using TwoPlaneValueFn = int32_t(void *, void *, int16_t, int16_t, int16_t, int16_t, int16_t);
using ByteRunFn = int32_t(void *, uint16_t);
using HalfRunFn = int32_t(void *, int16_t, int16_t, int16_t);
using HalfRunUFn = int32_t(void *, uint16_t, int16_t);
using OriginFn = int32_t(void *, int16_t, int16_t, int16_t, void *, void *, int16_t, int16_t);
using TwoOriginFn = int32_t(void *, void *, int16_t, int16_t, int16_t, int16_t, void *, void *, int16_t,
                            int16_t);
using FactorFn = int32_t(void *, void *, int16_t, int16_t, int16_t, int16_t, int16_t, int16_t, void *);
using Wide13Fn = int32_t(void *, void *, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                         int32_t, int32_t, int32_t, int32_t);
using Wide18Fn = int32_t(void *, void *, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                         int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);
using ThreeWideFn = int32_t(void *, void *, void *, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                            int32_t, int32_t);
using FourWideFn = int32_t(void *, void *, void *, void *, int32_t, int32_t, int32_t, int32_t, int32_t,
                           int32_t, int32_t, int32_t);
using KernelFn = int32_t(uint8_t, void *, int32_t, int32_t);

}  // namespace lumora::testing
