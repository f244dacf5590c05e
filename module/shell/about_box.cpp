#include "shell/about_box.h"

#include "abi/host_types.h"
#include "abi/plugin_imports.h"

namespace rowfork {

HINSTANCE ModuleHandle;

namespace {

constexpr int kAboutDialog = 16000;

HWND ParentWindow(const void *about) {
  const auto *record = static_cast<const AboutRecord *>(about);
  if (record == nullptr || record->platform == nullptr) return nullptr;
  return static_cast<HWND>(record->platform->main_window);
}

}  // namespace

void ShowAboutBox(const void *about) {
  // The dialog's result does not matter: the host closes it itself.
  DialogBoxParamA(ModuleHandle, MAKEINTRESOURCEA(kAboutDialog), ParentWindow(about), AboutDlgProc, 0);
}

}  // namespace rowfork
