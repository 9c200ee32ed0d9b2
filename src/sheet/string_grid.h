#pragma once
// The sheet: a model of a string grid. Cells hold a text and a 32-bit tag.
// Row 0 and column 0 are the numbered headers once a fill has run. The Win32
// grid control paints this model and feeds the user's input into it; the
// keys and the mouse themselves reach the control's owner through the
// control's hooks (grid_control_hooks.h), not through the model.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TGridCoord {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  bool operator==(const TGridCoord&) const = default;
};

// A block of cells, corners included; Left <= Right and Top <= Bottom.
struct TGridRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  bool operator==(const TGridRect&) const = default;
};

struct TCellRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const TCellRect&) const = default;
};

class TStringGrid {
 public:
  TStringGrid();
  TStringGrid(const TStringGrid&) = delete;
  TStringGrid& operator=(const TStringGrid&) = delete;

  // Dimensions. Rows and columns that remain keep their texts, tags, heights
  // and widths; new ones are empty with the default height or width.
  std::int32_t RowCount() const { return FRowCount; }
  std::int32_t ColCount() const { return FColCount; }
  void setRowCount(std::int32_t rows);
  void setColCount(std::int32_t cols);
  std::int32_t FixedRows() const { return FFixedRows; }
  std::int32_t FixedCols() const { return FFixedCols; }
  void setFixedRows(std::int32_t rows);
  void setFixedCols(std::int32_t cols);

  int DefaultColWidth() const { return FDefaultColWidth; }
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  int ColWidth(std::int32_t col) const;
  int RowHeight(std::int32_t row) const;
  void setColWidth(std::int32_t col, int width);
  void setRowHeight(std::int32_t row, int height);

  // Cells. Reading outside the sheet gives an empty text and tag 0; writing
  // outside the sheet is dropped (the cell does not exist).
  bool inSheet(std::int32_t col, std::int32_t row) const;
  const std::wstring& Cell(std::int32_t col, std::int32_t row) const;
  void setCell(std::int32_t col, std::int32_t row, const std::wstring& text);
  std::int32_t Tag(std::int32_t col, std::int32_t row) const;
  // The one way a tag is written (the fill, Update): it keeps the count of
  // tagged cells per column in step.
  void setTag(std::int32_t col, std::int32_t row, std::int32_t tag);
  // How many cells of the column below row 0 hold a non-zero tag; kept as
  // tags are written, so that painting asks it per cell at no cost.
  std::int32_t taggedCells(std::int32_t col) const;
  // A number that changes whenever a text or tag of the column is written or
  // the sheet is resized, and never comes back: what was worked out from a
  // column stays good while its revision stays the same.
  std::uint64_t columnRevision(std::int32_t col) const;

  // The current cell and the selection. setCol/setRow are moves of the
  // current cell: OnSelectCell runs first (it may refuse), then OnClick, and
  // the selection collapses to the new cell. setSelection sets the block
  // directly, anchor and current cell included, without either event.
  // The program's moves (setCol, setRow, moveTo, setSelection) may make a
  // cell of a fixed row current, down to firstCurrentRow(): row 1 while it
  // is a second header row, as Enter's wrap and undo need. The user's own
  // moves (TGridInput) and a press on a cell keep out of the fixed rows.
  // A setSelection or a change of the fixed rows or columns that moves the
  // current cell ends an edit.
  std::int32_t Col() const { return FCurrent.X; }
  std::int32_t Row() const { return FCurrent.Y; }
  // The topmost row the current cell may stand on: never the numbered
  // header row 0, but row 1 also while it is fixed.
  std::int32_t firstCurrentRow() const { return std::min(FFixedRows, std::int32_t{1}); }
  void setCol(std::int32_t col);
  void setRow(std::int32_t row);
  // Moves to (col, row) in one step with the events of a move.
  void moveTo(std::int32_t col, std::int32_t row);
  TGridRect Selection() const;
  TGridCoord Anchor() const { return FAnchor; }
  void setSelection(TGridCoord anchor, TGridCoord current);

  // A press of the mouse on a data cell: OnSelectCell runs (it may refuse) and
  // the cell becomes current and the whole selection, but the click waits for
  // the release (Click). Returns whether the cell was taken.
  bool pressCell(std::int32_t col, std::int32_t row);
  // A move of the current cell that keeps the anchor, widening the selection
  // (Shift with an arrow key or a click): OnSelectCell, then OnClick.
  void extendTo(std::int32_t col, std::int32_t row);
  // The click that ends a press on a data cell.
  void Click() { if (OnClick) OnClick(); }

  // The scroll position: the first scrolling row and column in view. Kept
  // between FixedRows and RowCount - 1 (FixedCols and ColCount - 1).
  std::int32_t TopRow() const { return FTopRow; }
  std::int32_t LeftCol() const { return FLeftCol; }
  void setTopRow(std::int32_t row);
  void setLeftCol(std::int32_t col);

  // In-place editing: while EditorMode is on the cell (Col, Row) is edited.
  // The editor follows a move of the current cell, and takes up (records
  // through OnGetEditText) the text of each cell it comes to. OnCanEdit, when
  // set, may refuse to open the editor.
  bool EditorMode() const { return FEditorMode; }
  void setEditorMode(bool on);

  // Repaint suspension around bulk changes, for a scope: changes made
  // meanwhile are announced once, when the outermost scope ends, however it ends.
  class TUpdateScope {
   public:
    explicit TUpdateScope(TStringGrid& grid) : FGrid(grid) { FGrid.beginUpdate(); }
    ~TUpdateScope() { FGrid.endUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

   private:
    TStringGrid& FGrid;
  };
  bool updating() const { return FUpdateDepth > 0; }
  // Tells the control that the model changed and wants painting.
  void invalidate();

  // The model's events: moves of the current cell, the editor taking up a
  // cell, and changes.
  std::function<void(std::int32_t col, std::int32_t row, bool& canSelect)> OnSelectCell;
  std::function<void()> OnClick;
  std::function<void(std::int32_t col, std::int32_t row)> OnGetEditText;
  std::function<bool()> OnCanEdit;
  // A change of the model; the Win32 control repaints on it.
  std::function<void()> OnChange;

 private:
  struct TCell {
    std::wstring text;
    std::int32_t tag = 0;
  };
  std::size_t index(std::int32_t col, std::int32_t row) const;
  void resize(std::int32_t cols, std::int32_t rows);
  bool selectCell(std::int32_t col, std::int32_t row);
  void clampScroll();
  void changed();
  void countTags();
  void beginUpdate();
  void endUpdate();

  std::int32_t FRowCount = 5;
  std::int32_t FColCount = 5;
  std::int32_t FFixedRows = 1;
  std::int32_t FFixedCols = 1;
  int FDefaultColWidth = 40;
  int FDefaultRowHeight = 20;
  std::vector<TCell> FCells;  // row-major, FColCount per row
  std::vector<int> FColWidths;
  std::vector<int> FRowHeights;
  std::vector<std::int32_t> FTaggedCells;  // per column, rows 1 .. RowCount - 1
  std::vector<std::uint64_t> FColumnRevisions;
  std::uint64_t FLastRevision = 0;
  TGridCoord FCurrent{1, 1};
  TGridCoord FAnchor{1, 1};
  std::int32_t FTopRow = 1;
  std::int32_t FLeftCol = 1;
  bool FEditorMode = false;
  int FUpdateDepth = 0;
  bool FChangedWhileUpdating = false;
};
