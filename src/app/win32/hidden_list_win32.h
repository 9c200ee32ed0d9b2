#pragma once
// The list "表示されない文字": a small sizable topmost window with a caption,
// holding one list box. Created once hidden; shown modally by its command.
#include <windows.h>

#include "app/hidden_list.h"
#include "platform/win32/handle_owners.h"
#include "platform/win32/window_wall.h"
#include "text/win32/popup_list.h"

inline constexpr int kIdHiddenListBox = 311;

class THiddenListWin32 : public THiddenListForm {
 public:
  THiddenListWin32() : FList(hiddenListClose) {}
  THiddenListWin32(const THiddenListWin32&) = delete;
  THiddenListWin32& operator=(const THiddenListWin32&) = delete;
  ~THiddenListWin32() override;

  bool create(HINSTANCE instance, HWND owner);
  HWND handle() const { return FWnd; }
  HWND listBox() const { return FList.handle(); }

  void load(const std::vector<std::wstring>& lines) override;
  std::optional<std::size_t> ShowModal() override;

 private:
  MORVANE_OWNED_WINDOW(THiddenListWin32, L"the list of texts not shown");
  void placeOverOwner();

  HWND FWnd = nullptr;
  HWND FOwner = nullptr;
  TGdiObject<HFONT> FFont;
  TPopupList FList;
};
