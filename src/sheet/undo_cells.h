#pragma once
// The undo history of cell texts. Entries of all sheets are kept in one list,
// oldest first; each sheet's entries are numbered 0, 1, 2, ... in list order.
// Beside the list it keeps the group count: how many entries one UNDO takes
// back after a command that changed many cells.
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

  // A command that changes many cells holds a group open while it records:
  // when the scope ends the group count becomes the number of entries
  // recorded meanwhile, or `atLeast` when that is more (the key commands and
  // the paste leave 1 to undo even when they wrote nothing). A command that
  // fails before recording anything leaves the count as it was; one that
  // fails part-way leaves it at what it recorded, so one UNDO takes that back.
  class TGroup {
   public:
    ~TGroup();
    TGroup(const TGroup&) = delete;
    TGroup& operator=(const TGroup&) = delete;
    std::int32_t recorded() const;

   private:
    friend class TUndoCells;
    TGroup(TUndoCells& history, std::int32_t atLeast);

    TUndoCells& FHistory;
    const std::uint64_t FStart;
    const std::int32_t FAtLeast;
    const int FExceptions;
  };
  [[nodiscard]] TGroup beginGroup(std::int32_t atLeast = 0) { return TGroup(*this, atLeast); }

  std::int32_t groupCount() const { return sgUndoCnt; }
  // A command that records nothing and leaves no group to undo (the copy)
  // sets the count itself.
  void setGroupCount(std::int32_t count) { sgUndoCnt = count; }

  // Ctrl+Z: after a many-cell command (a count of 1 or more) reverts that
  // many entries of the sheet and uses the count up; otherwise one entry.
  void undoGroup(TStringGrid& aGrid);
  // The UNDO button: reverts as many entries as the count and keeps it, so
  // each press goes a group further back; nothing while the count is 0 or less.
  void undoGroupAgain(TStringGrid& aGrid);

 private:
  void undoTimes(TStringGrid& aGrid, std::int32_t times);

  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
  std::int32_t FUndoLevels = 0;
  std::int32_t sgUndoCnt = 0;
  // Every Add ever made: a group counts its own entries as the difference,
  // whatever the trimming to UndoLevels dropped meanwhile.
  std::uint64_t FAdded = 0;
};
