#include "sheet/key_commands.h"

#include "sheet/block_commands.h"
#include "sheet/clipboard_text.h"
#include "sheet/grid_keys.h"

namespace {

void log(const TKeyCommandContext& context, const std::wstring& line) {
  if (context.log) {
    context.log(line);
  }
}

bool singleCell(const TGridRect& block) { return block.Left == block.Right && block.Top == block.Bottom; }

void deleteKey(TKeyCommandContext& context, std::uint16_t& key) {
  log(context, L"[DELETE]");
  const TGridRect block = context.grid.Selection();
  if (singleCell(block)) {
    return;
  }
  key = 0;
  const TUndoCells::TGroup group = context.undo.beginGroup();
  emptyBlock(context.grid, context.undo, block);
}

void copyOrCutKey(TKeyCommandContext& context, std::uint16_t& key, bool cut) {
  log(context, clipboardKeyLogLine(key));
  key = 0;
  const TGridRect block = context.grid.Selection();
  // A locked clipboard is given up silently. A cut then leaves the cells as
  // they are: emptied, their text would be neither in the sheet nor on the
  // clipboard.
  const TUndoCells::TGroup group = context.undo.beginGroup(1);
  const bool copied = setClipboardText(context.desktop, clipboardText(context.grid, block), kKeyCopyTries, 0);
  if (cut && copied) {
    emptyBlock(context.grid, context.undo, block);
  }
}

void pasteKey(TKeyCommandContext& context, std::uint16_t& key) {
  log(context, clipboardKeyLogLine(key));
  key = 0;
  // A clipboard that cannot be opened raises its error here, before any cell
  // changes, and the group count keeps its value.
  const TUndoCells::TGroup group = context.undo.beginGroup(1);
  const std::optional<std::wstring> text = context.desktop.getClipboardText();
  if (text) {
    pasteText(context.grid, context.undo, context.grid.Selection(), *text);
    if (const TPasteDropped dropped = pasteDropped(context.grid, context.grid.Selection(), *text); dropped.any()) {
      log(context, pasteDroppedLogLine(dropped));
    }
  }
}

}  // namespace

bool isClipboardKey(std::uint16_t key, TShiftState shift) {
  return shift.ctrl && (key == gridKey::kC || key == gridKey::kX || key == gridKey::kV);
}

std::wstring clipboardKeyLogLine(std::uint16_t key) {
  // Ctrl+X has no log line of its own.
  return key == gridKey::kV ? L"[CTRL]+[V]" : L"[CTRL]+[C]";
}

bool isSheetKeyCommand(std::uint16_t key, TShiftState shift) {
  return key == gridKey::kDelete ||
         (shift.ctrl && (key == gridKey::kC || key == gridKey::kX || key == gridKey::kV));
}

void sheetKeyCommand(TKeyCommandContext& context, std::uint16_t& key, TShiftState shift) {
  if (key == gridKey::kDelete) {
    deleteKey(context, key);
  }
  if (!shift.ctrl) {
    return;
  }
  if (key == gridKey::kC || key == gridKey::kX) {
    copyOrCutKey(context, key, key == gridKey::kX);
  } else if (key == gridKey::kV) {
    pasteKey(context, key);
  }
}
