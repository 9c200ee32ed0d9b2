#pragma once
// Panel1: a plain container with a lowered one-pixel bevel. Its children's
// notifications go on to the main window, which owns their handling.
#include <windows.h>

inline constexpr const wchar_t* kBevelPanelClass = L"MorvaneBevelPanel";

bool registerBevelPanelClass(HINSTANCE instance);
