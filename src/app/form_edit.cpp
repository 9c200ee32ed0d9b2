// The sheet's menu commands over the clipboard: cut, copy and paste.
#include "app/morvane_form.h"
#include "sheet/block_commands.h"
#include "sheet/clipboard_text.h"

namespace {
const std::wstring kCopyFailed = L"クリップボードへのコピーに失敗しました．";
constexpr int kMenuCopyTries = 10;
}  // namespace

void TMorvaneForm::wireEdit() {
  N1.OnClick = [this] { runCommand([this] { N1Click(); }); };
  N2.OnClick = [this] { runCommand([this] { N2Click(); }); };
  N3.OnClick = [this] { runCommand([this] { N3Click(); }); };
}

void TMorvaneForm::N1Click() {
  // An open edit ends first, as before the other commands that write cells.
  StringGrid1.setEditorMode(false);
  cutSelection(StringGrid1);
}

void TMorvaneForm::cutSelection(TStringGrid& sheet) {
  // The menu cut works on a single cell too, unlike the Delete key.
  const TUndoCells::TGroup group = FUndoCells->beginGroup();
  const TGridRect block = sheet.Selection();
  const std::wstring text = clipboardText(sheet, block);
  emptyBlock(sheet, *FUndoCells, block);
  // A failed copy leaves the cells empty all the same: UNDO brings them back.
  if (!setClipboardText(ports().desktop, text, kMenuCopyTries)) {
    ports().desktop.showMessage(kCopyFailed);
  }
}

void TMorvaneForm::N2Click() {
  // The copy changes no cell: it leaves no group to undo.
  FUndoCells->setGroupCount(0);
  const std::wstring text = clipboardText(StringGrid1, StringGrid1.Selection());
  if (!setClipboardText(ports().desktop, text, kMenuCopyTries)) {
    ports().desktop.showMessage(kCopyFailed);
  }
}

void TMorvaneForm::N3Click() {
  StringGrid1.setEditorMode(false);
  const TUndoCells::TGroup group = FUndoCells->beginGroup(1);
  const std::optional<std::wstring> text = ports().desktop.getClipboardText();
  // The menu paste logs nothing else, but a block cut short says so.
  if (text) {
    pasteText(StringGrid1, *FUndoCells, StringGrid1.Selection(), *text);
    if (const TPasteDropped dropped = pasteDropped(StringGrid1, StringGrid1.Selection(), *text); dropped.any()) {
      Memo1.add(pasteDroppedLogLine(dropped));
    }
  }
}
