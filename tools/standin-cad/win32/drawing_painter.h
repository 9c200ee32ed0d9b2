#pragma once
// Paints a drawing's model space into a DC through a view transform.
#include <windows.h>

#include <cstdint>
#include <set>

#include "drawing.h"
#include "view_transform.h"

struct TPaintStyle {
  COLORREF background = RGB(33, 40, 48);
  COLORREF ink = RGB(230, 230, 230);
  COLORREF highlight = RGB(255, 200, 40);
};

void paintDrawing(HDC dc, const standin::Drawing& drawing, const TViewTransform& view,
                  const std::set<std::uint64_t>& highlighted, const TPaintStyle& style);

// The rubber band of an on-screen selection: solid for a window (left to
// right), dashed for a crossing (right to left).
void paintRubberBand(HDC dc, POINT from, POINT to);
