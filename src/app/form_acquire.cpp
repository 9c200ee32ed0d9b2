// Acquire: read the table the user selects in the CAD into the lists, the
// boundaries and the sheet. The reading steps live in table/acquire.cpp; this
// handler strings them together with the form's controls and the undo
// history.
#include "app/morvane_form.h"
#include "cad/connect_cad.h"
#include "table/acquire.h"
#include "table/bounds.h"
#include "sheet/sheet_fill.h"

namespace {

// Steps inside the protected block: the on-screen selection through `filter`,
// with the own window `ownWnd` out of the way, and the reading of what was
// selected, into lines and texts of the caller's. Returns whether anything
// was selected.
bool acquireSelect(TCommandProgress& progress, TDesktop& desktop, TWnd ownWnd, const TSelectionFilter& filter,
                   TCadSelectionSet& selection, TWnd cadWnd, TLineAry& lines, TTextAry& texts,
                   const TMTextCodec* mtext) {
  selection.Clear();
  desktop.minimizeWindow(ownWnd);
  desktop.sleep(100);
  desktop.setForegroundWindow(cadWnd);
  try {
    desktop.processMessages();
    selection.SelectOnScreen(filter.codes, filter.values);
    desktop.sleep(250);
  } catch (...) {
    // A cancelled selection, or any error of the CAD meanwhile, ends the
    // selection with whatever the set holds.
  }
  desktop.restoreWindow(ownWnd);
  bringToTop(desktop, ownWnd);
  progress.clearLog();
  const std::int32_t count = selection.Count();
  progress.log(selectLogLine(count));
  if (count < 1) {
    return false;
  }
  const std::uint32_t started = desktop.tickCount();
  progress.setRange(count);
  readSelection(
      selection, count,
      [&progress, &desktop, count](std::int32_t number) {
        progress.setStatus(progressText(number, count));
        progress.setPosition(number);
        desktop.processMessages();
      },
      lines, texts, mtext);
  progress.setPosition(0);
  progress.log(formatSeconds(desktop.tickCount() - started, desktop.decimalSeparator()));
  return true;
}

// The progress ends at rest; the hint that a column takes no new text (panel 1)
// and the first-row lock belong to the sheet that was refilled, not to the walk.
void acquireResetProgress(TCommandProgress& progress, TMorvaneForm& form) {
  progress.setPosition(0);
  progress.setStatus(L"");
  form.StatusBar1.setPanel(1, L"");
  form.CheckBox1.setEnabled(form.StringGrid1.RowCount() >= 3);
}

void acquireShowOwnWindow(TMorvaneForm& form) {
  form.ports().desktop.restoreWindow(form.Window.Handle);
  bringToTop(form.ports().desktop, form.Window.Handle);
}

}  // namespace

void TMorvaneForm::Button1Click() {
  TDesktop& desktop = FPorts.desktop;
  // The connection comes before the first change, so that pending edits are
  // asked about only when this Acquire can replace them, and "No" leaves
  // everything as it was.
  const std::unique_ptr<TCadApplication> cad = connectCadSaying();
  if (cad && !confirmDropPending()) {
    return;
  }
  CheckBox1.setChecked(false);
  if (!cad) {
    acquireShowOwnWindow(*this);
    return;
  }

  const TWnd cadWnd = cadWindowToWnd(cad->windowHandle());
  cadToFront(desktop, [cadWnd] { return cadWnd; });
  if (cad->DocumentsCount() < 1) {
    sayWhyEnded(cadTitle + L" に開いている図面がありません");
    acquireResetProgress(FProgress, *this);
    acquireShowOwnWindow(*this);
    return;
  }
  const std::unique_ptr<TCadDocument> document = cad->ActiveDocument();
  const std::wstring documentName = document->Name();
  Window.setCaption(titledCaption(cadTitle, documentName));
  // Read before the selection: the user may switch drawings meanwhile, and
  // the texts come from the one whose selection set this is.
  const TDrawingIdentity identity = readDrawingIdentity(*document, documentName);

  // "ssTemp" never outlives the command: it is emptied and deleted however
  // the reading ends. After a failure the first error is the one shown.
  const std::unique_ptr<TCadSelectionSet> selection = getSelectionSet(*document);
  TLineAry readLines;
  TTextAry readTexts;
  bool selected = false;
  // As the selection was made: the item may be clicked while the loop lets messages run.
  const bool mtext = MTEXT1.Checked();
  try {
    selected = acquireSelect(FProgress, desktop, Window.Handle,
                             buildSelectionFilter(CheckBox5.Checked(), Edit2.Text(), mtext), *selection, cadWnd,
                             readLines, readTexts, mtext ? &FMTextCodes : nullptr);
  } catch (...) {
    try {
      releaseSelectionSet(*selection);
    } catch (...) {
    }
    throw;
  }
  releaseSelectionSet(*selection);
  // What was read takes the place of the lists, and empties the undo
  // history, only once the set is gone: a failing release ends the command
  // with the sheet, its records and its history still agreeing.
  if (selected) {
    FTable.LineAry = std::move(readLines);
    FTable.TextAry = std::move(readTexts);
    FTable.drawing = identity;
    FTable.pending.reset();
    FUndoCells->Clear();
  } else if (FTable.drawing.known() && !(identity == FTable.drawing)) {
    // Nothing read: the sheet is filled again from the texts of the drawing
    // read before, and the caption names that one.
    Window.setCaption(titledCaption(cadTitle, FTable.drawing.documentName));
  }

  FProgress.log(recordsLogLine(FTable.LineAry.size(), FTable.TextAry.size()));
  const TTolerance tolerance = readTolerance(Edit1.Text(), desktop.decimalSeparator());
  collectBounds(FTable.LineAry, tolerance.value, FTable.bounds);
  sortBounds(tolerance.value, FTable.bounds);
  FProgress.log(boundsLogLine(FTable.bounds));
  if (tolerance.refused) {
    FProgress.log(toleranceLogLine(Edit1.Text()));
  }

  // An editor left open would write its old text over the refilled cell.
  StringGrid1.setEditorMode(false);
  // A fill that a bad handle ends leaves no list of a sheet it never finished.
  FTable.hidden = THiddenTexts();
  FTable.hidden = fillSheet(StringGrid1, FTable.TextAry, FTable.bounds, FPorts.metrics);
  FTable.pending.reset();  // new boundaries and tags
  if (!FTable.hidden.empty()) {
    FProgress.log(hiddenLogLine(FTable.hidden));
  }
  // A ruling without a single text is most often a table of MTEXT cells.
  if (selected && !mtext && !FTable.LineAry.empty() && FTable.TextAry.empty()) {
    FProgress.log(mtextHintLogLine());
  }
  FProgress.setPosition(0);
  FProgress.setStatus(L"");
  {
    const TStringGrid::TUpdateScope updating(StringGrid1);  // one repaint for all the rows, not one per row
    for (std::int32_t r = 0; r < StringGrid1.RowCount(); ++r) {
      StringGrid1.setRowHeight(r, StringGrid1.DefaultRowHeight());
    }
  }
  const bool filled = FTable.bounds.spansCells() && !FTable.TextAry.empty();
  Button2.setEnabled(filled);
  N6.setEnabled(filled);
  Button3.setEnabled(filled);
  CSV1.setEnabled(filled);
  ExcelIn1.setEnabled(filled);
  N27.setEnabled(!FTable.hidden.empty());
  UNDO1.setEnabled(false);
  acquireResetProgress(FProgress, *this);
  acquireShowOwnWindow(*this);
}

