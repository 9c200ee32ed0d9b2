#include "text/replace_text.h"

#include "text/case_fold.h"

std::wstring replaceText(const std::wstring& text, const std::wstring& find, const std::wstring& replacement,
                         bool ignoreCase) {
  if (find.empty() || text.empty()) {
    return text;
  }
  // The fold keeps every character's place, so a match in the folded text is
  // the same range in the original.
  const std::wstring folded = ignoreCase ? foldCase(text) : std::wstring();
  const std::wstring& haystack = ignoreCase ? folded : text;
  const std::wstring needle = ignoreCase ? foldCase(find) : find;
  std::size_t at = haystack.find(needle);
  if (at == std::wstring::npos) {
    return text;
  }
  std::wstring out;
  out.reserve(text.size());
  std::size_t start = 0;
  for (; at != std::wstring::npos; at = haystack.find(needle, start)) {
    out.append(text, start, at - start);
    out += replacement;
    start = at + needle.size();
  }
  out.append(text, start, std::wstring::npos);
  return out;
}

std::int32_t replaceBlock(TStringGrid& grid, TUndoCells& undo, const TGridRect& block, const std::wstring& find,
                          const std::wstring& replacement, bool ignoreCase) {
  const TStringGrid::TUpdateScope hold(grid);
  std::int32_t count = 0;
  for (std::int32_t row = block.Top; row <= block.Bottom; ++row) {
    for (std::int32_t col = block.Left; col <= block.Right; ++col) {
      undo.Add(grid, col, row);
      ++count;
      grid.setCell(col, row, replaceText(grid.Cell(col, row), find, replacement, ignoreCase));
    }
  }
  return count;
}
