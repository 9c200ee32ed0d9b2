#pragma once
// Binds the form's core control objects to their windows: a change in an
// object is pushed to its window, a user's action on a window updates the
// object and fires its handler.
#include <windows.h>

#include <functional>
#include <map>
#include <vector>

#include "app/controls.h"

class TControlBinding {
 public:
  TControlBinding() = default;
  TControlBinding(const TControlBinding&) = delete;
  TControlBinding& operator=(const TControlBinding&) = delete;

  // Each bind pushes the object's state to the window once.
  void bindButton(TButton& button, HWND wnd);
  void bindCheckBox(TCheckBox& box, HWND wnd);
  void bindEdit(TEdit& edit, HWND wnd);
  void bindLabel(TControl& label, HWND wnd);
  void bindMemo(TMemo& memo, HWND wnd);
  void bindProgressBar(TProgressBar& bar, HWND wnd);
  void bindStatusBar(TStatusBar& bar, HWND wnd);
  void bindWindow(TFormWindow& form, HWND wnd);

  // A WM_COMMAND notification from a bound control; false when the control is
  // none of them.
  bool command(HWND control, UINT code);
  // Called on WM_WINDOWPOSCHANGED: the form's frame follows the user's moves.
  void windowMoved();
  // Called when the windows are destroyed: every object bound drops the hooks
  // that point at them, so that a change made later reaches no dead window.
  void release();

 private:
  std::map<HWND, std::function<void(UINT)>> FCommands;
  std::function<void()> FWindowMoved;
  std::vector<TControl*> FBound;
};

// The text of a window.
std::wstring windowText(HWND wnd);
