// Finding the running CAD and handing the front between windows, against the
// fake desktop and the fake CAD.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cad/connect_cad.h"
#include "fake_cad.h"
#include "fake_desktop.h"

namespace {

constexpr TWnd kOwn = 0x3003;
constexpr TWnd kOther = 0x4004;

TEST(ConnectCad, ObjectOnlyWhenTheWindowTitleMatchesWhollyIgnoringCase) {
  TFakeDesktop desktop;
  TFakeCad cad;
  desktop.windows[0x2001] = {L"nanoCAD 5 - Drawing1.dwg", 7, false};
  EXPECT_EQ(connectCAD(desktop, cad), nullptr);
  EXPECT_TRUE(cad.calls.empty());  // no COM activity without the window

  desktop.windows[0x2002] = {L"NANOCAD 5", 7, false};
  const std::unique_ptr<TCadApplication> app = connectCAD(desktop, cad);
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(cad.calls, (std::vector<std::wstring>{L"Connector.createApplication"}));
}

TEST(ConnectCad, FailedCreationGivesNoObjectAndRaisesNothing) {
  TFakeDesktop desktop;
  TFakeCad cad;
  addCadWindow(desktop, cad);
  cad.serverMissing = true;
  EXPECT_EQ(connectCAD(desktop, cad), nullptr);
  EXPECT_EQ(cad.countOf(L"Connector.createApplication"), 1);
}

TEST(BringToTop, SameThreadAsTheForegroundNeedsNoAttaching) {
  TFakeDesktop desktop;
  desktop.windows[kOwn] = {L"Morvane", 1, false};
  desktop.windows[kOther] = {L"other", 1, false};
  desktop.foreground = kOther;
  bringToTop(desktop, kOwn);
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{"setForegroundWindow " + std::to_string(kOwn),
                                                     "bringWindowToTop " + std::to_string(kOwn)}));
}

TEST(BringToTop, OtherThreadsInputIsAttachedOnlyAroundTheWindowOrderRequest) {
  // The foreground thread is the one noted before the foreground request:
  // the fake grants that request, so reading it afterwards would give the
  // window's own thread and skip the attaching.
  TFakeDesktop desktop;
  desktop.windows[kOwn] = {L"Morvane", 1, false};
  desktop.windows[kOther] = {L"nanoCAD 5", 9, false};
  desktop.foreground = kOther;
  bringToTop(desktop, kOwn);
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{"setForegroundWindow " + std::to_string(kOwn),
                                                     "attachThreadInput 1 9 on",
                                                     "bringWindowToTop " + std::to_string(kOwn),
                                                     "attachThreadInput 1 9 off"}));
  EXPECT_EQ(desktop.foreground, kOwn);
}

}  // namespace
