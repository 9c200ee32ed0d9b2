// The stand-in CAD's undo: groups of writes, each undone in one step, as the
// CAD's UNDO reverts what lies between a start and an end mark. A group keeps
// the drawing as it was before the group began; a write outside any group is
// a group of its own. Portable (standard library only).
#pragma once

#include <cstddef>
#include <vector>

#include "drawing.h"

namespace standin {

class UndoHistory {
 public:
  // Marks nest: an inner pair joins the outer group.
  void startMark(const Drawing& now);
  void endMark();
  // Called before every change of the drawing.
  void beforeWrite(const Drawing& now);
  // Puts the drawing back as it was before the last group (ending a group
  // still open); false when there is nothing to undo.
  bool undo(Drawing& drawing);
  std::size_t groups() const { return FBefore.size(); }
  bool inGroup() const { return FDepth > 0; }

 private:
  void push(const Drawing& now);

  static constexpr std::size_t kMostGroups = 50;  // the oldest are forgotten beyond this
  std::vector<Drawing> FBefore;
  int FDepth = 0;
};

}  // namespace standin
