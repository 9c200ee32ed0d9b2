#include "text/win32/popup_list.h"

#include <commctrl.h>

#include "platform/win32/window_view.h"
#include "sheet/line_break_mark.h"
#include "text/win32/modal_loop.h"

namespace {

constexpr UINT_PTR kListSubclass = 1;

}  // namespace

TGdiObject<HFONT> createPopupListFont(int pixelHeight) {
  return TGdiObject<HFONT>(CreateFontW(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック"));
}

std::optional<TInputListEvent> popupListKey(WPARAM key) {
  if (key == VK_RETURN) return TInputListEvent::Enter;
  if (key == VK_ESCAPE) return TInputListEvent::Escape;
  return std::nullopt;
}

bool TPopupList::create(HWND popup, int id, DWORD extraStyle, HFONT font, int itemHeight, THooks hooks) {
  RECT client{};
  GetClientRect(popup, &client);
  FList = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTBOXW, L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | extraStyle, 0, 0,
                          client.right, client.bottom, popup, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          nullptr, nullptr);
  if (FList == nullptr) {
    return false;
  }
  FHooks = std::move(hooks);
  const TWindow list(FList);
  list.setFont(font);
  list.send(LB_SETITEMHEIGHT, 0, itemHeight);
  SetWindowSubclass(FList, listProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

LRESULT CALLBACK TPopupList::listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) {
  try {
    return reinterpret_cast<TPopupList*>(data)->onListMessage(list, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT TPopupList::onListMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      if (FHooks.keyDown) {
        if (FHooks.keyDown(wParam)) return 0;
      } else if (const std::optional<TInputListEvent> what = popupListKey(wParam)) {
        event(*what);
        return 0;
      }
      break;
    case WM_RBUTTONDOWN:
      if (FHooks.rightButtonDown) {
        FHooks.rightButtonDown();
      } else {
        event(TInputListEvent::RightButtonDown);
      }
      return 0;
    case WM_LBUTTONUP:
      if (FHooks.clickOnEntry) {
        const LRESULT item = TWindow(list).send(LB_ITEMFROMPOINT, 0, lParam);
        const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
        if (HIWORD(item) == 0 && !closing()) {
          FHooks.clickOnEntry();
        }
        return result;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, listProc, kListSubclass);
      FList = nullptr;
      break;
    default:
      break;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

std::optional<LRESULT> TPopupList::popupMessage(HWND popup, UINT message, WPARAM wParam, LPARAM lParam,
                                                bool onlyDeactivation) {
  switch (message) {
    case WM_SIZE:
      MoveWindow(FList, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_ACTIVATEAPP: {
      const LRESULT result = DefWindowProcW(popup, message, wParam, lParam);
      if (!onlyDeactivation || wParam == FALSE) {
        event(TInputListEvent::AppActivation);
      }
      return result;
    }
    case WM_CLOSE:
      event(TInputListEvent::Escape);
      return 0;
    default:
      return std::nullopt;
  }
}

void TPopupList::fill(const std::vector<std::wstring>& lines, int horizontalExtent) {
  const TWindow list(FList);
  list.send(WM_SETREDRAW, FALSE);
  list.send(LB_RESETCONTENT);
  FLines = lines;
  for (const std::wstring& line : lines) {
    list.send(LB_ADDSTRING, 0, textWithMarks(line));
  }
  if (horizontalExtent > 0) {
    list.send(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(horizontalExtent));
  }
  list.send(LB_SETCURSEL, 0);
  list.send(WM_SETREDRAW, TRUE);
  list.invalidate();
}

std::optional<std::wstring> TPopupList::entry(std::size_t index) const {
  if (index >= FLines.size()) {
    return std::nullopt;
  }
  return FLines[index];
}

void TPopupList::event(TInputListEvent what) {
  if (!FShown || closing()) {
    return;
  }
  FClose = FRule(what);
}

std::optional<std::size_t> TPopupList::showModal(HWND popup, HWND owner, const std::function<void()>& afterShow) {
  FClose = TInputListClose::Stay;
  ShowWindow(popup, SW_SHOW);
  if (afterShow) afterShow();
  SetForegroundWindow(popup);
  SetFocus(FList);
  FShown = true;
  runModalLoop(popup, owner, [this] { return closing(); }, false);
  FShown = false;
  ShowWindow(popup, SW_HIDE);
  if (FClose != TInputListClose::Ok) {
    return std::nullopt;
  }
  const LRESULT index = TWindow(FList).send(LB_GETCURSEL);
  if (index == LB_ERR || index < 0) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(index);
}
