#include "sheet/cut_paste.h"

#include <optional>

#include "sheet/block_commands.h"

bool cutBlock(TStringGrid& grid, TUndoCells& undo, TDesktop& desktop, const TCutWay& way) {
  const TUndoCells::TGroup group = undo.beginGroup(1);
  const TGridRect block = grid.Selection();
  const bool copied = setClipboardText(desktop, clipboardText(grid, block), way.tries, way.retryWait);
  if (copied || way.emptyWhenUncopied) {
    emptyBlock(grid, undo, block);
  }
  return copied;
}

void pasteClipboard(TStringGrid& grid, TUndoCells& undo, TDesktop& desktop,
                    const std::function<void(const std::wstring&)>& log) {
  const TUndoCells::TGroup group = undo.beginGroup(1);
  const std::optional<std::wstring> text = desktop.getClipboardText();
  if (!text) {
    return;
  }
  pasteText(grid, undo, grid.Selection(), *text);
  if (const TPasteDropped dropped = pasteDropped(grid, grid.Selection(), *text); dropped.any() && log) {
    log(pasteDroppedLogLine(dropped));
  }
}
