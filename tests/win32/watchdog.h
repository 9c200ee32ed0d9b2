#pragma once
// Bounds on what a Win32 test waits for in another process: a stand-in's
// start, a COM activation, and each case as a whole. A wait that runs past
// its bound is reported on stdout as
//   [watchdog] <case>: <step> ran past <n> s
// Under the test guard (MORVANE_WINE_GUARD set) the guard then prints the
// Wine backtraces of this process and of the stand-ins it started, and ends
// them; run alone, the process ends itself at once, failed, since the
// blocked call can never be unwound.
#include <string>

namespace test_watchdog {

// Marks a step for as long as it lives; steps nest, the earliest deadline counts.
class TBoundedStep {
 public:
  TBoundedStep(std::string what, unsigned boundMs);
  TBoundedStep(const TBoundedStep&) = delete;
  TBoundedStep& operator=(const TBoundedStep&) = delete;
  ~TBoundedStep();

 private:
  unsigned long long FId = 0;
};

// A stand-in start or a COM activation takes a second or two even on a
// loaded machine; half a minute means it will not come.
constexpr unsigned kStepBoundMs = 30000;

}  // namespace test_watchdog
