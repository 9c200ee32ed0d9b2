#include "watchdog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace test_watchdog {
namespace {

using TClock = std::chrono::steady_clock;

// The bound of a case as a whole. The longest case (Acquire of 2,000
// entities, some 12,000 calls across processes) takes twenty seconds on an
// idle machine and ninety under a parallel build.
constexpr unsigned kCaseBoundMs = 240000;

struct TStep {
  unsigned long long id;
  std::string what;
  unsigned boundMs;
  TClock::time_point deadline;
};

// One thread watches every open step; it sleeps until the earliest deadline
// or until the steps change.
class TWatchdog {
 public:
  static TWatchdog& instance() {
    // Never destroyed: the thread outlives main's return.
    static TWatchdog* dog = new TWatchdog;
    return *dog;
  }

  unsigned long long open(std::string what, unsigned boundMs) {
    const std::lock_guard<std::mutex> lock(FMutex);
    const unsigned long long id = ++FLastId;
    FSteps.push_back({id, std::move(what), boundMs, TClock::now() + std::chrono::milliseconds(boundMs)});
    FChanged.notify_one();
    return id;
  }

  void close(unsigned long long id) {
    const std::lock_guard<std::mutex> lock(FMutex);
    std::erase_if(FSteps, [id](const TStep& s) { return s.id == id; });
    FChanged.notify_one();
  }

 private:
  TWatchdog() { std::thread([this] { watch(); }).detach(); }

  void watch() {
    std::unique_lock<std::mutex> lock(FMutex);
    for (;;) {
      if (FSteps.empty()) {
        FChanged.wait(lock);
        continue;
      }
      const TStep* first = &FSteps.front();
      for (const TStep& s : FSteps) {
        if (s.deadline < first->deadline) first = &s;
      }
      if (TClock::now() < first->deadline) {
        FChanged.wait_until(lock, first->deadline);
        continue;
      }
      report(*first);
    }
  }

  [[noreturn]] static void report(const TStep& step) {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = info != nullptr ? std::string(info->test_suite_name()) + "." + info->name() : "(no case)";
    std::printf("[watchdog] %s: %s ran past %u s\n", name.c_str(), step.what.c_str(), step.boundMs / 1000);
    std::fflush(stdout);
    // The guard needs this process alive for its backtrace and ends it
    // itself; should it not come, the process still ends.
    if (std::getenv("MORVANE_WINE_GUARD") != nullptr) {
      Sleep(300000);
    }
    TerminateProcess(GetCurrentProcess(), 3);
    std::abort();
  }

  std::mutex FMutex;
  std::condition_variable FChanged;
  std::vector<TStep> FSteps;
  unsigned long long FLastId = 0;
};

// Each case as a whole is a step too: a wait that no step marks (a proxy
// released in a destructor) is still bounded.
class TCaseBound : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo&) override { FId = TWatchdog::instance().open("the case", kCaseBoundMs); }
  void OnTestEnd(const testing::TestInfo&) override { TWatchdog::instance().close(FId); }

 private:
  unsigned long long FId = 0;
};

[[maybe_unused]] const bool kCaseBoundListening = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new TCaseBound);
  return true;
}();

}  // namespace

TBoundedStep::TBoundedStep(std::string what, unsigned boundMs) : FId(TWatchdog::instance().open(std::move(what), boundMs)) {}

TBoundedStep::~TBoundedStep() { TWatchdog::instance().close(FId); }

}  // namespace test_watchdog
