// Painting: the visible cells only, into a memory bitmap the size of the
// client area, then one copy to the screen.
#include <algorithm>
#include <vector>

#include "sheet/cell_look.h"
#include "sheet/grid_geometry.h"
#include "sheet/line_break_mark.h"
#include "sheet/win32/grid_window.h"

namespace {

RECT toRect(const TCellRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

HBRUSH brushFor(const TGridWindow& window, TCellFill fill) {
  switch (fill) {
    case TCellFill::Highlight:
      return GetSysColorBrush(COLOR_HIGHLIGHT);
    case TCellFill::Header:
      return window.headerBrush.get();
    case TCellFill::ButtonFace:
      return GetSysColorBrush(COLOR_BTNFACE);
    case TCellFill::Window:
      break;
  }
  return GetSysColorBrush(COLOR_WINDOW);
}

// The fixed indexes, then the scrolling ones that show.
std::vector<std::int32_t> shownIndexes(std::int32_t fixed, std::int32_t first, std::int32_t last) {
  std::vector<std::int32_t> indexes;
  for (std::int32_t i = 0; i < fixed; ++i) {
    indexes.push_back(i);
  }
  for (std::int32_t i = first; i <= last; ++i) {
    indexes.push_back(i);
  }
  return indexes;
}

// The mark's shape, a run of pixels per line so that its edge is the same on
// every device, each run starting with a white pixel: the edge reads on the
// highlight and the grey alike. Over the focus frame's corner and over a
// greyed neighbour's reach.
void paintMark(HDC dc, const TCellRect& cell, std::uint32_t color, TMarkShape shape) {
  // The DC brush: a colour per cell without a brush made per cell.
  const COLORREF previous = SetDCBrushColor(dc, static_cast<COLORREF>(color));
  const HBRUSH brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
  const HBRUSH edge = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  for (const TMarkRun& line : markRuns(shape, cell)) {
    const RECT white{line.left, line.y, line.left + 1, line.y + 1};
    FillRect(dc, &white, edge);
    const RECT run{line.left + 1, line.y, line.right, line.y + 1};
    FillRect(dc, &run, brush);
  }
  SetDCBrushColor(dc, previous);
}

struct TPendingMark {
  TCellRect cell;
  std::uint32_t color = 0;
  TMarkShape shape = TMarkShape::TopCorner;
};

// Paints the cell; its corner mark, if any, is kept in `marks` to be painted
// once every cell is: a greyed cell to its right paints over its edge.
void paintCell(TGridWindow& window, HDC dc, std::int32_t col, std::int32_t row, const TGridRect& selection,
               bool focused, std::vector<TPendingMark>& marks) {
  const std::optional<TCellRect> rect = cellRect(window.grid, col, row);
  if (!rect) {
    return;
  }
  TDrawState state;
  state.selected = col >= selection.Left && col <= selection.Right && row >= selection.Top && row <= selection.Bottom;
  state.current = col == window.grid.Col() && row == window.grid.Row();
  state.focused = focused;
  state.editing = state.current && window.grid.EditorMode();
  const TGridControlHooks& hooks = window.input.hooks();
  const TCellLook look =
      hooks.drawCell ? hooks.drawCell(col, row, *rect, state) : normalCellLook(window.grid, col, row, *rect, state);
  const RECT fill = toRect(look.fillRect);
  FillRect(dc, &fill, brushFor(window, look.fill));
  const std::wstring& cellText = window.grid.Cell(col, row);
  // A text with line breaks shows them as marks on its one line; any other as it is.
  const std::wstring marked = hasLineBreak(cellText) ? textWithMarks(cellText) : std::wstring();
  const std::wstring& text = marked.empty() ? cellText : marked;
  if (!text.empty()) {
    SetTextColor(dc, GetSysColor(look.highlightText ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT textRect = toRect(look.textRect);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  }
  if (look.focusFrame) {
    const RECT frame = toRect(*rect);
    DrawFocusRect(dc, &frame);
  }
  if (look.mark) {
    marks.push_back({*rect, look.markColor, look.markShape});
  }
  if (look.leftMark) {
    marks.push_back({*rect, look.leftMarkColor, TMarkShape::LeftCorner});
  }
}

}  // namespace

void paintGrid(TGridWindow& window, HDC dc, int width, int height, bool focused) {
  const TStringGrid& grid = window.grid;
  const RECT client{0, 0, width, height};
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  const TVisibleRange range = visibleRange(grid, width, height);
  const std::vector<std::int32_t> cols = shownIndexes(grid.FixedCols(), range.firstCol, range.lastCol);
  const std::vector<std::int32_t> rows = shownIndexes(grid.FixedRows(), range.firstRow, range.lastRow);
  if (cols.empty() || rows.empty()) {
    return;
  }
  // The lines are what is left between the cells of a block painted in their colour.
  const std::optional<TCellRect> lastCell = cellRect(grid, cols.back(), rows.back());
  if (lastCell) {
    const RECT lines{0, 0, lastCell->right + kGridLineWidth, lastCell->bottom + kGridLineWidth};
    FillRect(dc, &lines, window.lineBrush.get());
  }
  const TSelectScope fontScope(dc, window.font.get());
  SetBkMode(dc, TRANSPARENT);
  const TGridRect selection = grid.Selection();
  // Row by row, left to right: a greyed cell paints over the edge of the cell
  // to its left, as its look asks.
  std::vector<TPendingMark> marks;
  for (const std::int32_t row : rows) {
    for (const std::int32_t col : cols) {
      paintCell(window, dc, col, row, selection, focused, marks);
    }
  }
  for (const TPendingMark& mark : marks) {
    paintMark(dc, mark.cell, mark.color, mark.shape);
  }
}

namespace {

// The back buffer, at least w x h, compatible with `screen`; null when GDI has none to give.
HDC backBuffer(TGridWindow& window, HDC screen, int w, int h) {
  const std::unique_ptr<TOffscreenDc>& buffer = window.buffer;
  if (!buffer || !buffer->ok() || w > buffer->width() || h > buffer->height()) {
    const int width = std::max(w, buffer ? buffer->width() : 0);
    const int height = std::max(h, buffer ? buffer->height() : 0);
    window.buffer.reset();
    window.buffer = std::make_unique<TOffscreenDc>(screen, width, height);
  }
  return window.buffer->ok() ? window.buffer->dc() : nullptr;
}

void paintToScreen(TGridWindow& window) {
  const TPaintScope paint(window.FWnd);
  RECT client{};
  GetClientRect(window.FWnd, &client);
  if (client.right <= 0 || client.bottom <= 0) {
    return;
  }
  const HDC memory = backBuffer(window, paint.dc(), client.right, client.bottom);
  if (memory == nullptr) {
    // Without a buffer the sheet is painted straight to the screen, flicker and all.
    paintGrid(window, paint.dc(), client.right, client.bottom, GetFocus() == window.FWnd);
    return;
  }
  paintGrid(window, memory, client.right, client.bottom, GetFocus() == window.FWnd);
  BitBlt(paint.dc(), 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
}

}  // namespace

void onPaint(TGridWindow& window) {
  paintToScreen(window);
  if (window.input.hooks().painted) {
    window.input.hooks().painted();
  }
}
