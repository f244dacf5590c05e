#include "host/module_loader.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace lumora {

#if defined(_WIN32)

LoadedModule::LoadedModule(const std::string &path) : path_(path) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    error_ = "LoadLibrary failed: " + std::to_string(GetLastError());
    return;
  }
  handle_ = module;
  entry_ = reinterpret_cast<EntryPoint>(reinterpret_cast<void *>(GetProcAddress(module, "ENTRYPOINT1")));
  if (entry_ == nullptr) error_ = "no ENTRYPOINT1";
}

bool LoadedModule::Unload() {
  if (handle_ == nullptr) return true;
  FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
  entry_ = nullptr;
  return GetModuleHandleA(path_.c_str()) == nullptr;
}

std::string LoadedModule::FileName() const {
  char name[MAX_PATH];
  const DWORD length =
      handle_ != nullptr ? GetModuleFileNameA(static_cast<HMODULE>(handle_), name, MAX_PATH) : 0;
  return length > 0 && length < MAX_PATH ? std::string(name, length) : path_;
}

std::string BuiltModulePath() { return "Rowfork.lmx"; }

#else

LoadedModule::LoadedModule(const std::string &path) : path_(path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    error_ = dlerror();
    return;
  }
  entry_ = reinterpret_cast<EntryPoint>(dlsym(handle_, "ENTRYPOINT1"));
  if (entry_ == nullptr) error_ = "no ENTRYPOINT1";
}

bool LoadedModule::Unload() {
  if (handle_ == nullptr) return true;
  dlclose(handle_);
  handle_ = nullptr;
  entry_ = nullptr;
  return dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD) == nullptr;
}

// The name dlopen was given, which is what it records for the module too.
std::string LoadedModule::FileName() const { return path_; }

std::string BuiltModulePath() { return ROWFORK_MODULE_PATH; }

#endif

LoadedModule::~LoadedModule() { Unload(); }

int16_t LoadedModule::Call(int16_t selector, void *block) {
  int32_t data = 0;
  int16_t result = 0x7777;
  entry_(selector, block, &data, &result);
  return result;
}

}  // namespace lumora
