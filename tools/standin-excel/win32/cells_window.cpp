#include "cells_window.h"
#include "excel_options.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr wchar_t kClassName[] = L"StandinExcelWindow";
constexpr int kListId = 100;
constexpr std::int32_t kMinColumns = 8;
constexpr std::int32_t kMinRows = 30;
constexpr int kRowHeaderWidth = 48;
constexpr int kCellWidth = 120;

}  // namespace

bool TCellsWindow::create(HINSTANCE instance, int show, bool withWorkbook) {
  if (!registerOwnedWindowClass<TCellsWindow>(instance, kClassName, 0, LoadIconW(nullptr, IDI_APPLICATION),
                                               GetSysColorBrush(COLOR_APPWORKSPACE))) {
    return false;
  }
  const wchar_t* title = withWorkbook ? L"Excel - Book1" : L"Excel";
  if (CreateWindowExW(0, kClassName, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 760, 520, nullptr,
                      nullptr, instance, this) == nullptr) {
    return false;
  }
  if (withWorkbook) {
    FList = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0, 0, 0,
                            FWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance, nullptr);
    if (FList == nullptr) return false;
    ListView_SetExtendedListViewStyle(FList, LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    // "MS UI Gothic" has the Japanese glyphs (a substitute under Wine); the GUI font may not.
    FFont.reset(CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic"));
    SendMessageW(FList, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.get()), TRUE);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_FMT;
    column.fmt = LVCFMT_RIGHT;
    column.cx = kRowHeaderWidth;
    column.pszText = const_cast<wchar_t*>(L"");
    ListView_InsertColumn(FList, 0, &column);
    RECT client{};
    GetClientRect(FWnd, &client);
    onSize(client.right, client.bottom);
    refresh();
  }
  ShowWindow(FWnd, show);
  UpdateWindow(FWnd);
  return true;
}

void TCellsWindow::ensureColumns(std::int32_t count) {
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_FMT;
  column.fmt = LVCFMT_LEFT;
  column.cx = kCellWidth;
  for (; FColumns < count; ++FColumns) {
    std::wstring letters = columnLetters(FColumns + 1);
    column.pszText = letters.data();
    ListView_InsertColumn(FList, FColumns + 1, &column);
  }
}

void TCellsWindow::refresh() {
  if (FList == nullptr) return;
  ensureColumns(std::max(FSheet.usedCols(), kMinColumns));
  ListView_SetItemCountEx(FList, std::max(FSheet.usedRows(), kMinRows), LVSICF_NOSCROLL);
  // Painted now, inside the call that changed the cells: whoever sees the
  // file of cells written next sees them on the screen too.
  InvalidateRect(FList, nullptr, TRUE);
  UpdateWindow(FList);
}

void TCellsWindow::onSize(int width, int height) {
  if (FList != nullptr) MoveWindow(FList, 0, 0, width, height, TRUE);
}

void TCellsWindow::cellText(int item, int subItem, wchar_t* buffer, int size) const {
  if (buffer == nullptr || size <= 0) return;
  const std::wstring text = subItem == 0 ? std::to_wstring(item + 1) : FSheet.cell(item + 1, subItem);
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
  text.copy(buffer, n);
  buffer[n] = L'\0';
}

LRESULT TCellsWindow::onNotify(const NMHDR& header) {
  if (header.idFrom == kListId && header.code == LVN_GETDISPINFOW) {
    auto& info = reinterpret_cast<const NMLVDISPINFOW&>(header);
    if ((info.item.mask & LVIF_TEXT) != 0) {
      cellText(info.item.iItem, info.item.iSubItem, info.item.pszText, info.item.cchTextMax);
    }
  }
  return 0;
}

LRESULT TCellsWindow::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      onSize(LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_NOTIFY:
      return onNotify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_CLOSE:
      if (onClosing) onClosing();
      DestroyWindow(FWnd);
      return 0;
    case kReloadPresetMessage:
      if (onReloadPreset) onReloadPreset();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(FWnd, msg, wp, lp);
  }
}
