#pragma once
// The replace dialog "文字列置換": a tool window of 203 x 128 client pixels
// with its two edit boxes, the check box and the two buttons, created once
// hidden and shown modally over the main window.
#include <windows.h>

#include "platform/win32/handle_owners.h"
#include "platform/win32/window_wall.h"
#include "text/replace_dialog.h"

// Control ids; none is IDOK or IDCANCEL, which IsDialogMessage sends for
// Enter and Escape: neither button is the default or the cancel button.
enum TReplaceDialogId : int {
  kIdReplaceEdit1 = 201,
  kIdReplaceEdit2,
  kIdReplaceButton1,
  kIdReplaceButton2,
  kIdReplaceCheckBox1,
  kIdReplaceLabel1,
  kIdReplaceLabel2,
};

class TReplaceDialogWin32 : public TnTextTikanForm {
 public:
  TReplaceDialogWin32() = default;
  TReplaceDialogWin32(const TReplaceDialogWin32&) = delete;
  TReplaceDialogWin32& operator=(const TReplaceDialogWin32&) = delete;
  ~TReplaceDialogWin32() override;

  // Creates the hidden dialog owned by the main window; false when it could not.
  bool create(HINSTANCE instance, HWND owner);
  HWND handle() const { return FWnd; }

  void setTopmost(bool on) override;
  void setTexts(const std::wstring& find, const std::wstring& replacement) override;
  std::wstring findText() override;
  std::wstring replacementText() override;
  bool ignoreCase() override;
  bool ShowModal() override;

 private:
  enum class TResult { Open, Ok, Cancel };
  MORVANE_OWNED_WINDOW(TReplaceDialogWin32, L"the replace dialog");
  void createControls();
  HWND control(const wchar_t* windowClass, const wchar_t* text, DWORD style, DWORD exStyle, int x, int y, int width,
               int height, int id, HFONT font);
  void FormCreate();
  void centreOverOwner();

  HWND FWnd = nullptr;
  HWND FOwner = nullptr;
  TGdiObject<HFONT> FFont;
  TGdiObject<HFONT> FEditFont;
  TResult FResult = TResult::Open;
};
