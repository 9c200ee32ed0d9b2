#include "app/win32/control_binding.h"

#include <commctrl.h>

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "platform/win32/window_view.h"

std::wstring windowText(HWND wnd) { return TWindow(wnd).text(); }

namespace {

// SetWindowTextW only when the text differs: setting an edit's own text again
// would move its caret and selection.
void setTextIfChanged(TWindow wnd, const std::wstring& text) {
  if (wnd.text() != text) {
    wnd.setText(text);
  }
}

void pushEnabled(const TControl& control, TWindow wnd) {
  if (wnd.enabled() != control.Enabled()) {
    wnd.enable(control.Enabled());
  }
}

// The log keeps count of what it shows so that adding one line appends it
// instead of setting the whole text again.
class TMemoView {
 public:
  TMemoView(const TMemo& memo, TWindow wnd) : FMemo(memo), FWnd(wnd) {}
  void push() {
    pushEnabled(FMemo, FWnd);
    const std::vector<std::wstring>& lines = FMemo.Lines();
    if (lines.size() == FShown) {
      return;
    }
    if (!lines.empty() && lines.size() == FShown + 1) {
      append(lines.back());
    } else {
      rebuild(lines);
    }
    FShown = lines.size();
  }

 private:
  void append(const std::wstring& line) {
    const std::wstring text = FShown == 0 ? line : L"\r\n" + line;
    const int end = FWnd.textLength();
    FWnd.send(EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
    FWnd.send(EM_REPLACESEL, FALSE, text);
  }
  void rebuild(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) text += L"\r\n";
      text += lines[i];
    }
    FWnd.setText(text);
    const int end = FWnd.textLength();
    FWnd.send(EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
    FWnd.send(EM_SCROLLCARET);
  }

  const TMemo& FMemo;
  TWindow FWnd;
  std::size_t FShown = 0;
};

class TStatusView {
 public:
  TStatusView(const TStatusBar& bar, TWindow wnd) : FBar(bar), FWnd(wnd) {}
  void push() {
    for (int i = 0; i < TStatusBar::kPanels; ++i) {
      const std::wstring& text = FBar.Panel(i);
      auto& shown = FShown[static_cast<std::size_t>(i)];
      if (shown.has_value() && *shown == text) continue;
      // A leading tab centres a panel's text; panel 0 is left-aligned.
      const std::wstring drawn = i == 0 ? text : L"\t" + text;
      FWnd.send(SB_SETTEXTW, static_cast<WPARAM>(i), drawn);
      shown = text;
    }
  }

 private:
  const TStatusBar& FBar;
  TWindow FWnd;
  std::array<std::optional<std::wstring>, TStatusBar::kPanels> FShown;
};

struct TFrame {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const TFrame&) const = default;
};

// A placement's rectangle is in workspace coordinates, which start at the
// work area of its monitor (beside a taskbar on the left or at the top).
POINT workspaceOffset(const RECT& place) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  const HMONITOR monitor = MonitorFromRect(&place, MONITOR_DEFAULTTOPRIMARY);
  if (monitor == nullptr || GetMonitorInfoW(monitor, &info) == FALSE) {
    return POINT{0, 0};
  }
  return POINT{info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

// For a minimised window, the place it is restored to, in screen pixels.
TFrame readFrame(HWND wnd) {
  RECT r{};
  if (IsIconic(wnd) != FALSE) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(wnd, &placement);
    r = placement.rcNormalPosition;
    const POINT offset = workspaceOffset(r);
    OffsetRect(&r, offset.x, offset.y);
  } else {
    GetWindowRect(wnd, &r);
  }
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void writeFrame(HWND wnd, const TFrame& f) {
  if (IsIconic(wnd) != FALSE) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(wnd, &placement);
    RECT r{f.left, f.top, f.left + f.width, f.top + f.height};
    const POINT offset = workspaceOffset(r);
    OffsetRect(&r, -offset.x, -offset.y);
    placement.rcNormalPosition = r;
    SetWindowPlacement(wnd, &placement);
  } else {
    SetWindowPos(wnd, nullptr, f.left, f.top, f.width, f.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  }
}

// The form's frame fields against what the window last had, so that a push
// caused by a caption change leaves a window the user has moved where it is.
class TWindowView {
 public:
  TWindowView(TFormWindow& form, HWND wnd) : FForm(form), FWnd(wnd) {}
  void push() {
    setTextIfChanged(FWnd, FForm.Caption());
    const TFrame wanted{FForm.Left, FForm.Top, FForm.Width, FForm.Height};
    if (wanted != FSynced) {
      FSynced = wanted;
      writeFrame(FWnd, wanted);
    }
  }
  void read() {
    FSynced = readFrame(FWnd);
    FForm.Left = FSynced.left;
    FForm.Top = FSynced.top;
    FForm.Width = FSynced.width;
    FForm.Height = FSynced.height;
  }
  void setTopmost(bool on) {
    SetWindowPos(FWnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

 private:
  TFormWindow& FForm;
  HWND FWnd;
  TFrame FSynced;
};

}  // namespace

void TControlBinding::bindButton(TButton& button, HWND wnd) {
  FBound.push_back(&button);
  button.OnPush = [&button, wnd] {
    setTextIfChanged(wnd, button.Caption());
    pushEnabled(button, wnd);
  };
  button.OnPush();
  FCommands[wnd] = [&button](UINT code) {
    if (code == BN_CLICKED) button.Click();
  };
}

void TControlBinding::bindCheckBox(TCheckBox& box, HWND wnd) {
  FBound.push_back(&box);
  box.OnPush = [&box, wnd] {
    setTextIfChanged(wnd, box.Caption());
    pushEnabled(box, wnd);
    TWindow(wnd).send(BM_SETCHECK, box.Checked() ? BST_CHECKED : BST_UNCHECKED);
  };
  box.OnPush();
  // The box is a plain BS_CHECKBOX: the object holds the state and pushes it back.
  FCommands[wnd] = [&box](UINT code) {
    if (code == BN_CLICKED && box.Enabled()) box.setChecked(!box.Checked());
  };
}

void TControlBinding::bindEdit(TEdit& edit, HWND wnd) {
  FBound.push_back(&edit);
  edit.OnPush = [&edit, wnd] {
    setTextIfChanged(wnd, edit.Text());
    pushEnabled(edit, wnd);
  };
  edit.OnPush();
  FCommands[wnd] = [&edit, wnd](UINT code) {
    if (code == EN_CHANGE) edit.setText(TWindow(wnd).text());
  };
}

void TControlBinding::bindLabel(TControl& label, HWND wnd) {
  FBound.push_back(&label);
  label.OnPush = [&label, wnd] {
    setTextIfChanged(wnd, label.Caption());
    pushEnabled(label, wnd);
  };
  label.OnPush();
}

void TControlBinding::bindMemo(TMemo& memo, HWND wnd) {
  FBound.push_back(&memo);
  auto view = std::make_shared<TMemoView>(memo, wnd);
  memo.OnPush = [view] { view->push(); };
  memo.OnPush();
}

void TControlBinding::bindProgressBar(TProgressBar& bar, HWND wnd) {
  FBound.push_back(&bar);
  bar.OnPush = [&bar, wnd] {
    const TWindow view(wnd);
    view.send(PBM_SETRANGE32, 0, static_cast<LPARAM>(bar.Max()));
    view.send(PBM_SETPOS, static_cast<WPARAM>(bar.Position()));
    pushEnabled(bar, wnd);
  };
  bar.OnPush();
}

void TControlBinding::bindStatusBar(TStatusBar& bar, HWND wnd) {
  FBound.push_back(&bar);
  auto view = std::make_shared<TStatusView>(bar, wnd);
  bar.OnPush = [view] { view->push(); };
  bar.OnPush();
}

void TControlBinding::bindWindow(TFormWindow& form, HWND wnd) {
  FBound.push_back(&form);
  auto view = std::make_shared<TWindowView>(form, wnd);
  form.Handle = static_cast<TWnd>(reinterpret_cast<UINT_PTR>(wnd));
  form.OnReadBounds = [view] { view->read(); };
  form.OnPush = [view] { view->push(); };
  form.OnSetTopmost = [view](bool on) { view->setTopmost(on); };
  FWindowMoved = [view] { view->read(); };
  view->read();
  setTextIfChanged(wnd, form.Caption());
}

bool TControlBinding::command(HWND control, UINT code) {
  const auto it = FCommands.find(control);
  if (it == FCommands.end()) {
    return false;
  }
  it->second(code);
  return true;
}

void TControlBinding::windowMoved() {
  if (FWindowMoved) FWindowMoved();
}

void TControlBinding::release() {
  for (TControl* const control : FBound) {
    control->OnPush = nullptr;
    if (auto* const window = dynamic_cast<TFormWindow*>(control)) {
      window->OnReadBounds = nullptr;
      window->OnSetTopmost = nullptr;
      window->Handle = 0;
    }
  }
  FBound.clear();
  FCommands.clear();
  FWindowMoved = nullptr;
}
