#pragma once
// The stand-in Excel's window: the worksheet's cells in a grid (a virtual
// report list view: the row numbers, then columns A, B, ...), in a font with
// Japanese glyphs. Without a workbook the window is empty, as Excel's is.
#include <windows.h>

#include <functional>
#include <string>

#include "cell_sheet.h"
#include "platform/win32/handle_owners.h"
#include "platform/win32/window_wall.h"

class TCellsWindow {
 public:
  explicit TCellsWindow(const TCellSheet& sheet) : FSheet(sheet) {}
  TCellsWindow(const TCellsWindow&) = delete;
  TCellsWindow& operator=(const TCellsWindow&) = delete;

  bool create(HINSTANCE instance, int show, bool withWorkbook);
  // Shows the cells as they are now.
  void refresh();
  HWND handle() const { return FWnd; }
  // Runs when the user closes the window, before it goes.
  std::function<void()> onClosing;
  // Runs on kReloadPresetMessage.
  std::function<void()> onReloadPreset;

 private:
  MORVANE_OWNED_WINDOW(TCellsWindow, L"the stand-in Excel's window");
  void onSize(int width, int height);
  LRESULT onNotify(const NMHDR& header);
  void cellText(int item, int subItem, wchar_t* buffer, int size) const;
  void ensureColumns(std::int32_t count);

  const TCellSheet& FSheet;
  HWND FWnd = nullptr;
  HWND FList = nullptr;
  TGdiObject<HFONT> FFont;
  std::int32_t FColumns = 0;  // letter columns in the list view
};
