// "表示されない文字…": the texts Acquire read that no cell shows, listed with
// their reasons; the one chosen is located in the CAD.
#include "app/morvane_form.h"
#include "cad/connect_cad.h"
#include "writeback/locate.h"

void TMorvaneForm::wireHidden() {
  N27.OnClick = [this] { runCommand([this] { N27Click(); }); };
}

void TMorvaneForm::N27Click() {
  if (HiddenListForm == nullptr || FTable.hidden.empty()) {
    return;
  }
  HiddenListForm->load(hiddenListLines(FTable.hidden));
  const std::optional<std::size_t> chosen = HiddenListForm->ShowModal();
  if (!chosen || *chosen >= FTable.hidden.size()) {
    return;
  }
  const TMrvText& text = FTable.hidden.entries()[*chosen].text;
  StatusBar1.setPanel(0, L" Handle = " + text.sHandle);
  // The user asked for this one text: the view goes to it whatever
  // "矢印描画" says, which decides the arrowhead alone.
  try {
    if (const std::unique_ptr<TCadApplication> cad = connectCAD(FPorts.desktop, FPorts.cad)) {
      locateInCad(FPorts.desktop, *cad, FTable.drawing, TPoint3{text.base[0], text.base[1], 0.0}, kArrowPenWidth,
                  kArrowRatio, scaleFactor, CheckBox6.Checked());
    }
  } catch (...) {
    // As a click's Locate: quiet whatever fails.
  }
}
