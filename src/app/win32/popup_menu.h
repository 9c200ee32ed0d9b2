#pragma once
// PopupMenu1: built from the form's items each time it opens, so that every
// caption and enabled state is the one the item has at that moment.
#include <windows.h>

#include <vector>

#include "app/controls.h"

// Opens the menu at a screen point and runs the chosen item's Click().
void showPopupMenu(HWND owner, const std::vector<TMenuItem*>& items, int screenX, int screenY);
