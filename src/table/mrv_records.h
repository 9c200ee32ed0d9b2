#pragma once
// The plain records Acquire reads from the drawing, and the boundary arrays.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One drawing text.
struct TMrvText {
  // Anchor in drawing coordinates: the alignment point when `code` is not 0,
  // else the insertion point (an MTEXT's, where its attachment point lies).
  std::array<double, 3> base{0.0, 0.0, 0.0};
  std::int32_t code = 0;  // the text's alignment value as the CAD reports it
  // What the drawing shows: a TEXT's string, an MTEXT's with its codes decoded.
  std::wstring sText;
  std::int64_t objID = 0;  // left 0 by Acquire; set by Update for texts it creates
  std::wstring sHandle;    // hexadecimal digits exactly as the CAD reports them
  // Update found the drawing's text no longer `sText`: someone changed it in
  // the CAD since it was read. Its cell is never written until a new Acquire
  // reads the text again.
  bool drawingChanged = false;
  // A multi-line text: `sSource` is its string exactly as the CAD holds it,
  // codes included (empty for a TEXT), and `code` is 0. `innerFormatting`:
  // its content carries codes that an edit of the cell cannot keep.
  bool isMText = false;
  std::wstring sSource;
  bool innerFormatting = false;
};

// One straight drawn line or polyline segment.
struct TMrvLine {
  std::array<double, 3> st{0.0, 0.0, 0.0};
  std::array<double, 3> ed{0.0, 0.0, 0.0};
};

using TDblAry = std::vector<double>;
using TTextAry = std::vector<TMrvText>;
using TLineAry = std::vector<TMrvLine>;
