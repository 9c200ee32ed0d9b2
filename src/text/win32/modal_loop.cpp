#include "text/win32/modal_loop.h"

bool runModalLoop(HWND dialog, HWND owner, const std::function<bool()>& done, bool dialogKeys) {
  const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner) != FALSE;
  if (ownerWasEnabled) {
    EnableWindow(owner, FALSE);
  }
  bool quit = false;
  MSG msg{};
  while (!done()) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      quit = true;
      break;
    }
    if (dialogKeys && IsDialogMessageW(dialog, &msg) != FALSE) {
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // The owner comes back before the dialog hides, so the activation returns to it.
  if (ownerWasEnabled) {
    EnableWindow(owner, TRUE);
  }
  if (quit) {
    PostQuitMessage(static_cast<int>(msg.wParam));
  }
  return !quit;
}
