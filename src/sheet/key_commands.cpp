#include "sheet/key_commands.h"

#include "sheet/block_commands.h"
#include "sheet/clipboard_text.h"
#include "sheet/cut_paste.h"
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
  if (cut) {
    cutBlock(context.grid, context.undo, context.desktop, kKeyCut);
    return;
  }
  // A locked clipboard is given up silently; the copy leaves one entry to undo.
  setClipboardText(context.desktop, clipboardText(context.grid, context.grid.Selection()), kKeyCut.tries,
                   kKeyCut.retryWait);
  context.undo.setGroupCount(1);
}

void pasteKey(TKeyCommandContext& context, std::uint16_t& key) {
  log(context, clipboardKeyLogLine(key));
  key = 0;
  pasteClipboard(context.grid, context.undo, context.desktop, context.log);
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
