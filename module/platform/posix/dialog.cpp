// The about box has no window here: its procedure sees the initialisation it
// would see on Windows, and the dialog ends at once. A null procedure is a
// failure (-1), as a dialog that could not be created is on Windows.
#include "platform/posix/win32_subset.h"

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR, HWND, DLGPROC dialog_proc, LPARAM init_param) {
  if (dialog_proc == nullptr) return -1;
  dialog_proc(nullptr, WM_INITDIALOG, 0, init_param);
  return 0;
}
