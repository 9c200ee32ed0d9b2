// Locate: the click on the sheet shows the current cell's handle and, with
// "矢印描画" checked, the cell's place in the CAD view.
#include "app/morvane_form.h"
#include "cad/connect_cad.h"
#include "platform/scoped_value.h"
#include "table/acquire.h"
#include "writeback/locate.h"
#include "writeback/text_lookup.h"

void TMorvaneForm::StringGrid1Click() {
  if (FLocateHeld) {
    // A grouped undo moves through every cell it restores: the CAD is shown
    // only the cell it ends on, once.
    FLocateMissed = true;
    return;
  }
  std::wstring handle = L"0";
  {
    // Counts as a command while the CAD is asked: a close or a command
    // delivered during its calls and waits would pull the sheet away from
    // under this handler. It still runs inside a command, after an undo.
    const TScopedValue<int> running(FCommandDepth, FCommandDepth + 1);
    try {
      const std::int32_t tag = StringGrid1.Tag(StringGrid1.Col(), StringGrid1.Row());
      handle = handleString(tag);
      if (CheckBox6.Checked() && !FUpdateRunning) {
        const std::optional<TPoint3> target =
            locateTarget(TextAry, TateAry, YokoAry, StringGrid1.Col(), StringGrid1.Row(), tag);
        if (target) {
          if (const std::unique_ptr<TCadApplication> cad = connectCAD(FPorts.desktop, FPorts.cad)) {
            locateInCad(FPorts.desktop, *cad, FDrawing, *target, kArrowPenWidth, kArrowRatio, scaleFactor);
          }
        }
      }
    } catch (...) {
      // Locate fails silently; the handle is shown all the same.
    }
    StatusBar1.setPanel(0, handle.empty() || handle == L"0" ? std::wstring() : L" Handle = " + handle);
  }
  if (FCommandDepth == 0) {
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
