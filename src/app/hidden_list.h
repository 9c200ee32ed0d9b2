#pragma once
// The list "表示されない文字": every text the sheet does not show, with its
// reason, in a small window; choosing one locates it in the CAD.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "text/input_list.h"

inline constexpr const wchar_t* kHiddenListCaption = L"表示されない文字";

// An entry is chosen with a double click or Enter; Escape, the close box, a
// right click and leaving the application close the list choosing nothing.
// A click or an arrow key only moves the selection: the list is read before
// one is chosen.
TInputListClose hiddenListClose(TInputListEvent event);

// The list window as the command sees it: created once hidden, shown modally
// by the command only.
class THiddenListForm {
 public:
  virtual ~THiddenListForm() = default;
  // Fills the list and selects its first entry.
  virtual void load(const std::vector<std::wstring>& lines) = 0;
  // Shows the list modally; the index of the entry chosen, none when it was
  // closed otherwise.
  virtual std::optional<std::size_t> ShowModal() = 0;
};
