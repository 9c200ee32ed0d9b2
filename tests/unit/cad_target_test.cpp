// The CAD the program connects to: the forms the settings may hold for its
// title and class id, what the creation step makes of each (the default and
// one log line for a value that cannot be used), the caption, the keys
// written at close, and the search for the configured title.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/morvane_form.h"
#include "app/settings.h"
#include "cad/cad_target.h"
#include "fake_app_platform.h"
#include "fake_cad.h"
#include "fake_desktop.h"
#include "platform/utf8.h"

namespace {

const std::wstring kOtherClass = L"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";

TEST(CadTarget, ClassIdsInBracesAndProgIdsAreTakenAnythingElseIsMalformed) {
  const struct {
    const wchar_t* text;
    TClassIdForm form;
  } cases[] = {
      {L"{449354E9-CDD8-4A11-BD82-0D4A3C21E7D2}", TClassIdForm::ClassId},
      {L"{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}", TClassIdForm::ClassId},
      {L"nanoCAD.Application", TClassIdForm::ProgId},
      {L"nanoCAD.Application.23", TClassIdForm::ProgId},
      {L"My_CAD.App", TClassIdForm::ProgId},
      {L"CAD", TClassIdForm::ProgId},
      {L"A23456789012345678901234567890123456789", TClassIdForm::ProgId},  // 39 characters
      {L"A234567890123456789012345678901234567890", TClassIdForm::Malformed},
      {L"449354E9-CDD8-4A11-BD82-0D4A3C21E7D2", TClassIdForm::Malformed},  // braces left out
      {L"{449354E9-CDD8-4A11-BD82-0D4A3C21E7D}", TClassIdForm::Malformed},
      {L"{449354E9-CDD8-4A11-BD82-0D4A3C21E7DG}", TClassIdForm::Malformed},
      {L"{449354E9CCDD8-4A11-BD82-0D4A3C21E7D2}", TClassIdForm::Malformed},
      {L"nanoCAD Application", TClassIdForm::Malformed},
      {L"nanoCAD..Application", TClassIdForm::Malformed},
      {L".Application", TClassIdForm::Malformed},
      {L"5CAD.Application", TClassIdForm::Malformed},
      {L"ナノCAD.Application", TClassIdForm::Malformed},
      {L"", TClassIdForm::Malformed},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(classIdForm(c.text), c.form) << toUtf8(c.text);
  }
}

TEST(CadTarget, AnyTitleWithoutControlCharactersNamesAWindow) {
  for (const wchar_t* title : {L"nanoCAD 5", L"nanoCAD x64 23.1", L"ナノキャド 5", L" x "}) {
    EXPECT_TRUE(isCadTitle(title)) << toUtf8(title);
  }
  for (const wchar_t* title : {L"", L"nano\tCAD", L"nanoCAD\r\n", L"a\x7F"}) {
    EXPECT_FALSE(isCadTitle(title)) << toUtf8(title);
  }
}

// A connector that knows some classes only, as the registry would.
class TClassCad : public TFakeCad {
 public:
  std::set<std::wstring> known{kCadClassId, kOtherClass, L"nanoCAD.Application.23"};
  std::vector<std::wstring> used;
  bool useClass(const std::wstring& classId) override {
    used.push_back(classId);
    return known.count(classId) > 0;
  }
};

class CadSettings : public ::testing::Test {
 protected:
  TFakeDesktop desktop;
  TClassCad cad;
  TFakeTextMetrics metrics;
  TFakeAppPlatform app;
  TMorvaneForm form{TMorvanePorts{desktop, cad, metrics, &app}};
  CadSettings() {
    form.Window.OnReadBounds = [this] {
      form.Window.Width = 600;
      form.Window.Height = 400;
    };
  }
};

TEST_F(CadSettings, EachValueIsTakenOrGivesWayToTheDefaultWithOneLogLine) {
  const std::wstring badTitleLine = L"[CAD] Title = nano\tCAD は使えません: nanoCAD 5 を使います";
  const struct {
    std::optional<std::wstring> title, classId;  // nullopt: the key is absent
    std::wstring usedTitle, usedClass;
    std::vector<std::wstring> classesTried, log;
  } cases[] = {
      {std::nullopt, std::nullopt, L"nanoCAD 5", kCadClassId, {kCadClassId}, {}},
      {L"", L"", L"nanoCAD 5", kCadClassId, {kCadClassId}, {}},
      {L"nanoCAD 23", kOtherClass, L"nanoCAD 23", kOtherClass, {kOtherClass}, {}},
      {L"nanoCAD 23", L"nanoCAD.Application.23", L"nanoCAD 23", L"nanoCAD.Application.23",
       {L"nanoCAD.Application.23"}, {}},
      {L"nano\tCAD", L"{not-a-class}", L"nanoCAD 5", kCadClassId, {kCadClassId},
       {badTitleLine, L"[CAD] CLSID = {not-a-class} は使えません: " + std::wstring(kCadClassId) + L" を使います"}},
      // Well formed, but the platform knows no such class.
      {L"nanoCAD 23", L"Unknown.Application", L"nanoCAD 23", kCadClassId, {L"Unknown.Application", kCadClassId},
       {L"[CAD] CLSID = Unknown.Application は使えません: " + std::wstring(kCadClassId) + L" を使います"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.title.value_or(L"<absent>") + L" / " + c.classId.value_or(L"<absent>")));
    TFakeAppPlatform platform;
    TClassCad connector;
    TMorvaneForm f{TMorvanePorts{desktop, connector, metrics, &platform}};
    f.Window.OnReadBounds = [&f] {
      f.Window.Width = 600;
      f.Window.Height = 400;
    };
    if (c.title) platform.file().set(L"CAD", L"Title", *c.title);
    if (c.classId) platform.file().set(L"CAD", L"CLSID", *c.classId);
    f.FormCreate();
    EXPECT_EQ(f.cadTitle, c.usedTitle);
    EXPECT_EQ(f.cadClassId, c.usedClass);
    EXPECT_EQ(connector.used, c.classesTried);
    EXPECT_EQ(f.Memo1.Lines(), c.log);
    EXPECT_EQ(f.Window.Caption(), L"Morvane 2025.06.08a [ " + c.usedTitle + L" ]");
    // The close writes the values in use, after the others.
    ASSERT_TRUE(f.FormCloseQuery());
    const std::vector<std::wstring>& writes = platform.file().writes;
    ASSERT_EQ(writes.size(), 14u);
    EXPECT_EQ(writes[12], L"CAD/Title=" + c.usedTitle);
    EXPECT_EQ(writes[13], L"CAD/CLSID=" + c.usedClass);
  }
}

TEST_F(CadSettings, AcquireLooksForTheConfiguredTitleAndSaysItWhenAbsent) {
  app.file().set(L"CAD", L"Title", L"nanoCAD 23");
  form.FormCreate();
  desktop.windows[0x2001] = {L"nanoCAD 5", 7, false};  // the old CAD is running
  form.Button1.Click();
  EXPECT_TRUE(cad.calls.empty());
  EXPECT_EQ(form.StatusBar1.Panel(kEndingPanel), L"nanoCAD 23 が見つかりません");
  EXPECT_EQ(form.Window.Caption(), L"Morvane 2025.06.08a [ nanoCAD 23 ]");
}

}  // namespace
