// The settings file: value forms, defaults, the window's place on the screen,
// and the creation and close steps of the main window against an in-memory
// profile file.
#include <gtest/gtest.h>

#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/morvane_form.h"
#include "app/settings.h"
#include "fake_app_platform.h"
#include "fake_desktop.h"

namespace {

TEST(SettingsValue, IntegersAreDecimalOrLongerThanTwoCharactersHex) {
  EXPECT_EQ(parseProfileInteger(L"0x20"), 32);
  EXPECT_EQ(parseProfileInteger(L"0X1f"), 31);
  EXPECT_EQ(parseProfileInteger(L"12"), 12);
  EXPECT_EQ(parseProfileInteger(L"-100"), -100);
  EXPECT_EQ(parseProfileInteger(L"+7"), 7);
  EXPECT_EQ(parseProfileInteger(L"0"), 0);
  EXPECT_EQ(parseProfileInteger(L"-2147483648"), -2147483648LL);
  EXPECT_EQ(parseProfileInteger(L"2147483647"), 2147483647);
  EXPECT_EQ(parseProfileInteger(L"0xFFFFFFFF"), -1);
  // Leading zeros make a number no larger, in hexadecimal as in decimal.
  EXPECT_EQ(parseProfileInteger(L"0x0000000020"), 32);
  EXPECT_EQ(parseProfileInteger(L"000000000012"), 12);
}

TEST(SettingsValue, AnythingElseIsNoNumber) {
  for (const wchar_t* text : {L"abc", L"", L"-", L"0x", L"0xZZ", L"12a", L" 12", L"1.5",
                              L"2147483648", L"-2147483649", L"0x100000000", L"$20"}) {
    EXPECT_FALSE(parseProfileInteger(text).has_value()) << toUtf8(text);
  }
}

TEST(SettingsValue, FileNameFollowsTheExecutable) {
  EXPECT_EQ(settingsFilePath(L"C:\\Tools\\morvane.exe"), L"C:\\Tools\\morvane.ini");
  EXPECT_EQ(settingsFilePath(L"C:\\Tools\\morvane.v2.EXE"), L"C:\\Tools\\morvane.v2.ini");
  // A dot in a folder name is no extension of the file.
  EXPECT_EQ(settingsFilePath(L"C:\\Tools.d\\morvane"), L"C:\\Tools.d\\morvane.ini");
  EXPECT_EQ(settingsFilePath(L"morvane"), L"morvane.ini");
}

TEST(SettingsValue, OnlyTheFarEdgeIsPulledBack) {
  EXPECT_EQ(clampToScreen(5000, 600, 1920), 1320);
  EXPECT_EQ(clampToScreen(1320, 600, 1920), 1320);
  EXPECT_EQ(clampToScreen(1321, 600, 1920), 1320);
  EXPECT_EQ(clampToScreen(-100, 600, 1920), -100);
  EXPECT_EQ(clampToScreen(2147483647, 600, 1920), 1320);
  EXPECT_EQ(clampToScreen(-2147483647 - 1, 600, 1920), -2147483647 - 1);
}

class TNullCad : public TCadConnector {
 public:
  std::unique_ptr<TCadApplication> createApplication() override { return nullptr; }
};

const std::wstring kIni = L"C:\\Tools\\Morvane\\morvane.ini";

class FormSettings : public ::testing::Test {
 protected:
  TFakeDesktop desktop;
  TNullCad cad;
  TFakeTextMetrics metrics;
  TFakeAppPlatform app;
  TMorvaneForm form{TMorvanePorts{desktop, cad, metrics, &app}};
  std::vector<bool> topmost;
  int boundsPushed = 0;

  FormSettings() {
    // The frame as the Win32 side would read it back.
    form.Window.OnReadBounds = [this] {
      form.Window.Width = 600;
      form.Window.Height = 400;
    };
    form.Window.OnSetTopmost = [this](bool on) { topmost.push_back(on); };
    form.Window.OnPush = [this] { ++boundsPushed; };
  }
  TFakeProfileFile& ini() { return app.file(); }
  void store(const std::wstring& key, const std::wstring& value) { ini().set(L"AcadMRV", key, value); }
  std::wstring stored(const std::wstring& key) {
    const std::wstring* v = ini().find(L"AcadMRV", key);
    return v != nullptr ? *v : L"<absent>";
  }
};

TEST_F(FormSettings, FirstStartCentresTheWindowAndTakesEveryDefault) {
  form.Memo1.add(L"left over");
  form.FormCreate();

  EXPECT_EQ(form.Window.Left, (1920 - 600) / 2);
  EXPECT_EQ(form.Window.Top, (1080 - 400) / 2);
  EXPECT_GE(boundsPushed, 1);
  EXPECT_FALSE(form.CheckBox2.Checked());
  EXPECT_FALSE(form.CheckBox3.Checked());
  EXPECT_FALSE(form.CheckBox4.Checked());
  EXPECT_TRUE(form.CheckBox5.Checked());
  EXPECT_TRUE(form.CheckBox6.Checked());
  EXPECT_FALSE(form.CheckBox1.Checked());
  EXPECT_EQ(form.Edit1.Text(), L"0.1");
  EXPECT_EQ(form.Edit2.Text(), L"HOJO*,JOGAI*");
  EXPECT_EQ(form.targetProgID, L"BricscadApp.AcadApplication");
  EXPECT_EQ(form.Window.Caption(), L"Morvane 2025.06.08a [ nanoCAD 5 ]");
  EXPECT_EQ(form.scaleFactor, 125);
  EXPECT_TRUE(form.Memo1.Lines().empty());
  EXPECT_EQ(form.startCol, -1);
  EXPECT_EQ(form.startRow, -1);
  EXPECT_EQ(topmost, std::vector<bool>{true});
  EXPECT_EQ(app.filterRegistrations, 1);
  ASSERT_NE(form.FUndoCells, nullptr);
  EXPECT_EQ(form.FUndoCells->Count(), 0);
  // The settings file beside the executable is read, and the creation step writes nothing.
  EXPECT_EQ(app.opened, std::vector<std::wstring>{kIni});
  EXPECT_GT(ini().reads, 0);
  EXPECT_TRUE(ini().writes.empty());
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(FormSettings, CentringDropsTheRemainder) {
  desktop.screenW = 1921;
  desktop.screenH = 1081;
  form.FormCreate();
  EXPECT_EQ(form.Window.Left, 660);
  EXPECT_EQ(form.Window.Top, 340);
}

TEST_F(FormSettings, ClosingWritesAllFourteenKeysInOrderEvenWithoutChange) {
  form.FormCreate();
  ASSERT_TRUE(form.FormCloseQuery());
  const std::vector<std::wstring> expected{
      L"AcadMRV/Left=660", L"AcadMRV/Top=340",   L"AcadMRV/chk2=0",
      L"AcadMRV/chk3=0",   L"AcadMRV/chk4=0",    L"AcadMRV/edt1=0.1",
      L"Target/ProgID=BricscadApp.AcadApplication", L"AcadMRV/chk5=1",
      L"AcadMRV/edt2=HOJO*,JOGAI*", L"AcadMRV/mtext=0", L"AcadMRV/xltext=0", L"AcadMRV/chk6=1",
      L"CAD/Title=nanoCAD 5", L"CAD/CLSID={449354E9-CDD8-4A11-BD82-0D4A3C21E7D2}"};
  EXPECT_EQ(ini().writes, expected);
  EXPECT_TRUE(desktop.messages.empty());

  // A second close with nothing changed writes every key again.
  ASSERT_TRUE(form.FormCloseQuery());
  EXPECT_EQ(ini().writes.size(), 28u);
}

TEST_F(FormSettings, ClosingWritesWhatTheUserChanged) {
  form.FormCreate();
  form.CheckBox4.setChecked(true);
  form.CheckBox6.setChecked(false);
  form.Edit1.setText(L"0.25");
  form.Edit2.setText(L"層*,補助*");
  form.targetProgID = L"Other.Application";
  form.Window.OnReadBounds = [this] {
    form.Window.Left = -30;
    form.Window.Top = 12;
    form.Window.Width = 600;
    form.Window.Height = 400;
  };
  ASSERT_TRUE(form.FormCloseQuery());
  EXPECT_EQ(stored(L"Left"), L"-30");
  EXPECT_EQ(stored(L"Top"), L"12");
  EXPECT_EQ(stored(L"chk4"), L"1");
  EXPECT_EQ(stored(L"chk6"), L"0");
  EXPECT_EQ(stored(L"edt1"), L"0.25");
  EXPECT_EQ(stored(L"edt2"), L"層*,補助*");
  EXPECT_EQ(*ini().find(L"Target", L"ProgID"), L"Other.Application");
}

// The MTEXT option is a menu item, kept as the check boxes are: off at first,
// a click turns it on, the close writes it, and the next start reads it back.
TEST_F(FormSettings, TheMTextOptionGoesThroughTheFileAndBack) {
  form.FormCreate();
  EXPECT_FALSE(form.MTEXT1.Checked());
  const auto items = form.popupMenuItems();
  ASSERT_GE(items.size(), 3u);
  EXPECT_EQ(items[items.size() - 3], &form.N24);
  EXPECT_TRUE(items[items.size() - 2]->isSeparator());
  EXPECT_EQ(items.back(), &form.MTEXT1);
  EXPECT_EQ(form.MTEXT1.Caption(), L"MTEXTも対象");

  form.MTEXT1.Click();
  EXPECT_TRUE(form.MTEXT1.Checked());
  ASSERT_TRUE(form.FormCloseQuery());
  EXPECT_EQ(stored(L"mtext"), L"1");
  form.MTEXT1.Click();
  EXPECT_FALSE(form.MTEXT1.Checked());
  form.FormCreate();
  EXPECT_TRUE(form.MTEXT1.Checked());

  store(L"mtext", L"0");
  form.FormCreate();
  EXPECT_FALSE(form.MTEXT1.Checked());
}

TEST_F(FormSettings, TheExcelTextOptionGoesThroughTheFileAndBack) {
  form.FormCreate();
  EXPECT_FALSE(form.ExcelText1.Checked());
  form.ExcelText1.Click();
  ASSERT_TRUE(form.FormCloseQuery());
  EXPECT_EQ(stored(L"xltext"), L"1");
  form.ExcelText1.Click();
  form.FormCreate();
  EXPECT_TRUE(form.ExcelText1.Checked());
  store(L"xltext", L"0");
  form.FormCreate();
  EXPECT_FALSE(form.ExcelText1.Checked());
}

TEST_F(FormSettings, BothEnterDirectionsSavedLeavesOnlyDownChecked) {
  store(L"chk2", L"1");
  store(L"chk3", L"1");
  form.FormCreate();
  EXPECT_FALSE(form.CheckBox2.Checked());
  EXPECT_TRUE(form.CheckBox3.Checked());
  ASSERT_TRUE(form.FormCloseQuery());
  EXPECT_EQ(stored(L"chk2"), L"0");
  EXPECT_EQ(stored(L"chk3"), L"1");
}

TEST_F(FormSettings, SavedPlaceIsPulledBackOnlyPastTheFarEdges) {
  // The end of the 32-bit range was found by fuzzing: the far edge overflowed
  // and the window stayed off the screen.
  const std::pair<const wchar_t*, const wchar_t*> places[] = {{L"5000", L"5000"}, {L"2147483647", L"0x7FFFFFFF"}};
  for (std::size_t i = 0; i < std::size(places); ++i) {
    SCOPED_TRACE(testing::Message() << "place " << i);
    store(L"Left", places[i].first);
    store(L"Top", places[i].second);
    form.FormCreate();
    EXPECT_EQ(form.Window.Left, 1320);
    EXPECT_EQ(form.Window.Top, 680);
  }
}

TEST_F(FormSettings, SavedPlaceBeforeTheOriginIsKept) {
  store(L"Left", L"-100");
  store(L"Top", L"-5");
  form.FormCreate();
  EXPECT_EQ(form.Window.Left, -100);
  EXPECT_EQ(form.Window.Top, -5);
}

TEST_F(FormSettings, HexPlaceIsReadAndNonsenseGivesTheCentre) {
  store(L"Left", L"0x20");
  store(L"Top", L"abc");
  form.FormCreate();
  EXPECT_EQ(form.Window.Left, 32);
  EXPECT_EQ(form.Window.Top, 340);
}

TEST_F(FormSettings, EveryNonZeroBooleanChecksAndNonsenseGivesTheDefault) {
  store(L"chk4", L"2");
  store(L"chk5", L"abc");
  store(L"chk6", L"0");
  form.FormCreate();
  EXPECT_TRUE(form.CheckBox4.Checked());
  EXPECT_TRUE(form.CheckBox5.Checked());
  EXPECT_FALSE(form.CheckBox6.Checked());
}

TEST_F(FormSettings, ZeroUnchecksADefaultCheckedBoxAndTwoChecksIt) {
  store(L"chk5", L"0");
  form.FormCreate();
  EXPECT_FALSE(form.CheckBox5.Checked());
  store(L"chk5", L"2");
  form.FormCreate();
  EXPECT_TRUE(form.CheckBox5.Checked());
}

TEST_F(FormSettings, StringsAreTakenAsTheyAreUpToTheirLimit) {
  store(L"edt1", L"0.5");
  store(L"edt2", std::wstring(3000, L'層'));
  ini().set(L"Target", L"ProgID", L"Other.Application");
  form.FormCreate();
  EXPECT_EQ(form.Edit1.Text(), L"0.5");
  EXPECT_EQ(form.Edit2.Text(), std::wstring(2047, L'層'));
  EXPECT_EQ(form.targetProgID, L"Other.Application");
}

TEST_F(FormSettings, FailedWriteShowsThePathAndClosesAllTheSame) {
  form.FormCreate();
  ini().failFromWrite = 3;
  EXPECT_TRUE(form.FormCloseQuery());
  EXPECT_EQ(desktop.messages, std::vector<std::wstring>{L"error|" + kIni + L" に書き込めません"});
  // The keys before the failing one stay; nothing after it was tried.
  EXPECT_EQ(ini().writes, (std::vector<std::wstring>{L"AcadMRV/Left=660", L"AcadMRV/Top=340",
                                                     L"AcadMRV/chk2=0"}));
  EXPECT_EQ(ini().writeAttempts, 4);

  // Once the file can be written again, a close writes every key.
  ini().failFromWrite = -1;
  EXPECT_TRUE(form.FormCloseQuery());
  EXPECT_EQ(stored(L"chk6"), L"1");
}

TEST_F(FormSettings, CloseStepShowsErrorsOfAnyKindAndCloses) {
  form.FormCreate();
  app.onOpen = [] { throw std::runtime_error("disk gone"); };
  EXPECT_TRUE(form.FormCloseQuery());
  app.onOpen = [] { throw 42; };
  EXPECT_TRUE(form.FormCloseQuery());
  ASSERT_EQ(desktop.messages.size(), 2u);
  EXPECT_EQ(desktop.messages[0], L"error|disk gone");
  EXPECT_EQ(desktop.messages[1].rfind(L"error|", 0), 0u);
  app.onOpen = nullptr;
  EXPECT_TRUE(form.FormCloseQuery());
}

TEST_F(FormSettings, EndOfSessionWritesEvenDuringACommandAndPutsOffNoClose) {
  form.FormCreate();
  int deferredCloses = 0;
  form.OnDeferredClose = [&] { ++deferredCloses; };
  bool written = false;
  form.runCommand([&] { written = form.writeSettingsFile(); });
  EXPECT_TRUE(written);
  EXPECT_EQ(ini().writes.size(), 14u);
  EXPECT_FALSE(form.closeRequested());
  EXPECT_EQ(deferredCloses, 0);
}

TEST_F(FormSettings, CloseDuringACommandWaitsForItsEnd) {
  form.FormCreate();
  int deferredCloses = 0;
  bool closedAfterCommand = false;
  form.OnDeferredClose = [&] {
    ++deferredCloses;
    closedAfterCommand = form.FormCloseQuery();
  };
  bool closeInsideCommand = true;
  form.runCommand([&] {
    closeInsideCommand = form.FormCloseQuery();
    EXPECT_TRUE(ini().writes.empty());
    EXPECT_EQ(deferredCloses, 0);
  });
  EXPECT_FALSE(closeInsideCommand);
  EXPECT_EQ(deferredCloses, 1);
  EXPECT_TRUE(closedAfterCommand);
  EXPECT_EQ(ini().writes.size(), 14u);
  EXPECT_FALSE(form.closeRequested());

  // Commands after that close nothing on their own.
  form.runCommand([] {});
  EXPECT_EQ(deferredCloses, 1);
}

TEST_F(FormSettings, CloseDuringAFailingCommandStillHappensAfterTheError) {
  form.FormCreate();
  int deferredCloses = 0;
  form.OnDeferredClose = [&] { ++deferredCloses; };
  form.runCommand([&] {
    EXPECT_FALSE(form.FormCloseQuery());
    throw TMorvaneError(L"boom");
  });
  EXPECT_EQ(desktop.messages, std::vector<std::wstring>{L"error|boom"});
  EXPECT_EQ(deferredCloses, 1);
}

TEST_F(FormSettings, AnyErrorOfACommandIsShownAndTheNextCommandStillRuns) {
  form.FormCreate();
  form.runCommand([] { throw 42; });
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].rfind(L"error|", 0), 0u);
  bool ran = false;
  form.runCommand([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_FALSE(form.commandRunning());
}

TEST_F(FormSettings, ShowKeepsTheWindowTopmost) {
  form.FormCreate();
  form.FormShow();
  EXPECT_EQ(topmost, (std::vector<bool>{true, true}));
}

TEST_F(FormSettings, DestroyFreesTheUndoHistoryThenRevokesTheFilterOnce) {
  form.FormCreate();
  bool undoFreedFirst = false;
  app.onRevoke = [&] { undoFreedFirst = form.FUndoCells == nullptr; };
  form.FormDestroy();
  EXPECT_TRUE(undoFreedFirst);
  EXPECT_EQ(app.filterRevocations, 1);
  form.FormDestroy();
  EXPECT_EQ(app.filterRevocations, 1);
}

TEST_F(FormSettings, WithoutPlatformTheDefaultsHoldAndCloseGoesOn) {
  TMorvaneForm bare{TMorvanePorts{desktop, cad, metrics}};
  bare.Window.OnReadBounds = [&] {
    bare.Window.Width = 600;
    bare.Window.Height = 400;
  };
  bare.FormCreate();
  EXPECT_EQ(bare.Window.Left, 660);
  EXPECT_EQ(bare.scaleFactor, 100);
  EXPECT_TRUE(bare.FormCloseQuery());
}

TEST_F(FormSettings, AboutBoxFromTheMenuShowsTheVersionOnItsFirstLine) {
  form.FormCreate();
  form.N24.Click();
  ASSERT_EQ(desktop.messages.size(), 1u);
  const std::wstring& shown = desktop.messages[0];
  const std::wstring prefix = L"info|情報|Morvane.exe 2025.06.08a\n";
  ASSERT_EQ(shown.rfind(prefix, 0), 0u) << toUtf8(shown);
  EXPECT_GT(shown.size(), prefix.size());
  EXPECT_EQ(shown.find(L'\n', prefix.size()), std::wstring::npos);
}

TEST_F(FormSettings, TargetCadAndUndoItemsStayDisabled) {
  form.FormCreate();
  EXPECT_FALSE(form.CAD1.Enabled());
  EXPECT_FALSE(form.UNDO1.Enabled());
  EXPECT_TRUE(form.N24.Enabled());
}

}  // namespace
