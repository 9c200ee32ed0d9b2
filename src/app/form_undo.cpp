#include "app/morvane_form.h"

void TMorvaneForm::SpeedButton1Click() {
  endEditFirst();
  locateOnceAfter([this] { FUndoCells->undoGroupAgain(StringGrid1); });
}
