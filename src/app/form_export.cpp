#include "app/morvane_form.h"
#include "export/excel_export.h"

void TMorvaneForm::wireExport() {
  Button3.OnClick = [this] { runCommand([this] { Button3Click(); }); };
}

void TMorvaneForm::Button3Click() {
  if (FPorts.excel != nullptr) {
    sayWhyEnded(exportEndText(exportToExcel(StringGrid1, *FPorts.excel, ExcelText1.Checked())));
  }
}
