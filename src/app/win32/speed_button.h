#pragma once
// SpeedButton1/2: push buttons that never take the focus, so that the sheet
// keeps its current cell and edit while they are clicked.
#include <windows.h>

// Makes an existing BUTTON window behave as a speed button.
void makeSpeedButton(HWND button);
