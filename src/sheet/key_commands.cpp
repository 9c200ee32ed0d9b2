#include "sheet/key_commands.h"

#include "sheet/clipboard_text.h"
#include "sheet/grid_keys.h"

namespace {

void copySelectionByKey(TKeyCommandContext& context) {
  if (context.log) {
    context.log(L"[CTRL]+[C]");
  }
  const std::wstring text = clipboardText(context.grid, context.grid.Selection());
  // A locked clipboard is given up silently: the key has no message of its own.
  setClipboardText(context.desktop, text, kKeyCopyTries, 0);
  // Nothing was recorded; one undo then reverts a single entry.
  context.sgUndoCnt = 1;
}

}  // namespace

void sheetKeyCommand(TKeyCommandContext& context, std::uint16_t& key, TShiftState shift) {
  const bool handedOn = key == gridKey::kDelete || (shift.ctrl && (key == gridKey::kX || key == gridKey::kV));
  if (handedOn) {
    if (context.hook) {
      context.hook(key, shift);
    }
    return;
  }
  if (shift.ctrl && key == gridKey::kC) {
    key = 0;
    copySelectionByKey(context);
  }
}
