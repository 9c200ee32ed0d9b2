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

// From the CAD brought forward to the regeneration; any failure raises, with `stage` saying how far it
// got. False when the active document is not the drawing the table was read
// from: then nothing is written.
bool updateInCad(TMorvaneForm& form, TCadApplication& cad, TUpdateStage& stage) {
  TDesktop& desktop = form.ports().desktop;
  const auto cadWindow = [&cad] { return cadWindowToWnd(cad.windowHandle()); };
  cadToFront(desktop, cadWindow);
  const std::unique_ptr<TCadDocument> document = cad.ActiveDocument();
  if (const TDrawingCheck check = checkDrawing(*document, form.FDrawing); !check.same) {
    form.Memo1.add(wrongDrawingLogLine(form.FDrawing.name, check.active));
    return false;
  }
  TStringGrid& grid = form.StringGrid1;
  form.ProgressBar1.setMax((grid.RowCount() - 1) * (grid.ColCount() - 1));
  form.ProgressBar1.setPosition(0);

  stage = TUpdateStage::Walking;
  TUpdateCounts counts;
  {
    TUndoGroup undoGroup(*document);
    updateCells(
        grid, form.FTextIndex, form.FBounds, *document, counts,
        [&form, &desktop] {
          form.ProgressBar1.setPosition(form.ProgressBar1.Position() + 1);
          desktop.processMessages();
        },
        [&undoGroup] { undoGroup.beforeWrite(); });
  }
  form.ProgressBar1.setPosition(0);
  form.Memo1.add(updateLogLine(counts));
  if (counts.skipped != 0) {
    form.Memo1.add(skippedLogLine(counts.skipped));
  }
  if (counts.drawingChanged != 0) {
    form.Memo1.add(drawingChangedLogLine(counts.drawingChanged));
  }
  stage = TUpdateStage::Finished;

  desktop.setForegroundWindow(cadWindow());
  document->Regen(0);
  if (needsRegenCommand(form.targetProgID)) {
    document->SendCommand(L"REGEN\r");
  }
  return true;
}

}  // namespace

void TMorvaneForm::Button2Click() {
  const TScopedValue<bool> running(FUpdateRunning, true);
  // The run's index is built afresh from the records, as they stand now.
  FTextIndex.rebuild();
  bool wrongDrawing = false;
  if (const std::unique_ptr<TCadApplication> cad = connectCadSaying()) {
    // Errors stay quiet, as with no CAD at all, unless the drawing may have
    // been partly written: then the log says the run stopped, and why.
    TUpdateStage stage = TUpdateStage::Preparing;
    try {
      wrongDrawing = !updateInCad(*this, *cad, stage);
    } catch (...) {
      if (stage == TUpdateStage::Walking) {
        Memo1.add(stoppedLogLine(caughtErrorMessage()));
      }
    }
  }
  ProgressBar1.setPosition(0);
  // Tags and records changed without a cell text: the marks are painted anew.
  StringGrid1.invalidate();
  bringToTop(FPorts.desktop, Window.Handle);
  if (wrongDrawing) {
    // Over the own window, now in front: the sheet's edits are all still pending.
    FPorts.desktop.showMessage(wrongDrawingMessage(FDrawing.name));
  }
}

void TMorvaneForm::N6Click() { Button2Click(); }
