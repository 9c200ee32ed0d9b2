// The text tools of the sheet's menu: the ten width conversions, replace and
// the input candidates.
#include <utility>

#include "app/morvane_form.h"
#include "sheet/block_commands.h"
#include "text/convert_block.h"
#include "text/replace_text.h"
#include "text/zen_han_util.h"

void TMorvaneForm::wireText() {
  for (TMenuItem* item : {&N8, &N9, &N11, &N12, &N13, &N14, &N16, &N17, &N18, &N19}) {
    item->OnClick = [this, item] { runCommand([this, item] { N8Click(*item); }); };
  }
  N21.OnClick = [this] { runCommand([this] { N21Click(); }); };
  N26.OnClick = [this] { runCommand([this] { N26Click(); }); };
  SpeedButton2.OnClick = [this] { runCommand([this] { SpeedButton2Click(); }); };
}

TTextServices& TMorvaneForm::textServices() { return FPorts.text != nullptr ? *FPorts.text : FPortableText; }

void TMorvaneForm::N8Click(const TMenuItem& Sender) {
  using namespace zenHanUtil;
  TTextServices& services = textServices();
  const std::pair<const TMenuItem*, std::function<void(std::wstring&)>> conversions[] = {
      {&N8, [&services](std::wstring& t) { zenToHan(t, services); }},
      {&N9, [&services](std::wstring& t) { hanToZen(t, services); }},
      {&N11, hanKanaToZen},
      {&N12, hanNumToZen},
      {&N13, hanAlphaToZen},
      {&N14, hanSymToZen},
      {&N16, zenKanaToHan},
      {&N17, zenNumToHan},
      {&N18, zenAlphaToHan},
      {&N19, zenSymToHan},
  };
  for (const auto& [item, convert] : conversions) {
    if (item != &Sender) {
      continue;
    }
    endEditFirst();
    const TUndoCells::TGroup group = FUndoCells->beginGroup();
    // The whole-text conversions call the platform's mapping per cell and let
    // no messages through; the table conversions do, every little while.
    if (item == &N8 || item == &N9) {
      convertBlock(StringGrid1, *FUndoCells, StringGrid1.Selection(), convert);
    } else {
      convertBlock(StringGrid1, *FUndoCells, StringGrid1.Selection(), convert, ports().desktop);
    }
    return;
  }
}

void TMorvaneForm::N21Click() {
  if (nTextTikanForm == nullptr) {
    return;
  }
  TnTextTikanForm& dialog = *nTextTikanForm;
  // The dialog takes the main window's place in the topmost band while it is
  // open; the band is given back however the command ends.
  struct TBandBack {
    TMorvaneForm& form;
    TnTextTikanForm& dialog;
    ~TBandBack() {
      dialog.setTopmost(false);
      form.Window.setTopmost(true);
    }
  } bandBack{*this, dialog};
  Window.setTopmost(false);
  dialog.setTopmost(true);
  const TGridRect block = StringGrid1.Selection();
  const std::wstring topLeft = StringGrid1.Cell(block.Left, block.Top);
  dialog.setTexts(topLeft, topLeft);
  if (!dialog.ShowModal()) {
    return;
  }
  endEditFirst();
  const TUndoCells::TGroup group = FUndoCells->beginGroup();
  replaceBlock(StringGrid1, *FUndoCells, StringGrid1.Selection(), dialog.findText(), dialog.replacementText(),
               dialog.ignoreCase());
}

void TMorvaneForm::N26Click() { makeInputList(); }

void TMorvaneForm::SpeedButton2Click() { makeInputList(); }

void TMorvaneForm::makeInputList() {
  if (InputListForm == nullptr) {
    return;
  }
  TInputListForm& popup = *InputListForm;
  std::vector<std::wstring> list = gatherCandidates(StringGrid1, StringGrid1.Col());
  if (list.empty()) {
    return;
  }
  sortCandidates(list, textServices());
  popup.load(list);

  TScreenPoint reference = inputListReference(StringGrid1, kSheetLeft, kSheetTop);
  if (OnSheetClientToScreen) {
    reference = OnSheetClientToScreen(reference);
  }
  popup.moveTo(inputListPosition(reference, popup.outerWidth(), popup.outerHeight(), ports().desktop.screenWidth()));

  // Out of the band and back in: shown, the popup lies above the main
  // window, which stays on top itself.
  TDesktop& desktop = ports().desktop;
  popup.setTopmost(false);
  desktop.processMessages();
  popup.setTopmost(true);
  desktop.processMessages();
  const std::optional<std::wstring> choice = popup.ShowModal();
  popup.setTopmost(false);
  desktop.processMessages();
  if (!choice || choice->empty()) {
    return;
  }
  endEditFirst();
  const TUndoCells::TGroup group = FUndoCells->beginGroup(1);
  fillBlock(StringGrid1, *FUndoCells, StringGrid1.Selection(), *choice);
}
