#pragma once
// The candidates popup "入力候補": a captionless, sizable, topmost popup with
// a drop shadow, holding only ListBox1. Created once hidden; shown modally by
// the input candidates command; its size stays as the user leaves it.
#include <windows.h>

#include "platform/win32/handle_owners.h"
#include "platform/win32/window_wall.h"
#include "text/input_list.h"
#include "text/win32/popup_list.h"

inline constexpr int kIdInputListBox = 301;

// The window's styles and its class's, as the popup asks for them when it is created.
struct TCreateParams {
  DWORD style = 0;
  DWORD exStyle = 0;
  UINT windowClassStyle = 0;
};

class TInputListWin32 : public TInputListForm {
 public:
  TInputListWin32() : FList(inputListClose) {}
  TInputListWin32(const TInputListWin32&) = delete;
  TInputListWin32& operator=(const TInputListWin32&) = delete;
  ~TInputListWin32() override;

  bool create(HINSTANCE instance, HWND owner);
  HWND handle() const { return FWnd; }
  HWND listBox() const { return FList.handle(); }

  void load(const std::vector<std::wstring>& list) override;
  int outerWidth() override;
  int outerHeight() override;
  void moveTo(TScreenPoint topLeft) override;
  void setTopmost(bool on) override;
  std::optional<std::wstring> ShowModal() override;

 private:
  MORVANE_OWNED_WINDOW(TInputListWin32, L"the candidates popup");
  static void CreateParams(TCreateParams& params);
  void FormShow();
  // ListBox1's events, each closing the popup as the closing table says.
  void ListBox1Click();
  void ListBox1DblClick();
  // True when the key was taken (Enter, Escape).
  bool ListBox1KeyDown(WPARAM key);
  void ListBox1MouseDown(UINT buttonMessage);

  HWND FWnd = nullptr;
  HWND FOwner = nullptr;
  TGdiObject<HFONT> FFont;
  TPopupList FList;
};
