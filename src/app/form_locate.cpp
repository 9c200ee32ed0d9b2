// Locate: the click on the sheet shows the current cell's handle and, with
// "矢印描画" checked, the cell's place in the CAD view.
#include "app/morvane_form.h"
#include "cad/connect_cad.h"
#include "platform/scoped_value.h"
#include "table/acquire.h"
#include "writeback/locate.h"
#include "table/text_lookup.h"

void TMorvaneForm::StringGrid1Click() {
  if (FLocateHeld) {
    // A grouped undo moves through every cell it restores: the CAD is shown
    // only the cell it ends on, once.
    FLocateMissed = true;
    return;
  }
  std::wstring handle = L"0";
  {
    // A close delivered during the CAD's calls and waits would destroy the
    // sheet under this handler: it waits for the end, as during a command.
    // Keys and clicks still run meanwhile, as they did.
    const TScopedValue<int> holding(FCloseHolds, FCloseHolds + 1);
    try {
      const std::int32_t tag = StringGrid1.Tag(StringGrid1.Col(), StringGrid1.Row());
      handle = handleString(tag);
      if (CheckBox6.Checked() && !FUpdateRunning) {
        const std::optional<TPoint3> target =
            locateTarget(FTable.TextAry, FTable.bounds, StringGrid1.Col(), StringGrid1.Row(), tag);
        if (target) {
          if (const std::unique_ptr<TCadApplication> cad = connectCadSaying()) {
            locateInCad(FPorts.desktop, *cad, FTable.drawing, *target, kArrowPenWidth, kArrowRatio, scaleFactor);
          }
        }
      }
    } catch (...) {
      // Locate fails silently; the handle is shown all the same.
    }
    FProgress.setStatus(handle.empty() || handle == L"0" ? std::wstring() : L" Handle = " + handle);
  }
  if (!closeHeld()) {
    commandsDone();
  }
}

void TMorvaneForm::locateOnceAfter(const std::function<void()>& moves) {
  FLocateMissed = false;
  {
    const TScopedValue<bool> held(FLocateHeld, true);
    moves();
  }
  if (FLocateMissed) {
    FLocateMissed = false;
    StringGrid1Click();
  }
}
