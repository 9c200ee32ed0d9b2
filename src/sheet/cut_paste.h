#pragma once
// Cut and paste over the sheet's selection: the menu items and the keys run
// the same two commands, each one undo group. They differ only in how hard a
// cut tries the clipboard and in what the caller reports.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/desktop.h"
#include "sheet/clipboard_text.h"
#include "sheet/string_grid.h"
#include "sheet/undo_cells.h"

// How a cut reaches the clipboard, and what becomes of the cells when it
// cannot.
struct TCutWay {
  int tries = 1;
  std::uint32_t retryWait = 0;
  // The menu empties the cells all the same and says so: UNDO brings them
  // back. The key gives up silently and leaves them: emptied, their text
  // would be neither in the sheet nor on the clipboard.
  bool emptyWhenUncopied = false;
};
// Ctrl+X (and Ctrl+C, which tries as hard): three tries one right after the other.
inline constexpr TCutWay kKeyCut{3, 0, false};
// The menu's cut (and its copy): ten tries with the usual wait after each.
inline constexpr TCutWay kMenuCut{10, kClipboardRetryWait, true};

// Puts the selection's text on the clipboard and empties its cells, single
// cell or block; the group count becomes the cells emptied, at least 1.
// Returns whether the clipboard took the text.
bool cutBlock(TStringGrid& grid, TUndoCells& undo, TDesktop& desktop, const TCutWay& way);

// Writes the clipboard's text over the selection (pasteText); the group count
// becomes the cells written, or 1 when none. A block cut short at the sheet's
// edge is told to `log`. A clipboard that cannot be opened raises its error
// before any cell changes, and the group count keeps its value.
void pasteClipboard(TStringGrid& grid, TUndoCells& undo, TDesktop& desktop,
                    const std::function<void(const std::wstring&)>& log);
