#pragma once
// The list box of a popup list window and the popup's modal life: the list
// filling the popup, the keys and buttons the list answers, the closing state
// that the first closing event fixes, and the modal show over the owner. The
// candidates popup and the list of texts not shown differ in their frames
// and closing tables only.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/handle_owners.h"
#include "text/input_list.h"

class TPopupList {
 public:
  // What each event does to the popup.
  using TCloseRule = TInputListClose (*)(TInputListEvent);
  // The list's own input, handed to the popup's handlers. Without a hook,
  // Enter, Escape and the right button are events of their own.
  struct THooks {
    // True when the key was taken.
    std::function<bool(WPARAM key)> keyDown;
    std::function<void()> rightButtonDown;
    // A left click released on an entry, even the one selected already,
    // which changes no selection and so sends no notification.
    std::function<void()> clickOnEntry;
  };

  explicit TPopupList(TCloseRule rule) : FRule(rule) {}
  TPopupList(const TPopupList&) = delete;
  TPopupList& operator=(const TPopupList&) = delete;

  // Called from the popup's WM_CREATE: the list box over the popup's client
  // area; extraStyle adds to a notifying, vertically scrolled list.
  bool create(HWND popup, int id, DWORD extraStyle, HFONT font, int itemHeight, THooks hooks);
  HWND handle() const { return FList; }

  // The popup's messages that every popup list answers alike: the list fills
  // the client area, the close box is Escape, the application's activation
  // (with onlyDeactivation, its deactivation alone) is an event. Nullopt for
  // any other message.
  std::optional<LRESULT> popupMessage(HWND popup, UINT message, WPARAM wParam, LPARAM lParam, bool onlyDeactivation);

  // Fills the list and selects its first entry; a horizontal extent above 0
  // sets how far the list scrolls sideways. A line break of a line shows as
  // the sheet's mark.
  void fill(const std::vector<std::wstring>& lines, int horizontalExtent = 0);
  // The text of an entry as it was filled in, line breaks and all; nullopt
  // when there is no such entry.
  std::optional<std::wstring> entry(std::size_t index) const;

  // An event of the shown popup; only the first that closes it counts.
  void event(TInputListEvent what);
  bool closing() const { return FClose != TInputListClose::Stay; }

  // Shows the popup and runs messages, its owner disabled, until an event
  // closes it (afterShow runs once it is shown); then hides it. The selected
  // entry when it closed with OK and an entry was selected.
  std::optional<std::size_t> showModal(HWND popup, HWND owner, const std::function<void()>& afterShow);

 private:
  static LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data);
  LRESULT onListMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam);

  TCloseRule FRule;
  THooks FHooks;
  HWND FList = nullptr;
  std::vector<std::wstring> FLines;  // as filled in: the list box holds them as shown
  TInputListClose FClose = TInputListClose::Stay;
  bool FShown = false;
};

// The lists' fixed-pitch Japanese font, the given number of pixels high.
TGdiObject<HFONT> createPopupListFont(int pixelHeight);

// Enter and Escape in a popup list; nullopt for any other key.
std::optional<TInputListEvent> popupListKey(WPARAM key);
