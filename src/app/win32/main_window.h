#pragma once
// morvane.exe's main window: the frame of TMorvaneForm, its controls at their
// places, the panel, the log, the progress and status bars and the popup menu.
#include <windows.h>

#include <vector>

#include "app/morvane_form.h"
#include "app/win32/bevel_panel.h"
#include "app/win32/control_binding.h"
#include "platform/win32/handle_owners.h"
#include "platform/win32/window_wall.h"

inline constexpr int kClientWidth = 581;
inline constexpr int kClientHeight = 349;
inline constexpr int kStatusBarHeight = 19;
// Right edges of the first two status panels. The third, the pending counts,
// is as wide as the longest of them in the bar's font; the last runs to the grip.
inline constexpr int kStatusEdges[] = {100, 180};
// The least client height: the sheet (182 high at the start) keeps 86 pixels,
// its header row and three data rows.
inline constexpr int kMinSheetHeight = 86;
inline constexpr int kMinClientHeight = kClientHeight - (182 - kMinSheetHeight);

// Control ids; none is IDOK or IDCANCEL, which IsDialogMessage sends for Enter and Escape.
enum TControlId : int {
  kIdSheet = 100,
  kIdButton1,
  kIdCheckBox6,
  kIdCheckBox5,
  kIdEdit2,
  kIdButton2,
  kIdButton3,
  kIdPanel1,
  kIdCheckBox1,
  kIdCheckBox2,
  kIdCheckBox3,
  kIdCheckBox4,
  kIdLabel1,
  kIdEdit1,
  kIdSpeedButton2,
  kIdSpeedButton1,
  kIdMemo1,
  kIdProgressBar1,
  kIdStatusBar1,
};

class TMainWindow {
 public:
  explicit TMainWindow(TMorvaneForm& form) : FForm(form) {}
  TMainWindow(const TMainWindow&) = delete;
  TMainWindow& operator=(const TMainWindow&) = delete;

  // Creates the window and its controls; the form's creation step runs
  // meanwhile. False when the window could not be created.
  bool create(HINSTANCE instance);
  // Shows the window, then runs the form's show step.
  void show(int showCommand);
  HWND handle() const { return FWnd; }
  // Tab and the other dialog keys between the controls; true when the message was used.
  bool dialogMessage(MSG& msg);

 private:
  // A child's place in a client area of kClientWidth x kClientHeight and the
  // edges it keeps its distance to when the window is resized.
  struct TPlacement {
    HWND wnd = nullptr;
    RECT place{};
    bool right = false;
    bool bottom = false;
    bool top = true;
  };

  MORVANE_OWNED_WINDOW(TMainWindow, L"the main window");
  // What a message answers when its handler failed.
  LRESULT afterFailure(UINT message, WPARAM wParam, LPARAM lParam);

  bool onCreate();
  void createTopRow();
  void createPanel();
  void createBottom();
  void bindControls();
  void onSize(int width, int height);
  void onGetMinMaxInfo(MINMAXINFO& info) const;
  void onClose();
  void onEndSession(bool ending);
  void onActivate(WPARAM state);
  LRESULT onCtlColorStatic(HDC dc, HWND control);
  void onContextMenu(int screenX, int screenY);

  // owner: the creation parameter of a window whose class keeps an object of ours.
  HWND child(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style, DWORD exStyle,
             int x, int y, int width, int height, int id, HFONT font, void* owner = nullptr);
  HWND place(HWND wnd, int x, int y, int width, int height, bool right, bool bottom, bool top = true);

  TMorvaneForm& FForm;
  HWND FWnd = nullptr;
  TGdiObject<HFONT> FFont;
  TGdiObject<HFONT> FEditFont;
  TControlBinding FBinding;
  std::vector<TPlacement> FLayout;
  HWND FSheet = nullptr;
  TBevelPanel FBevel;
  HWND FPanel = nullptr;
  HWND FMemo = nullptr;
  HWND FStatusBar = nullptr;
  HWND FFocus = nullptr;  // the control that had the focus when the window was left
  bool FClosing = false;
};

// Registers the window classes of the main window and its panel.
bool registerMainWindowClasses(HINSTANCE instance);
