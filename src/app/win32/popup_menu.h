#pragma once
// PopupMenu1: built from the form's items each time it opens, so that every
// caption and enabled state is the one the item has at that moment.
#include <windows.h>

#include <vector>

#include "app/controls.h"
#include "platform/win32/handle_owners.h"

// The menu for the items as they are now: separators, plain captions, each
// item enabled or greyed; an item's command id is its place plus one.
TMenu buildPopupMenu(const std::vector<TMenuItem*>& items);

// Opens the menu at a screen point and runs the chosen item's Click().
void showPopupMenu(HWND owner, const std::vector<TMenuItem*>& items, int screenX, int screenY);
