// Update: the sheet's edits written back into the drawing. The walk over the
// cells lives in writeback/update.cpp; this handler brings the CAD forward,
// runs the walk with the progress bar, logs the outcome and regenerates.
#include "app/morvane_form.h"
#include "cad/connect_cad.h"
#include "platform/scoped_value.h"
#include "table/acquire.h"
#include "writeback/update.h"

namespace {

// How far a run got when a call failed: before the walk nothing was written;
// during it the drawing may be partly written; once the counts line is in the
// log the run is finished, and what fails after it (the regeneration) stops
// nothing.
enum class TUpdateStage { Preparing, Walking, Finished };

// The run once the CAD is found: the CAD brought forward, the drawing
// checked, the walk over the cells with the progress bar, the log lines, and
// the regeneration. Any failure raises, with `stage` saying how far it got.
// False when the active document is not the drawing the table was read from:
// then nothing is written.
bool updateInCad(TTableState& table, TStringGrid& grid, TCommandProgress& progress, TDesktop& desktop,
                 TCadApplication& cad, const std::wstring& progId, const TMTextCodec& mtext, TUpdateStage& stage) {
  const auto cadWindow = [&cad] { return cadWindowToWnd(cad.windowHandle()); };
  cadToFront(desktop, cadWindow);
  const std::unique_ptr<TCadDocument> document = cad.ActiveDocument();
  if (const TDrawingCheck check = checkDrawing(*document, table.drawing); !check.same) {
    progress.log(wrongDrawingLogLine(table.drawing.name, check.active));
    return false;
  }
  progress.setRange((grid.RowCount() - 1) * (grid.ColCount() - 1));
  progress.setPosition(0);

  stage = TUpdateStage::Walking;
  TUpdateCounts counts;
  {
    TUndoGroup undoGroup(*document);
    updateCells(
        grid, table.index, table.bounds, *document, counts,
        [&progress, &desktop] {
          progress.setPosition(progress.position() + 1);
          desktop.processMessages();
        },
        [&undoGroup] { undoGroup.beforeWrite(); }, &mtext);
  }
  progress.setPosition(0);
  progress.log(updateLogLine(counts));
  if (counts.skipped != 0) {
    progress.log(skippedLogLine(counts.skipped));
  }
  if (counts.drawingChanged != 0) {
    progress.log(drawingChangedLogLine(counts.drawingChanged));
  }
  stage = TUpdateStage::Finished;

  desktop.setForegroundWindow(cadWindow());
  document->Regen(0);
  if (needsRegenCommand(progId)) {
    document->SendCommand(L"REGEN\r");
  }
  return true;
}

}  // namespace

void TMorvaneForm::Button2Click() {
  const TScopedValue<bool> running(FUpdateRunning, true);
  // The run's index is built afresh from the records, as they stand now.
  FTable.index.rebuild();
  bool wrongDrawing = false;
  if (const std::unique_ptr<TCadApplication> cad = connectCadSaying()) {
    // Errors stay quiet, as with no CAD at all, unless the drawing may have
    // been partly written: then the log says the run stopped, and why.
    TUpdateStage stage = TUpdateStage::Preparing;
    try {
      wrongDrawing = !updateInCad(FTable, StringGrid1, FProgress, FPorts.desktop, *cad, targetProgID, FMTextCodes,
                                   stage);
    } catch (...) {
      if (stage == TUpdateStage::Walking) {
        FProgress.log(stoppedLogLine(caughtErrorMessage()));
      }
    }
  }
  FProgress.setPosition(0);
  // Tags and records changed without a cell text: the marks are painted anew.
  StringGrid1.invalidate();
  bringToTop(FPorts.desktop, Window.Handle);
  if (wrongDrawing) {
    // Over the own window, now in front: the sheet's edits are all still pending.
    FPorts.desktop.showMessage(wrongDrawingMessage(FTable.drawing.name));
  }
}

void TMorvaneForm::N6Click() { Button2Click(); }
