#include "cad_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "cad_commands.h"

namespace {

constexpr wchar_t kMainClass[] = L"StandinCadMain";
constexpr wchar_t kMainTitle[] = L"nanoCAD 5";
constexpr int kMenuOpen = kCadCommandOpen;
constexpr int kMenuSave = kCadCommandSave;
constexpr int kMenuSaveAs = kCadCommandSaveAs;
constexpr int kMenuExit = kCadCommandExit;
constexpr int kMenuUndo = kCadCommandUndo;

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

TCadWindow::TCadWindow(TServerContext& context) : FContext(context), FDocument(context) {
  FDocument.view().showMessage = [this](const std::wstring& text) { showMessage(text); };
}

TCadWindow::~TCadWindow() {
  if (FWnd != nullptr && IsWindow(FWnd)) {
    DestroyWindow(FWnd);
  }
  if (FAccelerators != nullptr) {
    DestroyAcceleratorTable(FAccelerators);
  }
}

bool TCadWindow::translateAccelerator(MSG& m) {
  return FWnd != nullptr && FAccelerators != nullptr && TranslateAcceleratorW(FWnd, FAccelerators, &m) != 0;
}

bool TCadWindow::create(HINSTANCE instance, int show) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  if (!registerOwnedWindowClass<TCadWindow>(instance, kMainClass, 0, LoadIconW(nullptr, IDI_APPLICATION),
                                             GetSysColorBrush(COLOR_APPWORKSPACE))) {
    return false;
  }
  FMenu = buildMenu();
  ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'O', kMenuOpen},
                  {FCONTROL | FVIRTKEY, 'S', kMenuSave},
                  {FCONTROL | FVIRTKEY, 'Z', kMenuUndo}};
  FAccelerators = CreateAcceleratorTableW(keys, 3);
  if (CreateWindowExW(0, kMainClass, FContext.options.title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 1100, 800, nullptr,
                      FMenu, instance, this) == nullptr) {
    return false;
  }
  FStatus = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, FWnd,
                            nullptr, instance, nullptr);
  if (FStatus == nullptr || !FDocument.create(instance, FWnd)) {
    return false;
  }
  const int parts[3] = {260, 460, -1};
  SendMessageW(FStatus, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
  layout();
  FDocument.view().fitExtents();
  updateStatus();
  ShowWindow(FWnd, show);
  UpdateWindow(FWnd);
  return true;
}

LRESULT TCadWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      layout();
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      if (FDocument.view().handle() != nullptr) {
        FDocument.view().onMouseWheel(wParam, lParam);
      }
      return 0;
    case WM_CLOSE:
      onClose();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(FWnd, message, wParam, lParam);
  }
}

void TCadWindow::layout() {
  if (FStatus == nullptr || FDocument.handle() == nullptr) {
    return;
  }
  SendMessageW(FStatus, WM_SIZE, 0, 0);
  RECT client{};
  RECT status{};
  GetClientRect(FWnd, &client);
  GetWindowRect(FStatus, &status);
  const int statusHeight = status.bottom - status.top;
  MoveWindow(FDocument.handle(), 0, 0, client.right, std::max(0L, client.bottom - statusHeight), TRUE);
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

// ---- TCadHost ---------------------------------------------------------------

void TCadWindow::zoomWindow(double x1, double y1, double x2, double y2) {
  FDocument.view().zoomWindow(x1, y1, x2, y2);
}

void TCadWindow::drawingChanged() {
  updateStatus();
  FDocument.refresh();
}

bool TCadWindow::selectOnScreen(const TSelectionFilter& filter, std::vector<std::uint64_t>& picked) {
  return FDocument.view().selectOnScreen(filter, picked);
}

void TCadWindow::showMessage(const std::wstring& text) {
  FMessage = text;
  updateStatus();
}

void TCadWindow::documentReplaced() {
  FDocument.view().fitExtents();
  drawingChanged();
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
      PostMessageW(FWnd, WM_CLOSE, 0, 0);
      break;
    case kMenuUndo:
      undoLastGroup();
      break;
    default:
      break;
  }
}

void TCadWindow::undoLastGroup() {
  if (FDocument.view().picking() || !FContext.document) {
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
  if (FDocument.view().picking()) {
    return;  // the selection holds handles of the drawing now shown
  }
  const std::wstring path = fileDialog(FWnd, false, std::wstring());
  if (path.empty()) {
    return;
  }
  std::wstring error;
  if (!loadDocument(FContext, path, &error)) {
    MessageBoxW(FWnd, (L"図面を開けません: " + error).c_str(), kMainTitle, MB_OK | MB_ICONERROR);
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
    path = fileDialog(FWnd, true, path);
    if (path.empty()) {
      return false;
    }
  }
  std::wstring error;
  if (!saveDocument(FContext, path, &error)) {
    MessageBoxW(FWnd, (L"保存できません: " + error).c_str(), kMainTitle, MB_OK | MB_ICONERROR);
    return false;
  }
  FContext.document->path = path;
  showMessage(L"保存しました: " + path);
  return true;
}

void TCadWindow::onClose() {
  if (FDocument.view().picking()) {
    // Let the selection's call return first; the close comes round again.
    FDocument.view().cancelSelection();
    PostMessageW(FWnd, WM_CLOSE, 0, 0);
    return;
  }
  if (FClosing) {
    return;
  }
  FClosing = true;
  if (onClosing) {
    onClosing();
  }
  DestroyWindow(FWnd);
}
