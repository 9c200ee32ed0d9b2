#pragma once
// A flag or counter raised for a scope and brought back down however the
// scope is left, an exception included: a command's depth, a "syncing" flag
// that keeps a notification from feeding itself.
#include <utility>

template <class T>
class TScopedValue {
 public:
  // Sets `target` to `value` now and back to what it held when the scope ends.
  TScopedValue(T& target, T value) : FTarget(target), FSaved(std::exchange(target, std::move(value))) {}
  TScopedValue(const TScopedValue&) = delete;
  TScopedValue& operator=(const TScopedValue&) = delete;
  ~TScopedValue() { FTarget = std::move(FSaved); }

 private:
  T& FTarget;
  T FSaved;
};
