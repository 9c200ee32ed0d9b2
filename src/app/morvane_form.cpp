#include "app/morvane_form.h"

#include "platform/scoped_value.h"
#include "table/acquire.h"

std::wstring formCaption() { return titledCaption(kCadWindowTitle, L""); }

std::wstring formCaption(const std::wstring& drawingName) { return titledCaption(kCadWindowTitle, drawingName); }

std::wstring titledCaption(const std::wstring& cadTitle, const std::wstring& drawingName) {
  std::wstring caption = std::wstring(kAppTitle) + L" [ " + cadTitle + L" ]";
  return drawingName.empty() ? caption : caption + L" " + drawingName;
}

TMorvaneForm::TMorvaneForm(TMorvanePorts ports)
    : Window(formCaption()), FPorts(ports) {
  FUndoCells = std::make_unique<TUndoCells>();
  CheckBox5.setChecked(true);
  CheckBox6.setChecked(true);
  Edit1.setText(kDefaultToleranceText);
  Edit2.setText(L"HOJO*,JOGAI*");
  wireControls();
}

TMorvaneForm::~TMorvaneForm() = default;

std::vector<TMenuItem*> TMorvaneForm::popupMenuItems() {
  return {&N26, &N25, &CAD1, &N22, &N6, &N5, &N1, &N2, &N3, &N4, &UNDO1, &N7, &N21, &N20,
          &N8, &N9, &N10, &N11, &N12, &N13, &N14, &N15, &N16, &N17, &N18, &N19, &N23, &CSV1, &ExcelIn1, &ExcelText1, &N29, &N27, &N28, &N24, &N30, &MTEXT1};
}

void TMorvaneForm::wireControls() {
  Button1.OnClick = [this] { runCommand([this] { Button1Click(); }); };
  Button2.OnClick = [this] { runCommand([this] { Button2Click(); }); };
  N6.OnClick = [this] { runCommand([this] { N6Click(); }); };
  wireSheet();
  StringGrid1.OnClick = [this] { StringGrid1Click(); };
  wireEdit();
  wireText();
  SpeedButton1.OnClick = [this] { runCommand([this] { SpeedButton1Click(); }); };
  wireExport();
  wireCsv();
  wireImport();
  wireHidden();
  wireShell();
}

void TMorvaneForm::runCommand(const std::function<void()>& command) {
  if (FCommandDepth > 0) {
    return;
  }
  {
    // Comes down however the command ends, or no command would run again.
    const TScopedValue<int> running(FCommandDepth, FCommandDepth + 1);
    try {
      command();
    } catch (...) {
      FPorts.desktop.showError(caughtErrorMessage());
    }
  }
  if (!closeHeld()) {
    commandsDone();
  }
}
