#include "cad_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "drawing_painter.h"
#include "platform/win32/handle_owners.h"

namespace {

constexpr wchar_t kViewClass[] = L"StandinCadView";
constexpr int kPickPixels = 5;      // how near a click must come to an entity
constexpr int kClickSlopPixels = 3;  // a drag shorter than this is a click
constexpr UINT_PTR kAutoSelectTimer = 1;

}  // namespace

bool TCadView::create(HINSTANCE instance, HWND parent) {
  // No background: the view is painted whole, double-buffered.
  return registerOwnedWindowClass<TCadView>(instance, kViewClass, CS_DBLCLKS, nullptr, nullptr, IDC_CROSS) &&
         CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_VISIBLE, 0, kCadBarHeight, 10, 10, parent, nullptr,
                         instance, this) != nullptr;
}

LRESULT TCadView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE: {
      RECT r{};
      GetClientRect(FWnd, &r);
      FTransform.setArea(r.right, r.bottom - kCadBarHeight);
      InvalidateRect(FWnd, nullptr, FALSE);
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetFocus(FWnd);
      if (FSelect == TSelectState::Picking) {
        FDragging = true;
        FDragFrom = FDragTo = at;
        SetCapture(FWnd);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (FDragging) {
        FDragTo = at;
        InvalidateRect(FWnd, nullptr, FALSE);
      } else if (FPanning) {
        FTransform.pan(at.x - FPanLast.x, at.y - FPanLast.y);
        FPanLast = at;
        InvalidateRect(FWnd, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONUP:
      if (FDragging) {
        FDragging = false;
        ReleaseCapture();
        onLeftUp(at);
      }
      return 0;
    case WM_RBUTTONUP:
      if (FSelect == TSelectState::Picking) {
        finishSelection(TSelectState::Done);
      }
      return 0;
    case WM_MBUTTONDOWN:
      FPanning = true;
      FPanLast = at;
      SetCapture(FWnd);
      return 0;
    case WM_MBUTTONUP:
      FPanning = false;
      ReleaseCapture();
      return 0;
    case WM_MBUTTONDBLCLK:
      fitExtents();
      return 0;
    case WM_MOUSEWHEEL:
      onMouseWheel(wParam, lParam);
      return 0;
    case WM_TIMER:
      if (wParam == kAutoSelectTimer) {
        onAutoSelectTimer();
      }
      return 0;
    default:
      return DefWindowProcW(FWnd, message, wParam, lParam);
  }
}

void TCadView::paint() {
  TPaintScope paint(FWnd);
  RECT r{};
  GetClientRect(FWnd, &r);
  TOffscreenDc buffer(paint.dc(), std::max(1L, r.right), std::max(1L, r.bottom));
  const HDC dc = buffer.ok() ? buffer.dc() : paint.dc();
  const TPaintStyle style;
  RECT area = r;
  area.bottom = std::max(0L, r.bottom - kCadBarHeight);
  TGdiObject<HBRUSH> background(CreateSolidBrush(style.background));
  FillRect(dc, &area, background.get());
  if (FContext.document) {
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    paintDrawing(dc, FContext.document->drawing, FTransform, FHighlighted, style);
    if (FDragging) {
      paintRubberBand(dc, FDragFrom, FDragTo);
    }
    RestoreDC(dc, saved);
  }
  // The layout tabs strip under the drawing area.
  RECT strip = r;
  strip.top = area.bottom;
  FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
  RECT tab{strip.left + 4, strip.top + 2, strip.left + 84, strip.bottom - 2};
  FillRect(dc, &tab, GetSysColorBrush(COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  TSelectScope font(dc, GetStockObject(DEFAULT_GUI_FONT));
  DrawTextW(dc, L"モデル", -1, &tab, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  if (buffer.ok()) {
    BitBlt(paint.dc(), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
  }
}

void TCadView::fitExtents() {
  if (!FContext.document) {
    return;
  }
  const standin::Drawing::Extents ext = FContext.document->drawing.extents();
  if (!ext.valid) {
    return;
  }
  const double mx = (ext.maxx - ext.minx) * 0.05 + 1e-9;
  const double my = (ext.maxy - ext.miny) * 0.05 + 1e-9;
  FTransform.zoomWindow(ext.minx - mx, ext.miny - my, ext.maxx + mx, ext.maxy + my);
  if (FWnd != nullptr) {
    InvalidateRect(FWnd, nullptr, FALSE);
  }
}

void TCadView::zoomWindow(double x1, double y1, double x2, double y2) {
  FTransform.zoomWindow(x1, y1, x2, y2);
  InvalidateRect(FWnd, nullptr, FALSE);
  UpdateWindow(FWnd);
}

void TCadView::repaint() {
  if (FWnd != nullptr) {
    InvalidateRect(FWnd, nullptr, FALSE);
    UpdateWindow(FWnd);
  }
}

void TCadView::onMouseWheel(WPARAM wParam, LPARAM lParam) {
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ScreenToClient(FWnd, &at);
  const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
  FTransform.zoomAt(std::pow(1.2, delta / static_cast<double>(WHEEL_DELTA)), at.x, at.y);
  InvalidateRect(FWnd, nullptr, FALSE);
}

// ---- on-screen selection ----------------------------------------------------

bool TCadView::selectOnScreen(const TSelectionFilter& filter, std::vector<std::uint64_t>& picked) {
  if (FSelect == TSelectState::Picking) {
    throw TDispatchFault{L"別の選択が実行中です"};
  }
  if (!FContext.document || FWnd == nullptr) {
    throw TDispatchFault{L"開いている図面がありません"};
  }
  // Keys pressed before the selection began (the client's Escape that ends
  // whatever command was running) must not end this selection.
  MSG stale{};
  while (PeekMessageW(&stale, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  FSelect = TSelectState::Picking;
  FSelectFilter = filter;
  FPicked.clear();
  FHighlighted.clear();
  updateSelectionPrompt();
  if (FContext.options.autoSelect != TAutoSelectMode::None) {
    SetTimer(FWnd, kAutoSelectTimer, static_cast<UINT>(std::max(USER_TIMER_MINIMUM + 0, FContext.options.autoSelectDelayMs)),
             nullptr);
  }
  // The call returns only when the user ends the selection; meanwhile the
  // window and other incoming calls are served by this loop.
  MSG m{};
  while (FSelect == TSelectState::Picking) {
    const BOOL got = GetMessageW(&m, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) {
        PostQuitMessage(static_cast<int>(m.wParam));
      }
      FSelect = TSelectState::Cancelled;
      break;
    }
    if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) {
      finishSelection(TSelectState::Cancelled);
      continue;
    }
    if (m.message == WM_KEYDOWN && (m.wParam == VK_RETURN || m.wParam == VK_SPACE)) {
      finishSelection(TSelectState::Done);
      continue;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  if (FWnd != nullptr) {
    KillTimer(FWnd, kAutoSelectTimer);
  }
  const bool done = FSelect == TSelectState::Done;
  picked = FPicked;
  FSelect = TSelectState::Idle;
  FPicked.clear();
  FHighlighted.clear();
  if (FDragging) {
    FDragging = false;
    ReleaseCapture();
  }
  SetWindowTextW(FWnd, L"");
  showMessage(done ? L"選択: " + std::to_wstring(picked.size()) : std::wstring(L"*キャンセル*"));
  if (FWnd != nullptr) {
    InvalidateRect(FWnd, nullptr, FALSE);
  }
  return done;
}

void TCadView::finishSelection(TSelectState result) {
  if (FSelect == TSelectState::Picking) {
    FSelect = result;
  }
}

void TCadView::addPicked(const std::vector<std::uint64_t>& handles) {
  for (const std::uint64_t h : handles) {
    if (FHighlighted.insert(h).second) {
      FPicked.push_back(h);
    }
  }
  updateSelectionPrompt();
  InvalidateRect(FWnd, nullptr, FALSE);
}

// The view's own text carries the prompt too: another process can read it
// (WM_GETTEXT), so a test knows when the selection is waiting for the user.
void TCadView::updateSelectionPrompt() {
  const std::wstring prompt = L"オブジェクトを選択: " + std::to_wstring(FPicked.size());
  SetWindowTextW(FWnd, prompt.c_str());
  showMessage(prompt + L" 個 (Enter で確定, Esc で中止)");
}

void TCadView::onLeftUp(POINT at) {
  if (FSelect != TSelectState::Picking || !FContext.document) {
    InvalidateRect(FWnd, nullptr, FALSE);
    return;
  }
  const standin::Drawing& d = FContext.document->drawing;
  const bool click = std::abs(at.x - FDragFrom.x) <= kClickSlopPixels && std::abs(at.y - FDragFrom.y) <= kClickSlopPixels;
  if (click) {
    const std::uint64_t h = pickNearest(d, FSelectFilter, FTransform.toWorldX(at.x), FTransform.toWorldY(at.y),
                                        kPickPixels * FTransform.unitsPerPixel);
    if (h != 0) {
      addPicked({h});
    }
  } else {
    // Left to right: a window (wholly inside); right to left: crossing.
    const bool crossing = at.x < FDragFrom.x;
    addPicked(selectInBox(d, FSelectFilter, FTransform.toWorldX(FDragFrom.x), FTransform.toWorldY(FDragFrom.y),
                          FTransform.toWorldX(at.x), FTransform.toWorldY(at.y), crossing));
  }
  InvalidateRect(FWnd, nullptr, FALSE);
}

void TCadView::onAutoSelectTimer() {
  KillTimer(FWnd, kAutoSelectTimer);
  if (FSelect != TSelectState::Picking || !FContext.document) {
    return;
  }
  const standin::Drawing& d = FContext.document->drawing;
  const TServerOptions& o = FContext.options;
  switch (o.autoSelect) {
    case TAutoSelectMode::All:
      addPicked(selectAll(d, FSelectFilter));
      break;
    case TAutoSelectMode::Window:
    case TAutoSelectMode::Crossing:
      addPicked(selectInBox(d, FSelectFilter, o.autoBox[0], o.autoBox[1], o.autoBox[2], o.autoBox[3],
                            o.autoSelect == TAutoSelectMode::Crossing));
      break;
    case TAutoSelectMode::Cancel:
      finishSelection(TSelectState::Cancelled);
      return;
    case TAutoSelectMode::None:
      return;
  }
  finishSelection(TSelectState::Done);
}
