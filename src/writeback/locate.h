#pragma once
// Locate: the CAD view centred on a cell's text at the current
// magnification, and a red arrowhead painted on the screen pointing at it.
// The geometry is here; the painting is the desktop's.
#include <array>
#include <cstdint>
#include <optional>

#include "cad/cad_ports.h"
#include "cad/drawing_identity.h"
#include "platform/desktop.h"
#include "table/bounds.h"
#include "table/mrv_records.h"

inline constexpr int kArrowPenWidth = 3;
inline constexpr double kArrowRatio = 0.05;
inline constexpr std::uint32_t kArrowColour = 0x006464FF;  // RGB(255, 100, 100)

// Where to look for cell (col, row) tagged `tag`: its text's anchor, or for a
// cell without a record the cell's left edge at half its height, when the
// cell lies within the boundaries; none otherwise.
std::optional<TPoint3> locateTarget(const TTextAry& texts, const TBounds& bounds, std::int32_t col, std::int32_t row,
                                    std::int32_t tag);

// The drawing area of the CAD's document window: the view's rectangle less
// the bar's height at its bottom, from the view's top-left corner.
struct TDrawingArea {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const TDrawingArea&) const = default;
};
TDrawingArea drawingArea(const TScreenRect& bar, const TScreenRect& view);

// The zoom window that centres `at` keeping the view's height: as high as
// the view and nine tenths as wide. Area height must not be 0.
std::array<TPoint3, 2> zoomCorners(const TPoint3& at, double viewSize, const TDrawingArea& area);

// The outline of the arrowhead, tip in the middle of the area pointing
// right, in device pixels: every coordinate scaled by scalePercent / 100 and
// truncated.
std::array<TScreenPoint, 4> arrowPoints(const TDrawingArea& area, double ratio, std::int32_t scalePercent);

// Restores a minimised CAD window, pans the view to `at` and, with `arrow`,
// paints the arrowhead, when the active document is `drawing`: a point of
// one drawing means nothing in another. Never raises: a failing call ends it
// quietly.
void locateInCad(TDesktop& desktop, TCadApplication& cad, const TDrawingIdentity& drawing, const TPoint3& at,
                 int penWidth, double ratio, std::int32_t scalePercent, bool arrow = true);
