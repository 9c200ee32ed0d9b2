// "Excelから取込": the cells of the range "Excelへ" writes, read back from
// the running Excel; and the option that makes that range text first.
#include "app/morvane_form.h"
#include "export/excel_import.h"

void TMorvaneForm::wireImport() {
  ExcelIn1.OnClick = [this] { runCommand([this] { ExcelIn1Click(); }); };
  ExcelText1.OnClick = [this] { ExcelText1Click(); };
}

void TMorvaneForm::ExcelIn1Click() {
  if (FPorts.excel == nullptr) {
    return;
  }
  // What is being typed is in the sheet before the cells are compared.
  endEditFirst();
  const TImportResult result = importFromExcel(StringGrid1, *FUndoCells, *FPorts.excel);
  if (const std::wstring line = importLogLine(result); !line.empty()) {
    Memo1.add(line);
  }
}

void TMorvaneForm::ExcelText1Click() { ExcelText1.setChecked(!ExcelText1.Checked()); }
