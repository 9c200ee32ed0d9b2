#include "writeback/locate.h"

#include "table/acquire.h"
#include "table/text_lookup.h"

namespace {

constexpr std::uint32_t kZoomSettleMs = 100;

int scaled(int value, double scale) { return static_cast<int>(value * scale); }

}  // namespace

std::optional<TPoint3> locateTarget(const TTextAry& texts, const TBounds& bounds, std::int32_t col, std::int32_t row,
                                    std::int32_t tag) {
  const int k = findTextByHandle(texts, handleString(tag));
  if (k >= 0) {
    const TMrvText& text = texts[static_cast<std::size_t>(k)];
    return TPoint3{text.base[0], text.base[1], 0.0};
  }
  const TDblAry& cols = bounds.cols();
  const TDblAry& rows = bounds.rows();
  const auto c = static_cast<std::size_t>(col);
  const auto r = static_cast<std::size_t>(row);
  if (col < 1 || row < 1 || c >= cols.size() || r >= rows.size()) {
    return std::nullopt;
  }
  return TPoint3{cols[c - 1], (rows[r - 1] + rows[r]) / 2.0, 0.0};
}

TDrawingArea drawingArea(const TScreenRect& bar, const TScreenRect& view) {
  return {view.left, view.top, view.right - view.left, (view.bottom - view.top) - (bar.bottom - bar.top)};
}

std::array<TPoint3, 2> zoomCorners(const TPoint3& at, double viewSize, const TDrawingArea& area) {
  const double viewWidth = viewSize / area.height * area.width;
  const double halfWidth = viewWidth / 2.0 * 0.9;
  return {TPoint3{at[0] - halfWidth, at[1] - viewSize / 2.0, 0.0},
          TPoint3{at[0] + halfWidth, at[1] + viewSize / 2.0, 0.0}};
}

std::array<TScreenPoint, 4> arrowPoints(const TDrawingArea& area, double ratio, std::int32_t scalePercent) {
  const double scale = scalePercent / 100.0;
  const int cx = area.left + area.width / 2;
  const int cy = area.top + area.height / 2;
  const int length = static_cast<int>(area.width * ratio);
  const int half = static_cast<int>(area.width * ratio * 0.5);
  const auto at = [scale](int x, int y) { return TScreenPoint{scaled(x, scale), scaled(y, scale)}; };
  return {at(cx, cy), at(cx - length, cy - half), at(cx - length, cy + half), at(cx, cy)};
}

void locateInCad(TDesktop& desktop, TCadApplication& cad, const TDrawingIdentity& drawing, const TPoint3& at,
                 int penWidth, double ratio, std::int32_t scalePercent, bool arrow) {
  try {
    const std::unique_ptr<TCadDocument> document = cad.ActiveDocument();
    if (!checkDrawing(*document, drawing).same) {
      return;
    }
    // Restored only now that the drawing is known to be the one: a locate
    // in another drawing does nothing at all. Not brought to the front.
    const TWnd cadWnd = cadWindowToWnd(cad.windowHandle());
    if (desktop.isIconic(cadWnd)) {
      desktop.openIcon(cadWnd);
    }
    const double viewSize = document->GetVariable(L"VIEWSIZE");
    const TWnd documentWnd = cadWindowToWnd(document->windowHandle());
    const TWnd bar = desktop.childWindow(documentWnd);
    const TWnd view = desktop.nextWindow(bar);
    const TDrawingArea area = drawingArea(desktop.windowRect(bar), desktop.windowRect(view));
    if (area.height <= 0) {
      return;  // no drawing area to measure the view's width by
    }
    const std::array<TPoint3, 2> corners = zoomCorners(at, viewSize, area);
    cad.ZoomWindow(corners[0], corners[1]);
    desktop.sleep(kZoomSettleMs);
    if (arrow && view != 0 && area.width > 0) {
      const std::array<TScreenPoint, 4> outline = arrowPoints(area, ratio, scalePercent);
      desktop.drawScreenLines({outline.begin(), outline.end()}, penWidth, kArrowColour);
    }
  } catch (...) {
    // Locate is a courtesy: whatever fails, the click has done its part.
  }
}
