// Whether this program's instructions run on the processor itself or through
// a software emulator, such as the one scripts/install-deps registers for
// 32-bit programs on kernels that refuse them. An emulator's timings are its
// own: they say nothing about the speed of the code it runs.
#pragma once

#include <string>

namespace lumora {

// The name the emulated processor gives itself ("QEMU TCG CPU version
// 2.5+"); empty where the code runs on a real processor.
std::string EmulatedProcessor();

}  // namespace lumora
