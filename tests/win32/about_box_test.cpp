// Selector 0 on a real screen: the module's about dialog comes up over the
// host's main window, the host's dialog procedure is called for it, and the
// host closes the dialog.
//
// Run by about_on_screen.py under Xvfb, which passes a folder in
// ROWFORK_SCREEN_DIR: once the dialog has been painted, this program writes
// the screen rectangles of the host window and the dialog to `shown` there,
// and it closes the dialog when `shot` appears (the screenshot has been taken).
// Without the folder it closes the dialog after a few ticks.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "host/host_abi.h"
#include "host/module_loader.h"
#include "host/plugin_support.h"

namespace lumora::testing {
namespace {

constexpr uint32_t kTickMs = 100;
constexpr uint32_t kHoldLimitMs = 60000;  // the screenshot never takes this long
constexpr int32_t kSettleTicks = 3;       // ticks between showing and announcing

// What the hook is given to compare against, and what it found.
struct Watch {
  HWND parent = nullptr;
  std::string folder;
  std::string texts[5];
  HWND dialog = nullptr;
  bool parent_disabled = false;
  int32_t shown_at = 0;
} watch;

std::string InFolder(const char *name) { return watch.folder + "\\" + name; }

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

// What the host's dialog procedure was given, and the dialog Windows made of
// the module's template: a modal pop-up without a caption over the window of
// the about record, holding the five texts. (The template's bytes, places and
// styles are the resource test's.)
void CheckDialog(HWND dialog) {
  watch.dialog = dialog;
  PluginDialogCall call{};
  PluginDialogCalls(&call);
  EXPECT_EQ(call.message, static_cast<UINT>(WM_INITDIALOG));
  EXPECT_EQ(call.lparam, 0) << "the module's initialisation value";

  EXPECT_EQ(GetWindow(dialog, GW_OWNER), watch.parent) << "the window of the about record";
  const auto style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
  EXPECT_EQ(style & (WS_POPUP | DS_MODALFRAME | WS_CAPTION), static_cast<DWORD>(WS_POPUP | DS_MODALFRAME));

  int index = 0;
  for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
       control = GetWindow(control, GW_HWNDNEXT)) {
    ASSERT_LT(index, 5) << "more than five controls";
    char text[128] = "";
    GetWindowTextA(control, text, sizeof text);
    EXPECT_EQ(text, watch.texts[index]) << "control " << index;
    ++index;
  }
  EXPECT_EQ(index, 5);
}

// Lines "host|dialog L T R B" in screen pixels, for the screenshot's frame.
bool AnnounceShown(HWND dialog) {
  const std::string temporary = InFolder("shown.tmp");
  FILE *out = std::fopen(temporary.c_str(), "w");
  if (out == nullptr) return false;
  for (const auto &[name, window] : {std::pair{"host", watch.parent}, std::pair{"dialog", dialog}}) {
    const RECT rect = ScreenRect(window);
    std::fprintf(out, "%s %ld %ld %ld %ld\n", name, rect.left, rect.top, rect.right, rect.bottom);
  }
  std::fclose(out);
  return MoveFileA(temporary.c_str(), InFolder("shown").c_str()) != 0;
}

int32_t HoldForTheScreenshot(HWND dialog, int32_t tick) {
  if (tick == 0) {
    CheckDialog(dialog);
    return 0;
  }
  if (!IsWindowVisible(dialog)) return 0;
  watch.parent_disabled = !IsWindowEnabled(watch.parent);
  if (watch.shown_at == 0) watch.shown_at = tick;
  if (tick - watch.shown_at < kSettleTicks) return 0;
  if (watch.folder.empty()) return 1;
  if (tick - watch.shown_at == kSettleTicks) {
    EXPECT_TRUE(AnnounceShown(dialog));
  }
  return GetFileAttributesA(InFolder("shot").c_str()) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

HWND MainWindow() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = DefWindowProcA;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  window_class.lpszClassName = "LumoraMain";
  RegisterClassA(&window_class);
  HWND window = CreateWindowExA(0, "LumoraMain", "Lumora", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 360, 280,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(window);
  return window;
}

TEST(AboutBoxOnScreen, ShowsTheDialogOverTheHostWindowUntilTheHostClosesIt) {
  LoadedModule module(BuiltModulePath());
  ASSERT_TRUE(module.Loaded()) << module.Error();
  char notice[256] = "";
  LoadStringA(GetModuleHandleA("Rowfork.lmx"), 1, notice, sizeof notice);
  const std::string first = notice;
  watch.texts[0] = "Tandemix Extension";
  watch.texts[1] = first.substr(first.find('\n') + 1);
  watch.texts[2] = "5.0";
  watch.texts[3] = "An extension module to support ";
  watch.texts[4] = "Multiprocessor architectures.";
  if (const char *folder = std::getenv("ROWFORK_SCREEN_DIR")) watch.folder = folder;

  watch.parent = MainWindow();
  ASSERT_NE(watch.parent, nullptr);
  PlatformData platform{watch.parent};
  AboutRecord about{&platform};
  PluginHoldDialog(HoldForTheScreenshot, kTickMs, kHoldLimitMs);
  const int32_t calls_before = PluginDialogCalls(nullptr);

  EXPECT_EQ(module.Call(kSelectAbout, &about), kResultSuccess);

  PluginHoldDialog(nullptr, 0, 0);
  EXPECT_GT(PluginDialogCalls(nullptr), calls_before);
  ASSERT_NE(watch.dialog, nullptr) << "the dialog was not created";
  EXPECT_GT(watch.shown_at, 0) << "the dialog never became visible";
  EXPECT_TRUE(watch.parent_disabled) << "the dialog is modal to the host's window";
  EXPECT_EQ(PluginDialogsCutShort(), 0) << "the dialog outlived its time limit";
  EXPECT_FALSE(IsWindow(watch.dialog));
  EXPECT_TRUE(IsWindowEnabled(watch.parent));
  DestroyWindow(watch.parent);
}

TEST(AboutBoxOnScreen, ADialogThatCannotBeCreatedStillReportsSuccess) {
  LoadedModule module(BuiltModulePath());
  ASSERT_TRUE(module.Loaded()) << module.Error();
  HWND gone = MainWindow();
  DestroyWindow(gone);
  PlatformData platform{gone};
  AboutRecord about{&platform};
  const int32_t calls_before = PluginDialogCalls(nullptr);
  EXPECT_EQ(module.Call(kSelectAbout, &about), kResultSuccess);
  EXPECT_EQ(PluginDialogCalls(nullptr), calls_before) << "no dialog for a parent that is gone";
}

}  // namespace
}  // namespace lumora::testing
