#pragma once
// What a cell looks like: the colours and places the control paints it with.
// The control knows no rule of its own; it paints what the form decides.
#include <cstdint>
#include <vector>

#include "sheet/string_grid.h"

// The sky blue of header cells.
inline constexpr std::uint32_t kHeaderColor = 0xF0CAA6;  // RGB(166, 202, 240) as 0x00BBGGRR
// Normal texts start this far right of the cell's left edge.
inline constexpr int kTextMargin = 6;
// The mark: a small shape within this many pixels of the cell's right edge,
// inside the cell, its left edge a white line so that it stands out from any
// fill; a marked cell's text stops short of it.
inline constexpr int kMarkSize = 8;

// Each kind of mark has a shape and place of its own as well as a colour, so
// that a user who cannot tell the colours apart still tells the kinds apart.
enum class TMarkShape : std::uint8_t {
  TopCorner,     // a right triangle along the top and right edges
  BottomCorner,  // the same along the bottom and right edges
  EdgeBar,       // a bar the cell's height along the right edge
  MiddleSquare,  // a square at the middle of the right edge
  MiddleArrow,   // a triangle pointing left, its back on the middle of the right edge
  LeftCorner,    // a right triangle along the top and left edges: the other end of the cell
  TopBar,        // a flat bar along the top edge at the right, three lines tall
};

// One line of a mark: pixels left .. right - 1 of line y, the first white.
// (The left corner's white pixel lies on the cell's left edge, against the
// grid line.)
struct TMarkRun {
  int y = 0;
  int left = 0;
  int right = 0;
  bool operator==(const TMarkRun&) const = default;
};
// The lines of a mark in a cell, top to bottom, each inside the cell and
// within kMarkSize of its right edge (of its left edge for the left corner);
// none in a cell too small to hold one.
std::vector<TMarkRun> markRuns(TMarkShape shape, const TCellRect& cell);

enum class TCellFill {
  Window,      // the system's window colour
  Highlight,   // the system's highlight colour (selected cells)
  Header,      // kHeaderColor
  ButtonFace,  // the system's button-face colour (columns without drawing texts)
};

struct TDrawState {
  bool selected = false;  // inside the selection rectangle
  bool current = false;   // the current cell
  bool focused = false;   // the sheet has the keyboard focus
  bool editing = false;   // the in-place editor lies over the cell
};

struct TCellLook {
  TCellFill fill = TCellFill::Window;
  TCellRect fillRect;   // may reach past the cell, over its grid lines
  TCellRect textRect;   // one line, vertically centred, clipped to it
  bool highlightText = false;  // text in the highlight text colour
  bool focusFrame = false;     // the focus rectangle of the current cell
  bool mark = false;           // the mark, painted last, in markColor (0x00BBGGRR)
  std::uint32_t markColor = 0;
  TMarkShape markShape = TMarkShape::TopCorner;
  // A second mark, in the cell's top-left corner, beside whatever the first
  // one says; the text starts clear of it already.
  bool leftMark = false;
  std::uint32_t leftMarkColor = 0;
};

// Gives the look a mark of `shape` in `color`, the text kept clear of it.
void addCornerMark(TCellLook& look, const TCellRect& rect, std::uint32_t color,
                   TMarkShape shape = TMarkShape::TopCorner);

// Gives the look the second mark, a LeftCorner in `color`.
void addLeftMark(TCellLook& look, std::uint32_t color);

bool isHeaderCell(const TStringGrid& grid, std::int32_t col, std::int32_t row);

// The look a cell has before the form's draw handler: headers sky blue,
// selected data cells highlighted except the focused current cell, which
// gets the focus frame, and the edited cell, which looks as the editor over
// it; texts kTextMargin pixels from the left.
TCellLook normalCellLook(const TStringGrid& grid, std::int32_t col, std::int32_t row,
                         const TCellRect& rect, TDrawState state);

// true when some data cell of the column (row 1 included, fixed or not) holds
// a drawing text; false for a sheet of fewer than 2 rows.
bool columnHasTag(const TStringGrid& grid, std::int32_t col);
