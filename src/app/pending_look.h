#pragma once
// The colours of the corner marks: what Update will do to a cell. Bright,
// saturated colours that read on the window colour, the highlight, the
// button face of a greyed column and the sky blue of row 1 while it is fixed;
// a cell Update cannot write is marked in a colour apart from the three
// that will be written.
#include <cstdint>

#include "writeback/pending_cells.h"

inline constexpr std::uint32_t kMarkEdit = 0x0080FF;        // RGB(255, 128, 0): orange
inline constexpr std::uint32_t kMarkAdd = 0x00C800;         // RGB(0, 200, 0): green
inline constexpr std::uint32_t kMarkDelete = 0x0000E6;      // RGB(230, 0, 0): red
inline constexpr std::uint32_t kMarkUnwritable = 0xFF00FF;  // RGB(255, 0, 255): magenta

// 0 (no mark) for TPending::None.
inline std::uint32_t pendingMarkColor(TPending kind) {
  switch (kind) {
    case TPending::Edit: return kMarkEdit;
    case TPending::Add: return kMarkAdd;
    case TPending::Delete: return kMarkDelete;
    case TPending::Unwritable: return kMarkUnwritable;
    case TPending::None: break;
  }
  return 0;
}
