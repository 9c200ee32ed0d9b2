#pragma once
// The undo history of cell texts. Entries of all sheets are kept in one list,
// oldest first; each sheet's entries are numbered 0, 1, 2, ... in list order.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStringGrid;

class TUndoCell {
 public:
  TStringGrid* FGrid = nullptr;  // not owned
  std::wstring FText;            // the cell's text before the change
  std::int32_t FX = 0;
  std::int32_t FY = 0;
  std::int32_t FUndoLevel = 0;
};

class TUndoCells {
 public:
  TUndoCells();
  ~TUndoCells();
  TUndoCells(const TUndoCells&) = delete;
  TUndoCells& operator=(const TUndoCells&) = delete;

  // Records the cell's current text; call just before the cell changes.
  TUndoCell* Add(TStringGrid& aGrid, std::int32_t ACol, std::int32_t ARow);
  void Clear();
  // Reverts the newest entry of the sheet, if any, and makes its cell current.
  void Undo(TStringGrid& aGrid);
  TUndoCell* GetItem(std::int32_t X) const;
  std::int32_t Count() const;
  std::int32_t UndoLevels() const { return FUndoLevels; }
  void setUndoLevels(std::int32_t levels) { FUndoLevels = levels; }

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
  std::int32_t FUndoLevels = 0;
};
