#pragma once
// Update's walk over the sheet: each changed cell written back into the
// drawing, each emptied one erased, each new one made from its column's
// template, with TextAry and the cell tags following the drawing.
#include <cstdint>
#include <functional>
#include <string>

#include "cad/cad_ports.h"
#include "table/bounds.h"
#include "table/mrv_records.h"
#include "table/mtext_codec.h"
#include "sheet/string_grid.h"
#include "table/text_lookup.h"

struct TUpdateCounts {
  std::int32_t edits = 0;
  std::int32_t additions = 0;
  std::int32_t deletions = 0;
  // Cells left alone because their text (or their template) is no longer in
  // the drawing (erased there since Acquire), or its handle now yields an
  // object that is no text the program writes (an MTEXT where a TEXT was
  // read is no longer that text, nor the reverse).
  std::int32_t skipped = 0;
  // Cells left alone because their drawing text was changed in the CAD since
  // it was read: found so in this run, or marked so by an earlier one.
  std::int32_t drawingChanged = 0;
};

// Visits every data cell row by row, left to right, calling `beforeCell`
// first for each and `beforeWrite` before each change of the drawing. A
// failing CAD call ends the walk by raising; what was written stays in the
// drawing, and `texts`, the tags and `counts` say exactly what that is, so
// that the next walk writes the rest.
// Each cell's outcome is its plan (writeback/update_plan.h) as the walk finds
// it on reaching the cell: the rule the sheet's marks show. An MTEXT is
// written through `mtext`, its codes for the whole text kept; without them its
// cell is skipped.
void updateCells(TStringGrid& grid, TTextAry& texts, const TBounds& bounds, TCadDocument& document,
                 TUpdateCounts& counts, const std::function<void()>& beforeCell,
                 const std::function<void()>& beforeWrite = {}, const TMTextCodec* mtext = nullptr);
// The same over the table's index of its records, whose writes the marks follow.
void updateCells(TStringGrid& grid, TTextIndex& texts, const TBounds& bounds, TCadDocument& document,
                 TUpdateCounts& counts, const std::function<void()>& beforeCell,
                 const std::function<void()>& beforeWrite = {}, const TMTextCodec* mtext = nullptr);

// The writes of one run as one step of the CAD's own undo: the start mark
// before the first write, the end mark once the run is over, however it
// ended. A CAD that does not know the marks (an unknown member or a failing
// call) is not asked again in this connection, and the run goes on as before.
class TUndoGroup {
 public:
  explicit TUndoGroup(TCadDocument& document) : FDocument(document) {}
  TUndoGroup(const TUndoGroup&) = delete;
  TUndoGroup& operator=(const TUndoGroup&) = delete;
  ~TUndoGroup() { end(); }

  void beforeWrite();
  void end() noexcept;

 private:
  TCadDocument& FDocument;
  bool FStarted = false;
  bool FUnsupported = false;
};

// The log lines of a run.
std::wstring updateLogLine(const TUpdateCounts& counts);
std::wstring skippedLogLine(std::int32_t skipped);
std::wstring drawingChangedLogLine(std::int32_t cells);
// The run that found another drawing active than the one the table was read
// from, and the box that tells the user what to do.
std::wstring wrongDrawingLogLine(const std::wstring& acquired, const std::wstring& active);
std::wstring wrongDrawingMessage(const std::wstring& acquired);
std::wstring stoppedLogLine(const std::wstring& message);

// Whether the target ProgID names a CAD that needs "REGEN" sent as a command.
bool needsRegenCommand(const std::wstring& progId);
