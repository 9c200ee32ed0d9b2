#pragma once
// The sheet's answer to keys, characters and the mouse, apart from any
// window: the Win32 control turns its messages into these calls. A key goes
// to the owner's hook first, a mouse event after the grid's own meaning of
// it: moves of the current cell, in-place editing, header clicks, resizing
// of columns and rows, scrolling.
#include <cstdint>
#include <utility>

#include "platform/text_metrics.h"
#include "sheet/grid_control_hooks.h"
#include "sheet/string_grid.h"

enum class TCharResult {
  Ignored,
  EditStarted,       // editing began on the cell's own text (Enter, F2, double click)
  EditReplaced,      // editing began, the character replacing the text
  EditEnded,
  PassToEditor,      // a character for the open editor
};

enum class TGridCursor { Arrow, SizeColumn, SizeRow };

inline constexpr int kWheelNotch = 120;
inline constexpr int kWheelRowsPerNotch = 3;

class TGridInput {
 public:
  // Without metrics a double click on a header line fits nothing.
  explicit TGridInput(TStringGrid& grid, TGridControlHooks hooks = {}, TTextMetrics* metrics = nullptr)
      : FGrid(grid), FHooks(std::move(hooks)), FMetrics(metrics) {}
  TGridInput(const TGridInput&) = delete;
  TGridInput& operator=(const TGridInput&) = delete;

  // The owner's hooks: the key and mouse ones are called from here, the
  // others by the control.
  const TGridControlHooks& hooks() const { return FHooks; }
  TGridControlHooks& hooks() { return FHooks; }

  // The client area the sheet is shown in, for paging and scrolling into view.
  void setViewSize(int width, int height);
  int viewWidth() const { return FViewWidth; }
  int viewHeight() const { return FViewHeight; }

  // A key went down on the sheet (inEditor: on its in-place editor). True
  // when the form or the grid used it; false leaves it to the editor.
  bool keyDown(std::uint16_t& key, TShiftState shift, bool inEditor = false);
  // A character typed on the sheet or its editor.
  TCharResult charTyped(wchar_t ch);
  // Starts editing the current cell on its own text; false when it cannot.
  bool startEdit();

  TGridCursor cursorAt(int x, int y) const;
  void mouseDown(TMouseButton button, TShiftState shift, int x, int y);
  // On a cell: edits the current cell. On the line right of a column's
  // header: fits that column to its widest text.
  void doubleClick(int x, int y);
  void mouseMove(TShiftState shift, int x, int y);
  void mouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // While a button is down the control keeps the mouse.
  bool mouseHeld() const { return FHeld; }
  bool resizing() const { return FSizingCol >= 0 || FSizingRow >= 0; }

  // Scrolling, kept within what fills the view.
  void scrollTo(std::int32_t leftCol, std::int32_t topRow);
  void scrollRows(std::int32_t delta) { scrollTo(FGrid.LeftCol(), FGrid.TopRow() + delta); }
  void scrollCols(std::int32_t delta) { scrollTo(FGrid.LeftCol() + delta, FGrid.TopRow()); }
  // A turn of the mouse wheel in the system's units, kWheelNotch to a notch
  // and positive away from the user: kWheelRowsPerNotch rows a notch. A fine
  // wheel or a touchpad sends parts of a notch; what does not make a whole
  // row yet is kept for the next turn.
  void mouseWheel(int delta);
  // Brings the current cell into view when it moved since the last call.
  void followCurrent();
  // Brings the scroll position back into range after the sheet or view changed.
  void keepInRange();

 private:
  bool moveKey(std::uint16_t key, TShiftState shift, bool inEditor);
  void moveCurrent(std::int32_t col, std::int32_t row, bool extend);

  TStringGrid& FGrid;
  TGridControlHooks FHooks;
  TTextMetrics* FMetrics;
  int FViewWidth = 0;
  int FViewHeight = 0;
  TGridCoord FLastCurrent{-1, -1};
  bool FHeld = false;
  bool FPressedData = false;
  TGridCoord FPressedFixed{-1, -1};
  int FWheelRest = 0;  // in rows times kWheelNotch
  std::int32_t FSizingCol = -1;
  std::int32_t FSizingRow = -1;
  int FSizingOrigin = 0;
  int FSizingStart = 0;
};
