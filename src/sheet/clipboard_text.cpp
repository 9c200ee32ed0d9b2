#include "sheet/clipboard_text.h"

#include "sheet/clipboard_fields.h"
#include "sheet/line_break_mark.h"

std::wstring clipboardText(const TStringGrid& grid, const TGridRect& block) {
  std::wstring text;
  for (std::int32_t row = block.Top; row <= block.Bottom; ++row) {
    for (std::int32_t col = block.Left; col <= block.Right; ++col) {
      text += clipboardField(grid.Cell(col, row));
      text += col == block.Right ? L"\r\n" : L"\t";
    }
  }
  return text;
}

bool setClipboardText(TDesktop& desktop, const std::wstring& text, int tries, std::uint32_t retryWait) {
  for (int failed = 0; failed < tries; ++failed) {
    if (desktop.setClipboardText(text)) {
      return true;
    }
    if (retryWait > 0) {
      desktop.sleep(retryWait);
    }
  }
  return false;
}

std::wstring editorPasteText(const std::wstring& clipboard) {
  // A cell with line breaks copied from Excel or the sheet: the whole cell,
  // its breaks as marks (the editor gives back no more breaks than its cell had).
  TClipboardFields fields(clipboard);
  std::wstring first;
  bool endsRow = false;
  if (fields.next(&first, endsRow) && fields.quoted()) {
    return textWithMarks(first);
  }
  return clipboard.substr(0, clipboard.find_first_of(L"\r\n"));
}
