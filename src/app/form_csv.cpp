// "CSVで保存...": the cells the Excel export sends, saved as a CSV file.
#include "app/morvane_form.h"
#include "export/csv_file.h"
#include "export/transfer_array.h"

void TMorvaneForm::wireCsv() {
  CSV1.OnClick = [this] { runCommand([this] { CSV1Click(); }); };
}

void TMorvaneForm::CSV1Click() {
  if (FPorts.files == nullptr) {
    return;
  }
  // An open edit is closed first, as before any command that reads the
  // cells; what was typed is in the sheet already.
  endEditFirst();
  const std::optional<std::wstring> path = FPorts.files->chooseSavePath(csvDefaultName(FTable.drawing.documentName));
  if (!path) {
    return;
  }
  const std::wstring reason = FPorts.files->replaceFile(*path, csvFileBytes(transferArray(StringGrid1)));
  if (!reason.empty()) {
    FPorts.desktop.showError(*path + L" に書き込めません\n" + reason);
  }
}
