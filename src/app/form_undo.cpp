#include "app/morvane_form.h"

void TMorvaneForm::SpeedButton1Click() {
  // The undo moves the current cell; an open editor would follow it and
  // record each cell it comes to.
  endEditBeforeUndo();
  locateOnceAfter([this] { FUndoCells->undoGroupAgain(StringGrid1); });
}
