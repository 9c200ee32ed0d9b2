// Scroll bars: their range follows the sheet and the client area; dragging
// a thumb scrolls as it moves.
#include <algorithm>

#include "sheet/grid_geometry.h"
#include "sheet/win32/grid_window.h"

namespace {

// Rows (columns) from `fixed` to `count - 1`; a page so large that the
// largest position is `maxFirst`.
void setBar(HWND hwnd, int bar, std::int32_t fixed, std::int32_t count, std::int32_t maxFirst,
            std::int32_t position) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = fixed;
  info.nMax = std::max(count - 1, fixed);
  info.nPage = static_cast<UINT>(std::max(count - maxFirst, 1));
  info.nPos = position;
  SetScrollInfo(hwnd, bar, &info, TRUE);
}

}  // namespace

void updateScrollBars(TGridWindow& window) {
  if (window.updatingScrollBars) {
    return;
  }
  const TScopedValue<bool> updating(window.updatingScrollBars, true);
  const TStringGrid& grid = window.grid;
  // Showing or hiding a bar changes the client area, which changes the range
  // of the other; a few rounds settle it.
  for (int round = 0; round < 3; ++round) {
    RECT client{};
    GetClientRect(window.FWnd, &client);
    window.input.setViewSize(client.right, client.bottom);
    setBar(window.FWnd, SB_VERT, grid.FixedRows(), grid.RowCount(), maxTopRow(grid, client.bottom), grid.TopRow());
    setBar(window.FWnd, SB_HORZ, grid.FixedCols(), grid.ColCount(), maxLeftCol(grid, client.right), grid.LeftCol());
    RECT after{};
    GetClientRect(window.FWnd, &after);
    if (after.right == client.right && after.bottom == client.bottom) {
      break;
    }
  }
}

void onScroll(TGridWindow& window, int bar, int code) {
  const TStringGrid& grid = window.grid;
  const bool vertical = bar == SB_VERT;
  const TVisibleRange range = visibleRange(grid, window.input.viewWidth(), window.input.viewHeight());
  const std::int32_t page = std::max(vertical ? range.wholeRows : range.wholeCols, 1);
  const std::int32_t position = vertical ? grid.TopRow() : grid.LeftCol();
  std::int32_t target = position;
  switch (code) {
    case SB_LINEUP:
      target = position - 1;
      break;
    case SB_LINEDOWN:
      target = position + 1;
      break;
    case SB_PAGEUP:
      target = position - page;
      break;
    case SB_PAGEDOWN:
      target = position + page;
      break;
    case SB_TOP:
      target = 0;
      break;
    case SB_BOTTOM:
      target = vertical ? grid.RowCount() : grid.ColCount();
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(window.FWnd, bar, &info);
      target = info.nTrackPos;
      break;
    }
    default:
      return;
  }
  if (vertical) {
    window.input.scrollTo(grid.LeftCol(), target);
  } else {
    window.input.scrollTo(target, grid.TopRow());
  }
}

void onMouseWheel(TGridWindow& window, int delta) {
  static_assert(kWheelNotch == WHEEL_DELTA);
  window.input.mouseWheel(delta);
}
