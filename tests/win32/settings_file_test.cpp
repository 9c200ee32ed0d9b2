// The settings file through the real private profile functions: the Unicode
// file a first start creates, an existing ANSI file, Japanese values under the
// code page the process runs with, the length limit and a failing write.
// The suite runs twice: as it is and with LC_ALL=ja_JP.UTF-8 (code page 932).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/settings.h"
#include "app/win32/app_platform_win32.h"
#include "app/win32/profile_store_win32.h"
#include "platform/errors.h"

namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

// The text of a file that starts with a UTF-16LE byte order mark.
std::wstring unicodeText(const std::string& bytes) {
  std::wstring text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return text;
}

class SettingsFile : public ::testing::Test {
 protected:
  fs::path dir;
  fs::path ini;

  void SetUp() override {
    static int counter = 0;
    dir = fs::temp_directory_path() /
          ("morvane-settings-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
    fs::remove_all(dir);
    fs::create_directories(dir);
    ini = dir / L"morvane.ini";
  }
  void TearDown() override {
    // Flushes the profile functions' cache before the folder goes.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  static TSettings sample() {
    TSettings s;
    s.left = -100;
    s.top = 32;
    s.chk2 = false;
    s.chk3 = true;
    s.chk4 = true;
    s.edt1 = L"0.25";
    s.progID = L"Other.Application";
    s.chk5 = false;
    s.edt2 = L"層*,補助*";
    s.chk6 = false;
    return s;
  }
};

TEST_F(SettingsFile, FirstWriteCreatesAUnicodeFileThatKeepsJapanese) {
  TProfileStoreWin32 store(ini.wstring());
  EXPECT_EQ(store.readString(kSectionMain, L"edt2", L"absent"), L"absent");
  EXPECT_FALSE(fs::exists(ini)) << "reading must not create the file";

  writeSettings(store, ini.wstring(), sample());
  const std::string bytes = readBytes(ini);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
  const std::wstring text = unicodeText(bytes);
  EXPECT_NE(text.find(L"[AcadMRV]"), std::wstring::npos) << toUtf8(text);
  EXPECT_NE(text.find(L"edt2=層*,補助*"), std::wstring::npos) << toUtf8(text);
  EXPECT_NE(text.find(L"[Target]"), std::wstring::npos);
  EXPECT_NE(text.find(L"ProgID=Other.Application"), std::wstring::npos);
  // The keys of the main section lie in the order they were written.
  std::size_t at = 0;
  for (const wchar_t* key : {L"Left=-100", L"Top=32", L"chk2=0", L"chk3=1", L"chk4=1", L"edt1=0.25",
                             L"chk5=0", L"edt2=", L"chk6=0"}) {
    const std::size_t found = text.find(key, at);
    ASSERT_NE(found, std::wstring::npos) << toUtf8(key) << " after " << at << " in " << toUtf8(text);
    at = found;
  }

  TProfileStoreWin32 again(ini.wstring());
  const TSettings read = readSettings(again, TSettings{});
  const TSettings expected = sample();
  EXPECT_EQ(read.left, expected.left);
  EXPECT_EQ(read.top, expected.top);
  EXPECT_EQ(read.chk2, expected.chk2);
  EXPECT_EQ(read.chk3, expected.chk3);
  EXPECT_EQ(read.chk4, expected.chk4);
  EXPECT_EQ(read.edt1, expected.edt1);
  EXPECT_EQ(read.progID, expected.progID);
  EXPECT_EQ(read.chk5, expected.chk5);
  EXPECT_EQ(read.edt2, expected.edt2);
  EXPECT_EQ(read.chk6, expected.chk6);
}

TEST_F(SettingsFile, ExistingAnsiFileIsReadAndWrittenAsItIs) {
  writeBytes(ini, "[AcadMRV]\r\nLeft=0x20\r\nchk5=abc\r\nTop=abc\r\n");
  TProfileStoreWin32 store(ini.wstring());
  TSettings defaults;
  defaults.top = 77;
  const TSettings read = readSettings(store, defaults);
  EXPECT_EQ(read.left, 32);
  EXPECT_EQ(read.top, 77);
  EXPECT_TRUE(read.chk5);
  EXPECT_EQ(read.edt2, L"HOJO*,JOGAI*");

  ASSERT_TRUE(store.writeString(kSectionMain, L"chk6", L"1"));
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
  const std::string bytes = readBytes(ini);
  ASSERT_FALSE(bytes.empty());
  EXPECT_NE(static_cast<unsigned char>(bytes[0]), 0xFF) << "an ANSI file must stay ANSI";
  EXPECT_NE(bytes.find("chk6=1"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("Left=0x20"), std::string::npos) << bytes;
}

TEST_F(SettingsFile, JapaneseInAnAnsiFileSurvivesOnlyUnderTheJapaneseCodePage) {
  writeBytes(ini, "[AcadMRV]\r\n");
  const std::wstring value = L"層*,補助*";
  {
    TProfileStoreWin32 store(ini.wstring());
    ASSERT_TRUE(store.writeString(kSectionMain, L"edt2", value));
  }
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
  TProfileStoreWin32 store(ini.wstring());
  const bool survived = store.readString(kSectionMain, L"edt2", L"") == value;
  const UINT codePage = GetACP();
  RecordProperty("code_page", static_cast<int>(codePage));
  EXPECT_EQ(survived, codePage == 932) << "code page " << codePage;
}

TEST_F(SettingsFile, LongValuesAreCutAtTheLimit) {
  TProfileStoreWin32 store(ini.wstring());
  ASSERT_TRUE(store.writeString(kSectionMain, L"edt2", std::wstring(3000, L'補')));
  TProfileStoreWin32 again(ini.wstring());
  EXPECT_EQ(readSettings(again, TSettings{}).edt2, std::wstring(kMaxSettingLength, L'補'));
}

TEST_F(SettingsFile, UnwritableFolderFailsWithThePathInTheMessage) {
  const fs::path missing = dir / L"missing" / L"morvane.ini";
  TProfileStoreWin32 store(missing.wstring());
  EXPECT_FALSE(store.writeString(kSectionMain, L"Left", L"1"));
  try {
    writeSettings(store, missing.wstring(), sample());
    FAIL() << "the write must fail";
  } catch (const TMorvaneError& e) {
    EXPECT_EQ(e.message(), missing.wstring() + L" に書き込めません");
  }
  EXPECT_FALSE(fs::exists(missing));
}

// Registered a second time with LC_ALL=ja_JP.UTF-8 and MORVANE_EXPECT_ACP=932:
// that is how the Japanese runs above get their code page.
TEST(SettingsFileCodePage, LocaleGivesTheExpectedCodePage) {
  const char* expected = std::getenv("MORVANE_EXPECT_ACP");
  if (expected == nullptr) {
    GTEST_SKIP() << "MORVANE_EXPECT_ACP is not set; this run uses code page " << GetACP();
  }
  EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
}

TEST(AppPlatform, ExecutablePathAndScaleFactor) {
  TAppPlatformWin32 app;
  const std::wstring exe = app.executablePath();
  ASSERT_GT(exe.size(), 4u);
  EXPECT_EQ(GetFileAttributesW(exe.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u) << toUtf8(exe);
  EXPECT_NE(GetFileAttributesW(exe.c_str()), INVALID_FILE_ATTRIBUTES) << toUtf8(exe);
  EXPECT_EQ(settingsFilePath(exe).substr(settingsFilePath(exe).size() - 4), L".ini");
  const std::int32_t scale = app.displayScaleFactor();
  EXPECT_GE(scale, 100);
  EXPECT_LE(scale, 500);
}

TEST(AppPlatform, MessageFilterIsTheThreadsUntilRevoked) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    TAppPlatformWin32 app;
    app.registerMessageFilter();
    IMessageFilter* current = nullptr;
    ASSERT_EQ(CoRegisterMessageFilter(nullptr, &current), S_OK);
    EXPECT_NE(current, nullptr);
    // Put it back as it was, then let the platform revoke it.
    IMessageFilter* none = nullptr;
    CoRegisterMessageFilter(current, &none);
    if (current != nullptr) current->Release();
    if (none != nullptr) none->Release();
    app.revokeMessageFilter();
    IMessageFilter* after = nullptr;
    CoRegisterMessageFilter(nullptr, &after);
    EXPECT_EQ(after, nullptr);
    if (after != nullptr) after->Release();
  }
  CoUninitialize();
}

}  // namespace
