#pragma once
// A modal message loop for the program's own dialogs: the owner is disabled
// while the dialog is up, messages run until the dialog is done.
#include <windows.h>

#include <functional>

// Runs messages until `done` holds. With `dialogKeys` Tab and the other
// dialog keys move between the dialog's controls. False when the loop ended
// on WM_QUIT, which is posted again for the main loop.
bool runModalLoop(HWND dialog, HWND owner, const std::function<bool()>& done, bool dialogKeys);
