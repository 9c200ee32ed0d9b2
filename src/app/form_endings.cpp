// Why a command ended without doing anything: the CAD or Excel could not be
// reached. The reason goes to status panel 3 only; no box and no log line,
// so the log keeps to what the commands did.
#include "app/morvane_form.h"
#include "cad/connect_cad.h"

std::wstring cadReachText(TCadReach reach) { return cadReachText(reach, kCadWindowTitle); }

std::wstring cadReachText(TCadReach reach, const std::wstring& cadTitle) {
  switch (reach) {
    case TCadReach::NoWindow:
      return cadTitle + L" が見つかりません";
    case TCadReach::NoServer:
      return cadTitle + L" に接続できません";
    case TCadReach::Connected:
      break;
  }
  return {};
}

std::wstring exportEndText(TExportEnd end) {
  switch (end) {
    case TExportEnd::NoExcel:
      return L"Excel が見つかりません";
    case TExportEnd::NoWorkbook:
      return L"Excel でブックが開かれていません";
    case TExportEnd::Sent:
    case TExportEnd::NoData:
    case TExportEnd::Refused:
      break;
  }
  return {};
}

void TMorvaneForm::sayWhyEnded(const std::wstring& why) {
  if (StatusBar1.Panel(kEndingPanel) != why) {
    StatusBar1.setPanel(kEndingPanel, why);
  }
}

std::unique_ptr<TCadApplication> TMorvaneForm::connectCadSaying() {
  TCadReach reach = TCadReach::Connected;
  std::unique_ptr<TCadApplication> cad = connectCAD(FPorts.desktop, FPorts.cad, cadTitle, reach);
  sayWhyEnded(cadReachText(reach, cadTitle));
  return cad;
}
