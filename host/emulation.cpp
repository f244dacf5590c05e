#include "host/emulation.h"

#include <cpuid.h>

#include <cstring>

namespace lumora {

std::string EmulatedProcessor() {
  // The processor's brand string: qemu's software emulation (its "tiny code
  // generator") calls itself "QEMU TCG CPU", where a virtual machine that runs
  // the code on a real processor shows that processor's name.
  if (static_cast<unsigned>(__get_cpuid_max(0x80000000u, nullptr)) < 0x80000004u) return "";
  unsigned words[12] = {};
  for (unsigned leaf = 0; leaf < 3; ++leaf) {
    __get_cpuid(0x80000002u + leaf, &words[4 * leaf], &words[4 * leaf + 1], &words[4 * leaf + 2],
                &words[4 * leaf + 3]);
  }
  char brand[sizeof words + 1] = {};
  std::memcpy(brand, words, sizeof words);
  std::string name = brand;
  name.erase(name.find_last_not_of(' ') + 1);
  return name.find("TCG") != std::string::npos ? name : "";
}

}  // namespace lumora
