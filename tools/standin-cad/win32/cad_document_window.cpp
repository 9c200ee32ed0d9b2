#include "cad_document_window.h"

#include <algorithm>
#include <string>

#include "platform/win32/handle_owners.h"

namespace {

constexpr wchar_t kDocumentClass[] = L"StandinCadDocument";
constexpr wchar_t kBarClass[] = L"StandinCadBar";

}  // namespace

bool TCadNameBar::create(HINSTANCE instance, HWND parent) {
  return registerOwnedWindowClass<TCadNameBar>(instance, kBarClass) &&
         CreateWindowExW(0, kBarClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, kCadBarHeight, parent, nullptr,
                         instance, this) != nullptr;
}

LRESULT TCadNameBar::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    paint();
    return 0;
  }
  return DefWindowProcW(FWnd, message, wParam, lParam);
}

void TCadNameBar::paint() {
  TPaintScope paint(FWnd);
  RECT r{};
  GetClientRect(FWnd, &r);
  FillRect(paint.dc(), &r, GetSysColorBrush(COLOR_BTNFACE));
  const std::wstring name = FContext.document ? FContext.document->drawing.name() : std::wstring(L"(図面なし)");
  SetBkMode(paint.dc(), TRANSPARENT);
  TSelectScope font(paint.dc(), GetStockObject(DEFAULT_GUI_FONT));
  RECT text = r;
  text.left += 8;
  DrawTextW(paint.dc(), name.c_str(), static_cast<int>(name.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

bool TCadDocumentWindow::create(HINSTANCE instance, HWND parent) {
  if (!registerOwnedWindowClass<TCadDocumentWindow>(instance, kDocumentClass, 0, nullptr,
                                                     GetSysColorBrush(COLOR_APPWORKSPACE)) ||
      CreateWindowExW(0, kDocumentClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10, parent,
                      nullptr, instance, this) == nullptr) {
    return false;
  }
  // The bar is created first so that it is the document window's first child.
  return FBar.create(instance, FWnd) && FView.create(instance, FWnd);
}

void TCadDocumentWindow::refresh() {
  if (FBar.handle() != nullptr) {
    InvalidateRect(FBar.handle(), nullptr, TRUE);
  }
  FView.repaint();
}

LRESULT TCadDocumentWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    layout();
    return 0;
  }
  return DefWindowProcW(FWnd, message, wParam, lParam);
}

void TCadDocumentWindow::layout() {
  if (FBar.handle() == nullptr || FView.handle() == nullptr) {
    return;
  }
  RECT r{};
  GetClientRect(FWnd, &r);
  MoveWindow(FBar.handle(), 0, 0, r.right, kCadBarHeight, TRUE);
  MoveWindow(FView.handle(), 0, kCadBarHeight, r.right, std::max(0L, r.bottom - kCadBarHeight), TRUE);
}
