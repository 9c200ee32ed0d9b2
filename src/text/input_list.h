#pragma once
// Input candidates: the distinct texts of a column, in the order the pick
// list shows them, where the list pops up, and how it closes.
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "sheet/string_grid.h"
#include "text/text_services.h"

// The texts of the column from the first data row down, each once (exact
// comparison), leaving out those that are empty once the characters up to
// U+0020 are trimmed from both ends; kept untrimmed.
std::vector<std::wstring> gatherCandidates(const TStringGrid& grid, std::int32_t col);

// Sorted ascending by the locale's comparison that ignores case; texts that
// compare equal keep the order in which they were gathered.
void sortCandidates(std::vector<std::wstring>& list, TTextServices& services);

// The point the popup is placed by, in the sheet's client coordinates: the
// sheet's own place in the main window plus the widths of the columns and
// the heights of the rows in view before the current cell.
TScreenPoint inputListReference(const TStringGrid& grid, int sheetLeft, int sheetTop);

// The popup's top-left corner for a reference point on the screen: 40 to the
// right, its outer height and 20 more above; moved left to end at the
// screen's right edge and down to the top edge when it would pass them.
TScreenPoint inputListPosition(TScreenPoint reference, int outerWidth, int outerHeight, int screenWidth);

// What the user does in the shown popup.
enum class TInputListEvent {
  SelectionChanged,  // a click on an entry, an arrow key, type-to-search
  DoubleClick,
  Enter,
  Escape,
  OtherKey,
  RightButtonDown,
  AppActivation,     // the application activated or deactivated
};

enum class TInputListClose { Stay, Ok, Cancel };

TInputListClose inputListClose(TInputListEvent event);

// The popup "入力候補" as the command sees it: created once, shown modally
// by the command only; its size stays as the user leaves it.
class TInputListForm {
 public:
  virtual ~TInputListForm() = default;
  // Fills ListBox1 and selects its first entry.
  virtual void load(const std::vector<std::wstring>& list) = 0;
  virtual int outerWidth() = 0;
  virtual int outerHeight() = 0;
  virtual void moveTo(TScreenPoint topLeft) = 0;
  virtual void setTopmost(bool on) = 0;
  // Shows the popup modally; the selected entry's text when it closed with
  // OK and an entry was selected.
  virtual std::optional<std::wstring> ShowModal() = 0;
};
