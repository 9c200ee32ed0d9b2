#include "cad_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "cad_commands.h"
#include "drawing_painter.h"
#include "platform/win32/handle_owners.h"
#include "platform/win32/window_wall.h"

namespace {

constexpr wchar_t kMainClass[] = L"StandinCadMain";
constexpr wchar_t kDocumentClass[] = L"StandinCadDocument";
constexpr wchar_t kBarClass[] = L"StandinCadBar";
constexpr wchar_t kViewClass[] = L"StandinCadView";
constexpr wchar_t kMainTitle[] = L"nanoCAD 5";
constexpr int kBarHeight = 26;
constexpr int kPickPixels = 5;      // how near a click must come to an entity
constexpr int kClickSlopPixels = 3;  // a drag shorter than this is a click
constexpr UINT_PTR kAutoSelectTimer = 1;
constexpr int kMenuOpen = kCadCommandOpen;
constexpr int kMenuSave = kCadCommandSave;
constexpr int kMenuSaveAs = kCadCommandSaveAs;
constexpr int kMenuExit = kCadCommandExit;
constexpr int kMenuUndo = kCadCommandUndo;

TCadWindow* windowOf(HWND w) {
  return reinterpret_cast<TCadWindow*>(GetWindowLongPtrW(w, GWLP_USERDATA));
}

// Stores the owner passed to CreateWindowExW on WM_NCCREATE.
void attachOwner(HWND w, UINT msg, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
}

HMENU buildMenu() {
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, kMenuOpen, L"開く(&O)...\tCtrl+O");
  AppendMenuW(file, MF_STRING, kMenuSave, L"上書き保存(&S)\tCtrl+S");
  AppendMenuW(file, MF_STRING, kMenuSaveAs, L"名前を付けて保存(&A)...");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, kMenuExit, L"終了(&X)");
  HMENU edit = CreatePopupMenu();
  AppendMenuW(edit, MF_STRING, kMenuUndo, L"元に戻す(&U)\tCtrl+Z");
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"ファイル(&F)");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"編集(&E)");
  return bar;
}

std::wstring fileDialog(HWND owner, bool save, const std::wstring& initial) {
  wchar_t path[MAX_PATH] = {};
  initial.copy(path, MAX_PATH - 1);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"DXF (*.dxf)\0*.dxf\0すべてのファイル (*.*)\0*.*\0";
  ofn.lpstrFile = path;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrDefExt = L"dxf";
  if (save) {
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    return GetSaveFileNameW(&ofn) ? std::wstring(path) : std::wstring();
  }
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  return GetOpenFileNameW(&ofn) ? std::wstring(path) : std::wstring();
}

}  // namespace

TCadWindow::TCadWindow(TServerContext& context) : FContext(context) {}

TCadWindow::~TCadWindow() {
  if (FMain != nullptr && IsWindow(FMain)) {
    DestroyWindow(FMain);
  }
  if (FAccelerators != nullptr) {
    DestroyAcceleratorTable(FAccelerators);
  }
}

bool TCadWindow::translateAccelerator(MSG& m) {
  return FMain != nullptr && FAccelerators != nullptr && TranslateAcceleratorW(FMain, FAccelerators, &m) != 0;
}

bool TCadWindow::registerClasses(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  wc.lpfnWndProc = &TCadWindow::mainProc;
  wc.lpszClassName = kMainClass;
  wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  if (RegisterClassExW(&wc) == 0) {
    return false;
  }
  wc.hIcon = nullptr;
  wc.lpfnWndProc = &TCadWindow::documentProc;
  wc.lpszClassName = kDocumentClass;
  if (RegisterClassExW(&wc) == 0) {
    return false;
  }
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpfnWndProc = &TCadWindow::barProc;
  wc.lpszClassName = kBarClass;
  if (RegisterClassExW(&wc) == 0) {
    return false;
  }
  wc.hbrBackground = nullptr;  // painted whole, double-buffered
  wc.hCursor = LoadCursorW(nullptr, IDC_CROSS);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &TCadWindow::viewProc;
  wc.lpszClassName = kViewClass;
  return RegisterClassExW(&wc) != 0;
}

bool TCadWindow::create(HINSTANCE instance, int show) {
  FInstance = instance;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  if (!registerClasses(instance)) {
    return false;
  }
  FMenu = buildMenu();
  ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'O', kMenuOpen},
                  {FCONTROL | FVIRTKEY, 'S', kMenuSave},
                  {FCONTROL | FVIRTKEY, 'Z', kMenuUndo}};
  FAccelerators = CreateAcceleratorTableW(keys, 3);
  FMain = CreateWindowExW(0, kMainClass, kMainTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 1100, 800,
                          nullptr, FMenu, instance, this);
  if (FMain == nullptr) {
    return false;
  }
  FStatus = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, FMain,
                            nullptr, instance, nullptr);
  FDocument = CreateWindowExW(0, kDocumentClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10,
                              FMain, nullptr, instance, this);
  // The bar is created first so that it is the document window's first child.
  FBar = CreateWindowExW(0, kBarClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, kBarHeight, FDocument, nullptr,
                         instance, this);
  FView = CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_VISIBLE, 0, kBarHeight, 10, 10, FDocument, nullptr,
                          instance, this);
  if (FStatus == nullptr || FDocument == nullptr || FBar == nullptr || FView == nullptr) {
    return false;
  }
  const int parts[3] = {260, 460, -1};
  SendMessageW(FStatus, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
  layoutMain();
  fitExtents();
  updateStatus();
  ShowWindow(FMain, show);
  UpdateWindow(FMain);
  return true;
}

// ---- window procedures: each only dispatches ------------------------------

LRESULT CALLBACK TCadWindow::mainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  attachOwner(w, msg, lp);
  TCadWindow* self = windowOf(w);
  try {
    if (self != nullptr) {
      return self->onMainMessage(w, msg, wp, lp);
    }
  } catch (...) {
    // Nothing may leave a window procedure.
    reportAtWall(L"the stand-in CAD's window");
  }
  return DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK TCadWindow::documentProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  attachOwner(w, msg, lp);
  TCadWindow* self = windowOf(w);
  try {
    if (self != nullptr && msg == WM_SIZE) {
      self->layoutDocument();
      return 0;
    }
  } catch (...) {
    reportAtWall(L"the stand-in CAD's window");
  }
  return DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK TCadWindow::barProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  attachOwner(w, msg, lp);
  TCadWindow* self = windowOf(w);
  try {
    if (self != nullptr && msg == WM_PAINT) {
      self->paintBar(w);
      return 0;
    }
  } catch (...) {
    reportAtWall(L"the stand-in CAD's window");
  }
  return DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK TCadWindow::viewProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  attachOwner(w, msg, lp);
  TCadWindow* self = windowOf(w);
  try {
    if (self != nullptr) {
      return self->onViewMessage(w, msg, wp, lp);
    }
  } catch (...) {
    reportAtWall(L"the stand-in CAD's window");
  }
  return DefWindowProcW(w, msg, wp, lp);
}

LRESULT TCadWindow::onMainMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      layoutMain();
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wp));
      return 0;
    case WM_MOUSEWHEEL:
      onMouseWheel(FView, wp, lp);
      return 0;
    case WM_CLOSE:
      onClose();
      return 0;
    case WM_DESTROY:
      FMain = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(w, msg, wp, lp);
  }
}

LRESULT TCadWindow::onViewMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  switch (msg) {
    case WM_PAINT:
      paintView(w);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE: {
      RECT r{};
      GetClientRect(w, &r);
      FTransform.setArea(r.right, r.bottom - stripHeight());
      InvalidateRect(w, nullptr, FALSE);
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetFocus(w);
      if (FSelect == TSelectState::Picking) {
        FDragging = true;
        FDragFrom = FDragTo = at;
        SetCapture(w);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (FDragging) {
        FDragTo = at;
        InvalidateRect(w, nullptr, FALSE);
      } else if (FPanning) {
        FTransform.pan(at.x - FPanLast.x, at.y - FPanLast.y);
        FPanLast = at;
        InvalidateRect(w, nullptr, FALSE);
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
      SetCapture(w);
      return 0;
    case WM_MBUTTONUP:
      FPanning = false;
      ReleaseCapture();
      return 0;
    case WM_MBUTTONDBLCLK:
      fitExtents();
      return 0;
    case WM_MOUSEWHEEL:
      onMouseWheel(w, wp, lp);
      return 0;
    case WM_TIMER:
      if (wp == kAutoSelectTimer) {
        onAutoSelectTimer();
      }
      return 0;
    default:
      return DefWindowProcW(w, msg, wp, lp);
  }
}

// ---- layout and painting ----------------------------------------------------

int TCadWindow::stripHeight() const {
  return kBarHeight;
}

void TCadWindow::layoutMain() {
  if (FStatus == nullptr || FDocument == nullptr) {
    return;
  }
  SendMessageW(FStatus, WM_SIZE, 0, 0);
  RECT client{};
  RECT status{};
  GetClientRect(FMain, &client);
  GetWindowRect(FStatus, &status);
  const int statusHeight = status.bottom - status.top;
  MoveWindow(FDocument, 0, 0, client.right, std::max(0L, client.bottom - statusHeight), TRUE);
}

void TCadWindow::layoutDocument() {
  if (FBar == nullptr || FView == nullptr) {
    return;
  }
  RECT r{};
  GetClientRect(FDocument, &r);
  MoveWindow(FBar, 0, 0, r.right, kBarHeight, TRUE);
  MoveWindow(FView, 0, kBarHeight, r.right, std::max(0L, r.bottom - kBarHeight), TRUE);
}

void TCadWindow::paintBar(HWND w) {
  TPaintScope paint(w);
  RECT r{};
  GetClientRect(w, &r);
  FillRect(paint.dc(), &r, GetSysColorBrush(COLOR_BTNFACE));
  const std::wstring name = FContext.document ? FContext.document->drawing.name() : std::wstring(L"(図面なし)");
  SetBkMode(paint.dc(), TRANSPARENT);
  TSelectScope font(paint.dc(), GetStockObject(DEFAULT_GUI_FONT));
  RECT text = r;
  text.left += 8;
  DrawTextW(paint.dc(), name.c_str(), static_cast<int>(name.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

void TCadWindow::paintView(HWND w) {
  TPaintScope paint(w);
  RECT r{};
  GetClientRect(w, &r);
  TOffscreenDc buffer(paint.dc(), std::max(1L, r.right), std::max(1L, r.bottom));
  const HDC dc = buffer.ok() ? buffer.dc() : paint.dc();
  const TPaintStyle style;
  RECT area = r;
  area.bottom = std::max(0L, r.bottom - stripHeight());
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

void TCadWindow::updateStatus() {
  if (FStatus == nullptr) {
    return;
  }
  std::wstring name = L"図面なし";
  std::wstring count;
  if (FContext.document) {
    name = FContext.document->drawing.name();
    count = L"オブジェクト: " + std::to_wstring(FContext.document->drawing.entities().size());
  }
  SendMessageW(FStatus, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(name.c_str()));
  SendMessageW(FStatus, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(count.c_str()));
  SendMessageW(FStatus, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(FMessage.c_str()));
}

void TCadWindow::fitExtents() {
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
  if (FView != nullptr) {
    InvalidateRect(FView, nullptr, FALSE);
  }
}

// ---- TCadHost ---------------------------------------------------------------

double TCadWindow::viewSize() const {
  return FTransform.viewSize();
}

void TCadWindow::zoomWindow(double x1, double y1, double x2, double y2) {
  FTransform.zoomWindow(x1, y1, x2, y2);
  InvalidateRect(FView, nullptr, FALSE);
  UpdateWindow(FView);
}

void TCadWindow::drawingChanged() {
  updateStatus();
  if (FBar != nullptr) {
    InvalidateRect(FBar, nullptr, TRUE);
  }
  if (FView != nullptr) {
    InvalidateRect(FView, nullptr, FALSE);
    UpdateWindow(FView);
  }
}

void TCadWindow::showMessage(const std::wstring& text) {
  FMessage = text;
  updateStatus();
}

void TCadWindow::documentReplaced() {
  fitExtents();
  drawingChanged();
}

// ---- on-screen selection ----------------------------------------------------

bool TCadWindow::selectOnScreen(const TSelectionFilter& filter, std::vector<std::uint64_t>& picked) {
  if (FSelect == TSelectState::Picking) {
    throw TAutomationError{L"別の選択が実行中です"};
  }
  if (!FContext.document || FView == nullptr) {
    throw TAutomationError{L"開いている図面がありません"};
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
    SetTimer(FView, kAutoSelectTimer, static_cast<UINT>(std::max(USER_TIMER_MINIMUM + 0, FContext.options.autoSelectDelayMs)),
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
  if (FView != nullptr) {
    KillTimer(FView, kAutoSelectTimer);
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
  SetWindowTextW(FView, L"");
  showMessage(done ? L"選択: " + std::to_wstring(picked.size()) : std::wstring(L"*キャンセル*"));
  if (FView != nullptr) {
    InvalidateRect(FView, nullptr, FALSE);
  }
  return done;
}

void TCadWindow::finishSelection(TSelectState result) {
  if (FSelect == TSelectState::Picking) {
    FSelect = result;
  }
}

void TCadWindow::addPicked(const std::vector<std::uint64_t>& handles) {
  for (const std::uint64_t h : handles) {
    if (FHighlighted.insert(h).second) {
      FPicked.push_back(h);
    }
  }
  updateSelectionPrompt();
  InvalidateRect(FView, nullptr, FALSE);
}

// The view's own text carries the prompt too: another process can read it
// (WM_GETTEXT), so a test knows when the selection is waiting for the user.
void TCadWindow::updateSelectionPrompt() {
  const std::wstring prompt = L"オブジェクトを選択: " + std::to_wstring(FPicked.size());
  SetWindowTextW(FView, prompt.c_str());
  showMessage(prompt + L" 個 (Enter で確定, Esc で中止)");
}

void TCadWindow::onLeftUp(POINT at) {
  if (FSelect != TSelectState::Picking || !FContext.document) {
    InvalidateRect(FView, nullptr, FALSE);
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
  InvalidateRect(FView, nullptr, FALSE);
}

void TCadWindow::onAutoSelectTimer() {
  KillTimer(FView, kAutoSelectTimer);
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

void TCadWindow::onMouseWheel(HWND w, WPARAM wp, LPARAM lp) {
  POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  ScreenToClient(w, &at);
  const int delta = GET_WHEEL_DELTA_WPARAM(wp);
  FTransform.zoomAt(std::pow(1.2, delta / static_cast<double>(WHEEL_DELTA)), at.x, at.y);
  InvalidateRect(w, nullptr, FALSE);
}

// ---- menu and closing -------------------------------------------------------

void TCadWindow::onCommand(int id) {
  switch (id) {
    case kMenuOpen:
      openDrawing();
      break;
    case kMenuSave:
      saveDrawing(false);
      break;
    case kMenuSaveAs:
      saveDrawing(true);
      break;
    case kMenuExit:
      PostMessageW(FMain, WM_CLOSE, 0, 0);
      break;
    case kMenuUndo:
      undoLastGroup();
      break;
    default:
      break;
  }
}

void TCadWindow::undoLastGroup() {
  if (FSelect == TSelectState::Picking || !FContext.document) {
    return;  // the selection holds handles of the drawing now shown
  }
  TDocumentState& doc = *FContext.document;
  if (doc.undo.undo(doc.drawing)) {
    FContext.callLog.line(L"undo");
    drawingChanged();
  } else {
    showMessage(L"元に戻す操作はありません");
  }
}

void TCadWindow::openDrawing() {
  if (FSelect == TSelectState::Picking) {
    return;  // the selection holds handles of the drawing now shown
  }
  const std::wstring path = fileDialog(FMain, false, std::wstring());
  if (path.empty()) {
    return;
  }
  std::wstring error;
  if (!loadDocument(FContext, path, &error)) {
    MessageBoxW(FMain, (L"図面を開けません: " + error).c_str(), kMainTitle, MB_OK | MB_ICONERROR);
    return;
  }
  documentReplaced();
}

bool TCadWindow::saveDrawing(bool askName) {
  if (!FContext.document) {
    return false;
  }
  std::wstring path = FContext.document->path;
  if (askName || path.empty()) {
    path = fileDialog(FMain, true, path);
    if (path.empty()) {
      return false;
    }
  }
  std::wstring error;
  if (!saveDocument(FContext, path, &error)) {
    MessageBoxW(FMain, (L"保存できません: " + error).c_str(), kMainTitle, MB_OK | MB_ICONERROR);
    return false;
  }
  FContext.document->path = path;
  showMessage(L"保存しました: " + path);
  return true;
}

void TCadWindow::onClose() {
  if (FSelect == TSelectState::Picking) {
    // Let the selection's call return first; the close comes round again.
    finishSelection(TSelectState::Cancelled);
    PostMessageW(FMain, WM_CLOSE, 0, 0);
    return;
  }
  if (FClosing) {
    return;
  }
  FClosing = true;
  if (onClosing) {
    onClosing();
  }
  DestroyWindow(FMain);
}
