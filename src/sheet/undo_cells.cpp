#include "sheet/undo_cells.h"

#include <algorithm>
#include <exception>
#include <map>

#include "platform/errors.h"
#include "sheet/string_grid.h"

// The list keeps every entry in the order it was added. Beside it, each sheet
// has its own entries in the same order: the last of them is the sheet's
// newest (levels run 0, 1, 2, ... in list order), so Add and Undo find it
// without scanning the list. With one sheet that newest entry is also the
// list's last, and both operations take constant time.
struct TUndoCells::TImpl {
  std::vector<std::unique_ptr<TUndoCell>> list;
  std::map<const TStringGrid*, std::vector<TUndoCell*>> bySheet;

  // Takes `cell` out of the list, searching from the end where the newest is.
  std::unique_ptr<TUndoCell> takeFromBack(const TUndoCell* cell) {
    for (std::size_t i = list.size(); i-- > 0;) {
      if (list[i].get() == cell) {
        std::unique_ptr<TUndoCell> taken = std::move(list[i]);
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        return taken;
      }
    }
    return nullptr;
  }

  // Takes `cell` out of the list, searching from the front where the oldest is.
  std::unique_ptr<TUndoCell> takeFromFront(const TUndoCell* cell) {
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (list[i].get() == cell) {
        std::unique_ptr<TUndoCell> taken = std::move(list[i]);
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        return taken;
      }
    }
    return nullptr;
  }

  // Drops the sheet's oldest entry and numbers the rest 0, 1, 2, ...;
  // returns how many remain.
  std::int32_t trim(std::vector<TUndoCell*>& entries) {
    if (!entries.empty()) {
      const std::unique_ptr<TUndoCell> oldest = takeFromFront(entries.front());
      entries.erase(entries.begin());
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
      entries[i]->FUndoLevel = static_cast<std::int32_t>(i);
    }
    return static_cast<std::int32_t>(entries.size());
  }
};

TUndoCells::TUndoCells() : FImpl(std::make_unique<TImpl>()) {}

TUndoCells::~TUndoCells() { Clear(); }

TUndoCell* TUndoCells::Add(TStringGrid& aGrid, std::int32_t ACol, std::int32_t ARow) {
  auto cell = std::make_unique<TUndoCell>();
  cell->FGrid = &aGrid;
  cell->FText = aGrid.Cell(ACol, ARow);
  cell->FX = ACol;
  cell->FY = ARow;
  std::vector<TUndoCell*>& entries = FImpl->bySheet[&aGrid];
  std::int32_t level = 0;
  if (!entries.empty()) {
    level = entries.back()->FUndoLevel + 1;
    if (FUndoLevels > 0 && level >= FUndoLevels) {
      level = FImpl->trim(entries);
    }
  }
  cell->FUndoLevel = level;
  TUndoCell* const added = cell.get();
  FImpl->list.push_back(std::move(cell));
  entries.push_back(added);
  ++FAdded;
  return added;
}

void TUndoCells::Clear() {
  FImpl->bySheet.clear();
  FImpl->list.clear();
}

void TUndoCells::Undo(TStringGrid& aGrid) {
  const auto sheet = FImpl->bySheet.find(&aGrid);
  if (sheet == FImpl->bySheet.end() || sheet->second.empty()) {
    return;
  }
  TUndoCell* const newest = sheet->second.back();
  sheet->second.pop_back();
  if (sheet->second.empty()) {
    FImpl->bySheet.erase(sheet);
  }
  // Out of the list before the current cell moves: the move runs the sheet's
  // handlers, which may record or undo again.
  const std::unique_ptr<TUndoCell> entry = FImpl->takeFromBack(newest);
  aGrid.setCell(entry->FX, entry->FY, entry->FText);
  // Only a paste past the sheet's edge records a cell outside it: its text is
  // restored nowhere, and the current cell stays rather than land elsewhere.
  if (!aGrid.inSheet(entry->FX, entry->FY)) {
    return;
  }
  if (entry->FX != aGrid.Col()) {
    aGrid.setCol(entry->FX);
  }
  if (entry->FY != aGrid.Row()) {
    aGrid.setRow(entry->FY);
  }
}

TUndoCell* TUndoCells::GetItem(std::int32_t X) const {
  if (X < 0 || static_cast<std::size_t>(X) >= FImpl->list.size()) {
    throw TMorvaneError(L"UNDO 履歴の位置 " + std::to_wstring(X) + L" は範囲外です");
  }
  return FImpl->list[static_cast<std::size_t>(X)].get();
}

std::int32_t TUndoCells::Count() const { return static_cast<std::int32_t>(FImpl->list.size()); }

TUndoCells::TGroup::TGroup(TUndoCells& history, std::int32_t atLeast)
    : FHistory(history), FStart(history.FAdded), FAtLeast(atLeast), FExceptions(std::uncaught_exceptions()) {}

TUndoCells::TGroup::~TGroup() {
  const std::int32_t count = recorded();
  if (std::uncaught_exceptions() > FExceptions) {
    if (count > 0) {
      FHistory.sgUndoCnt = count;
    }
    return;
  }
  FHistory.sgUndoCnt = std::max(count, FAtLeast);
}

std::int32_t TUndoCells::TGroup::recorded() const { return static_cast<std::int32_t>(FHistory.FAdded - FStart); }

void TUndoCells::undoTimes(TStringGrid& aGrid, std::int32_t times) {
  for (std::int32_t i = 0; i < times; ++i) {
    // An emptied history ends the group early: the rest would do nothing.
    if (Count() == 0) return;
    Undo(aGrid);
  }
}

void TUndoCells::undoGroup(TStringGrid& aGrid) {
  if (sgUndoCnt < 1) {
    sgUndoCnt = 0;
  }
  if (sgUndoCnt == 0) {
    Undo(aGrid);
    return;
  }
  undoTimes(aGrid, sgUndoCnt);
  sgUndoCnt = 0;
}

void TUndoCells::undoGroupAgain(TStringGrid& aGrid) { undoTimes(aGrid, sgUndoCnt); }
