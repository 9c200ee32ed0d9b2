// The test guard's own check, run only by its self-test (tests/wine_guard_test.py):
// a COM call that does not come back within its bound is reported by the
// watchdog; the guard then ends this process and the stand-in and clears the
// stand-in's class registration, so that when the case runs once more a
// fresh stand-in is reached rather than the dead one.
//   MORVANE_GUARD_SELFTEST_HANG=always   every run hangs
//   MORVANE_GUARD_SELFTEST_HANG=<file>   the run that creates the file hangs
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "standin_session.h"
#include "watchdog.h"

namespace {

bool hangThisRun(const std::string& how) {
  if (how == "always") {
    return true;
  }
  if (std::FILE* f = std::fopen(how.c_str(), "r")) {
    std::fclose(f);
    return false;
  }
  std::FILE* f = std::fopen(how.c_str(), "w");
  if (f != nullptr) {
    std::fclose(f);
  }
  return true;
}

TEST(GuardSelfTest, AFreshStandinIsReachedAfterAHang) {
  const char* how = std::getenv("MORVANE_GUARD_SELFTEST_HANG");
  if (how == nullptr) {
    GTEST_SKIP() << "run by the test guard's self-test only";
  }
  SKIP_WITHOUT_STANDIN();
  const bool hang = hangThisRun(how);
  TStandinSession cad;
  // Every call of a stand-in started so answers after ten minutes.
  ASSERT_TRUE(cad.start(hang ? std::vector<std::wstring>{L"--slow=600000"} : std::vector<std::wstring>{}));
  const test_watchdog::TBoundedStep bound("a call to the stand-in CAD", 5000);
  auto app = cad.connect();
  ASSERT_NE(app, nullptr) << "the stand-in CAD could not be reached";
  EXPECT_EQ(app->windowHandle(), static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(cad.window())));
}

}  // namespace
