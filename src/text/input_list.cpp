#include "text/input_list.h"

#include <algorithm>
#include <unordered_set>

namespace {

bool blank(const std::wstring& text) {
  return std::all_of(text.begin(), text.end(), [](wchar_t ch) { return ch <= L' '; });
}

}  // namespace

std::vector<std::wstring> gatherCandidates(const TStringGrid& grid, std::int32_t col) {
  std::vector<std::wstring> list;
  std::unordered_set<std::wstring> seen;
  for (std::int32_t row = grid.FixedRows(); row < grid.RowCount(); ++row) {
    const std::wstring& text = grid.Cell(col, row);
    if (blank(text) || !seen.insert(text).second) {
      continue;
    }
    list.push_back(text);
  }
  return list;
}

void sortCandidates(std::vector<std::wstring>& list, TTextServices& services) {
  std::stable_sort(list.begin(), list.end(), [&services](const std::wstring& a, const std::wstring& b) {
    return services.compareIgnoreCase(a, b) < 0;
  });
}

TScreenPoint inputListReference(const TStringGrid& grid, int sheetLeft, int sheetTop) {
  TScreenPoint point{sheetLeft, sheetTop};
  for (std::int32_t col = grid.LeftCol(); col < grid.Col(); ++col) point.x += grid.ColWidth(col);
  for (std::int32_t row = grid.TopRow(); row < grid.Row(); ++row) point.y += grid.RowHeight(row);
  return point;
}

TScreenPoint inputListPosition(TScreenPoint reference, int outerWidth, int outerHeight, int screenWidth) {
  TScreenPoint topLeft{reference.x + 40, reference.y - outerHeight - 20};
  if (topLeft.x + outerWidth > screenWidth) topLeft.x = screenWidth - outerWidth;
  if (topLeft.y < 0) topLeft.y = 0;
  return topLeft;
}

TInputListClose inputListClose(TInputListEvent event) {
  switch (event) {
    case TInputListEvent::SelectionChanged:
    case TInputListEvent::DoubleClick:
    case TInputListEvent::Enter:
      return TInputListClose::Ok;
    case TInputListEvent::Escape:
    case TInputListEvent::RightButtonDown:
    case TInputListEvent::AppActivation:
      return TInputListClose::Cancel;
    case TInputListEvent::OtherKey:
      break;
  }
  return TInputListClose::Stay;
}
