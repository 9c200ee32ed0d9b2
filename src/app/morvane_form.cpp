#include "app/morvane_form.h"

TMorvaneForm::TMorvaneForm(TMorvanePorts ports)
    : Window(std::wstring(kAppTitle) + L" [ nanoCAD 5 ]"), FPorts(ports) {
  FUndoCells = std::make_unique<TUndoCells>();
  CheckBox5.setChecked(true);
  CheckBox6.setChecked(true);
  Edit1.setText(L"0.1");
  Edit2.setText(L"HOJO*,JOGAI*");
  wireControls();
}

TMorvaneForm::~TMorvaneForm() = default;

std::vector<TMenuItem*> TMorvaneForm::popupMenuItems() {
  return {&N26, &N25, &CAD1, &N22, &N6, &N5, &N1, &N2, &N3, &N4, &UNDO1, &N7, &N21, &N20,
          &N8, &N9, &N10, &N11, &N12, &N13, &N14, &N15, &N16, &N17, &N18, &N19, &N23, &N24};
}

void TMorvaneForm::wireControls() {
  Button1.OnClick = [this] { runCommand([this] { Button1Click(); }); };
  wireSheet();
  SpeedButton1.OnClick = [this] { runCommand([this] { SpeedButton1Click(); }); };
  wireShell();
}

void TMorvaneForm::runCommand(const std::function<void()>& command) {
  if (FCommandDepth > 0) {
    return;
  }
  ++FCommandDepth;
  try {
    command();
  } catch (const TMorvaneError& e) {
    FPorts.desktop.showError(e.message());
  } catch (const std::exception& e) {
    FPorts.desktop.showError(fromUtf8(e.what()));
  } catch (...) {
    // Whatever it was, the guard must come down, or no command would run again.
    FPorts.desktop.showError(L"予期しないエラーが発生しました。");
  }
  --FCommandDepth;
  if (FCommandDepth == 0) {
    commandsDone();
  }
}
