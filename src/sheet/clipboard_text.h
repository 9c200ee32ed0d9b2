#pragma once
// The sheet's cells as clipboard text, and putting a text on the clipboard.
#include <cstdint>
#include <string>

#include "platform/desktop.h"
#include "sheet/string_grid.h"

// The wait after each failed open of the clipboard, in milliseconds.
inline constexpr std::uint32_t kClipboardRetryWait = 250;

// The block's texts row by row: a TAB after each cell but the row's last, CR LF
// after the last (the block's last row too). Texts go as they are, unquoted,
// but a text holding a line break goes in double quotes, as Excel writes it.
std::wstring clipboardText(const TStringGrid& grid, const TGridRect& block);

// Puts the text on the clipboard, trying up to `tries` times and waiting
// `retryWait` ms after each failed open (the last one included); false when
// every try failed.
bool setClipboardText(TDesktop& desktop, const std::wstring& text, int tries,
                      std::uint32_t retryWait = kClipboardRetryWait);

// What a paste into the in-place editor inserts: the clipboard's first line,
// without its line break. A cell holds one line; the sheet's own copy ends
// every row with CR LF, which would otherwise go into the text. A first field
// quoted for its line breaks is inserted whole, each break as the mark.
std::wstring editorPasteText(const std::wstring& clipboard);
