#include "app/morvane_form.h"
#include "sheet/undo_commands.h"

void TMorvaneForm::SpeedButton1Click() { undoButton(*FUndoCells, StringGrid1, sgUndoCnt); }
