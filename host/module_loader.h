// Loads an extension module file the way the host does and calls its entry
// point. Unloading checks that the module really left the process, so the
// next load starts from the module's load-time state.
#pragma once

#include <cstdint>
#include <string>

#include "host/host_abi.h"

namespace lumora {

class LoadedModule {
 public:
  explicit LoadedModule(const std::string &path);
  LoadedModule(const LoadedModule &) = delete;
  LoadedModule &operator=(const LoadedModule &) = delete;
  ~LoadedModule();

  bool Loaded() const { return entry_ != nullptr; }
  const std::string &Error() const { return error_; }
  // The file the system loaded: where the search for a bare name led.
  std::string FileName() const;

  // Calls ENTRYPOINT1 and returns what it wrote to the result.
  int16_t Call(int16_t selector, void *block);

  // Unloads now; false if the module stayed in the process.
  bool Unload();

 private:
  std::string path_;
  std::string error_;
  void *handle_ = nullptr;
  EntryPoint entry_ = nullptr;
};

// The module file of this build, as the build system placed it.
std::string BuiltModulePath();

}  // namespace lumora
