#pragma once
// What a failing automation call tells its caller, for the tests of the
// clients, against fakes and against the stand-ins alike.
#include <functional>
#include <string>

#include "platform/errors.h"

// The message of the TAutomationError that `f` raises; "<no error>" when it raises none.
inline std::wstring messageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const TAutomationError& e) {
    return e.message();
  }
  return L"<no error>";
}
