#pragma once
// The marks: what Update will do to a cell. Bright, saturated colours that
// read on the window colour, the highlight, the button face of a greyed
// column and the sky blue of row 1 while it is fixed; and since a user may
// not tell red from green, each kind has a shape and place of its own too:
// an edit the top corner, an addition the bottom corner, a deletion a bar
// down the edge, a cell Update cannot write a square, and a cell whose text
// was changed in the drawing an arrow pointing in from the drawing's side,
// and an edit that replaces an MTEXT's inner formatting a flat bar along the
// top, where an edit has its corner.
// A cell that holds more than one drawing text is marked at its other end,
// the top-left corner, beside any of these.
#include <cstdint>

#include "sheet/cell_look.h"
#include "writeback/pending_cells.h"

inline constexpr std::uint32_t kMarkEdit = 0x0080FF;            // RGB(255, 128, 0): orange
inline constexpr std::uint32_t kMarkAdd = 0x00C800;             // RGB(0, 200, 0): green
inline constexpr std::uint32_t kMarkDelete = 0x0000E6;          // RGB(230, 0, 0): red
inline constexpr std::uint32_t kMarkUnwritable = 0xFF00FF;      // RGB(255, 0, 255): magenta
inline constexpr std::uint32_t kMarkDrawingChanged = 0xFF6400;  // RGB(0, 100, 255): blue
inline constexpr std::uint32_t kMarkCrowded = 0xA0A000;         // RGB(0, 160, 160): teal
inline constexpr std::uint32_t kMarkFormatReplaced = 0x0096BE;  // RGB(190, 150, 0): dark gold

struct TPendingMarkLook {
  std::uint32_t color = 0;  // 0: no mark
  TMarkShape shape = TMarkShape::TopCorner;
};

// No mark for TPending::None.
inline TPendingMarkLook pendingMark(TPending kind) {
  switch (kind) {
    case TPending::Edit: return {kMarkEdit, TMarkShape::TopCorner};
    case TPending::Add: return {kMarkAdd, TMarkShape::BottomCorner};
    case TPending::Delete: return {kMarkDelete, TMarkShape::EdgeBar};
    case TPending::Unwritable: return {kMarkUnwritable, TMarkShape::MiddleSquare};
    case TPending::DrawingChanged: return {kMarkDrawingChanged, TMarkShape::MiddleArrow};
    case TPending::FormatReplaced: return {kMarkFormatReplaced, TMarkShape::TopBar};
    case TPending::None: break;
  }
  return {};
}
