#pragma once
// The replace dialog "文字列置換" as the replace command sees it. The window
// is created once and reused: its edit boxes and its check box keep their
// state from one use to the next.
#include <string>

class TnTextTikanForm {
 public:
  virtual ~TnTextTikanForm() = default;
  // Puts the dialog into the topmost band or takes it out.
  virtual void setTopmost(bool on) = 0;
  // The texts of Edit1 (find) and Edit2 (replacement).
  virtual void setTexts(const std::wstring& find, const std::wstring& replacement) = 0;
  virtual std::wstring findText() = 0;
  virtual std::wstring replacementText() = 0;
  // CheckBox1 "大文字/小文字を無視", ticked when the program starts.
  virtual bool ignoreCase() = 0;
  // Shows the dialog modally, centred over the main window; true when it
  // closed with "実行", false for "取り消し" or its close box.
  virtual bool ShowModal() = 0;
};
