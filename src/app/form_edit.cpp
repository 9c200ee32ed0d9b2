// The sheet's menu commands over the clipboard: cut, copy and paste.
#include "app/morvane_form.h"
#include "sheet/clipboard_text.h"
#include "sheet/cut_paste.h"

namespace {
const std::wstring kCopyFailed = L"クリップボードへのコピーに失敗しました．";
}  // namespace

void TMorvaneForm::wireEdit() {
  N1.OnClick = [this] { runCommand([this] { N1Click(); }); };
  N2.OnClick = [this] { runCommand([this] { N2Click(); }); };
  N3.OnClick = [this] { runCommand([this] { N3Click(); }); };
}

void TMorvaneForm::N1Click() {
  endEditFirst();
  cutSelection(StringGrid1);
}

void TMorvaneForm::cutSelection(TStringGrid& sheet) {
  // The menu cut works on a single cell too, unlike the Delete key.
  if (!cutBlock(sheet, *FUndoCells, ports().desktop, kMenuCut)) {
    ports().desktop.showMessage(kCopyFailed);
  }
}

void TMorvaneForm::N2Click() {
  // The copy changes no cell: it leaves no group to undo.
  FUndoCells->setGroupCount(0);
  const std::wstring text = clipboardText(StringGrid1, StringGrid1.Selection());
  if (!setClipboardText(ports().desktop, text, kMenuCut.tries, kMenuCut.retryWait)) {
    ports().desktop.showMessage(kCopyFailed);
  }
}

void TMorvaneForm::N3Click() {
  endEditFirst();
  // The menu paste logs nothing else, but a block cut short says so.
  pasteClipboard(StringGrid1, *FUndoCells, ports().desktop, [this](const std::wstring& line) { Memo1.add(line); });
}
