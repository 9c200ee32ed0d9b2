#pragma once
// Panel1: a plain container with a lowered one-pixel bevel. Its children's
// notifications go on to the main window, which owns their handling.
#include <windows.h>

#include "platform/win32/window_wall.h"

inline constexpr const wchar_t* kBevelPanelClass = L"MorvaneBevelPanel";

class TBevelPanel {
 public:
  TBevelPanel() = default;
  TBevelPanel(const TBevelPanel&) = delete;
  TBevelPanel& operator=(const TBevelPanel&) = delete;

  HWND handle() const { return FWnd; }

 private:
  MORVANE_OWNED_WINDOW(TBevelPanel, L"the panel");

  HWND FWnd = nullptr;
};

// Windows of this class take their TBevelPanel as the creation parameter.
bool registerBevelPanelClass(HINSTANCE instance);
