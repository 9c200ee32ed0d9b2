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
  sgUndoCnt = 0;
  const TGridRect block = sheet.Selection();
  const std::wstring text = clipboardText(sheet, block);
  sgUndoCnt = emptyBlock(sheet, *FUndoCells, block);
  // A failed copy leaves the cells empty all the same: UNDO brings them back.
  if (!setClipboardText(ports().desktop, text, kMenuCopyTries)) {
    ports().desktop.showMessage(kCopyFailed);
  }
}

void TMorvaneForm::N2Click() {
  sgUndoCnt = 0;
  const std::wstring text = clipboardText(StringGrid1, StringGrid1.Selection());
  if (!setClipboardText(ports().desktop, text, kMenuCopyTries)) {
    ports().desktop.showMessage(kCopyFailed);
  }
}

void TMorvaneForm::N3Click() {
  StringGrid1.setEditorMode(false);
  const std::optional<std::wstring> text = ports().desktop.getClipboardText();
  const std::int32_t count = text ? pasteText(StringGrid1, *FUndoCells, StringGrid1.Selection(), *text) : 0;
  sgUndoCnt = count > 0 ? count : 1;
  // The menu paste logs nothing else, but a block cut short says so.
  if (text) {
    if (const TPasteDropped dropped = pasteDropped(StringGrid1, StringGrid1.Selection(), *text); dropped.any()) {
      Memo1.add(pasteDroppedLogLine(dropped));
    }
  }
}
