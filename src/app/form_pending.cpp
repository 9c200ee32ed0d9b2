// Edits that Update has not written yet live only in the sheet: an Acquire
// refills it and a close ends it, and the CAD's undo cannot bring them back.
// Both ask first while anything is pending.
#include "app/morvane_form.h"

std::wstring dropPendingQuestion(std::int32_t count) {
  return L"未更新の変更が " + std::to_wstring(count) + L" 件あります。破棄しますか？";
}

bool TMorvaneForm::confirmDropPending() {
  // The text typed into an open editor is in its cell already, so it counts.
  const std::int32_t pending = FTable.pending.counts().total();
  if (pending == 0) {
    return true;
  }
  return FPorts.desktop.askYesNo(dropPendingQuestion(pending));
}
