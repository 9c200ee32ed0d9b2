#include "undo_history.h"

namespace standin {

void UndoHistory::push(const Drawing& now) {
  if (FBefore.size() == kMostGroups) {
    FBefore.erase(FBefore.begin());
  }
  FBefore.push_back(now);
}

void UndoHistory::startMark(const Drawing& now) {
  if (FDepth++ == 0) {
    push(now);
  }
}

void UndoHistory::endMark() {
  if (FDepth > 0) {
    --FDepth;
  }
}

void UndoHistory::beforeWrite(const Drawing& now) {
  if (FDepth == 0) {
    push(now);
  }
}

bool UndoHistory::undo(Drawing& drawing) {
  FDepth = 0;
  if (FBefore.empty()) {
    return false;
  }
  drawing = std::move(FBefore.back());
  FBefore.pop_back();
  return true;
}

}  // namespace standin
