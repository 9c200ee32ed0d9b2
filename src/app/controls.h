#pragma once
// The main window's controls as small core objects: handlers read and set
// them as a form's code reads and sets its controls, tests inspect them, and
// the Win32 main window binds each to its HWND. OnPush tells the binding that
// the object changed; a user's action on the window updates the object through
// the `userSet...` calls and fires the handler.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/desktop.h"

class TControl {
 public:
  explicit TControl(std::wstring caption = {}, bool enabled = true)
      : FCaption(std::move(caption)), FEnabled(enabled) {}
  virtual ~TControl() = default;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  const std::wstring& Caption() const { return FCaption; }
  void setCaption(const std::wstring& caption) { FCaption = caption; push(); }
  bool Enabled() const { return FEnabled; }
  void setEnabled(bool enabled) { if (enabled != FEnabled) { FEnabled = enabled; push(); } }

  std::function<void()> OnPush;

 protected:
  void push() { if (OnPush) OnPush(); }

 private:
  std::wstring FCaption;
  bool FEnabled;
};

// Push buttons, speed buttons and menu items.
class TButton : public TControl {
 public:
  using TControl::TControl;
  std::function<void()> OnClick;
  // A click by the user or by the program; a disabled control ignores it.
  void Click() { if (Enabled() && OnClick) OnClick(); }
};

class TMenuItem : public TButton {
 public:
  // A caption of "-" is a separator line.
  using TButton::TButton;
  bool isSeparator() const { return Caption() == L"-"; }
  // The check mark of an option item; its handler turns it on and off.
  bool Checked() const { return FChecked; }
  void setChecked(bool checked) {
    if (checked == FChecked) return;
    FChecked = checked;
    push();
  }

 private:
  bool FChecked = false;
};

class TCheckBox : public TControl {
 public:
  using TControl::TControl;
  bool Checked() const { return FChecked; }
  // A change of state runs OnClick, whether the user or the program made it.
  void setChecked(bool checked) {
    if (checked == FChecked) return;
    FChecked = checked;
    push();
    if (OnClick) OnClick();
  }
  std::function<void()> OnClick;

 private:
  bool FChecked = false;
};

class TEdit : public TControl {
 public:
  using TControl::TControl;
  const std::wstring& Text() const { return Caption(); }
  void setText(const std::wstring& text) { setCaption(text); }
};

// The read-only log: one line per event.
class TMemo : public TControl {
 public:
  using TControl::TControl;
  const std::vector<std::wstring>& Lines() const { return FLines; }
  void add(const std::wstring& line) { FLines.push_back(line); push(); }
  void clear() { FLines.clear(); push(); }

 private:
  std::vector<std::wstring> FLines;
};

class TProgressBar : public TControl {
 public:
  using TControl::TControl;
  std::int32_t Max() const { return FMax; }
  std::int32_t Position() const { return FPosition; }
  void setMax(std::int32_t max) { FMax = max; push(); }
  void setPosition(std::int32_t position) { FPosition = position; push(); }

 private:
  std::int32_t FMax = 100;
  std::int32_t FPosition = 0;
};

class TStatusBar : public TControl {
 public:
  using TControl::TControl;
  // 0: progress and handle; 1: "新規作成不可"; 2: the pending counts; 3: why a command ended quietly.
  static constexpr int kPanels = 4;
  const std::wstring& Panel(int i) const { return FPanels[static_cast<std::size_t>(i)]; }
  void setPanel(int i, const std::wstring& text) { FPanels[static_cast<std::size_t>(i)] = text; push(); }

 private:
  std::array<std::wstring, kPanels> FPanels;
};

// The main window itself: its handle (set by the Win32 side), caption and
// frame. Left/Top/Width/Height are the whole frame in screen pixels; for a
// minimised window, its restored place.
class TFormWindow : public TControl {
 public:
  using TControl::TControl;
  TWnd Handle = 0;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  // The Win32 side reads the frame back into the fields before a handler needs it.
  std::function<void()> OnReadBounds;
  void readBounds() { if (OnReadBounds) OnReadBounds(); }
  void pushBounds() { push(); }
  // Topmost band: true puts the window into it, false takes it out.
  std::function<void(bool)> OnSetTopmost;
  void setTopmost(bool on) { if (OnSetTopmost) OnSetTopmost(on); }
};
