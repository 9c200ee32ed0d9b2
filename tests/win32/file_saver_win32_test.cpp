// Replacing a file whole through the real file system: a new file, a file
// replaced, and the writes that must fail (a read-only file, a missing
// folder) leaving the old bytes and no temporary file behind. Also the
// class ids the CAD connector takes from the settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cad/win32/cad_client.h"
#include "export/win32/file_saver_win32.h"

namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::wstring> namesIn(const fs::path& folder) {
  std::vector<std::wstring> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().wstring());
  std::sort(names.begin(), names.end());
  return names;
}

class FileReplace : public ::testing::Test {
 protected:
  fs::path folder;
  TFileSaverWin32 saver;
  void SetUp() override {
    folder = fs::temp_directory_path() / (L"morvane-saver-" + std::to_wstring(GetCurrentProcessId()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override {
    for (const auto& entry : fs::directory_iterator(folder)) {
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    fs::remove_all(folder);
  }
  void put(const fs::path& file, const std::string& bytes, bool readOnly = false) {
    {
      std::ofstream out(file, std::ios::binary);
      out << bytes;
    }
    if (readOnly) {
      ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    }
  }
};

TEST_F(FileReplace, WritesANewFileAndReplacesAnOldOneWhole) {
  const fs::path target = folder / L"表.csv";
  EXPECT_EQ(saver.replaceFile(target.wstring(), "first,file\r\nwith two rows\r\n"), L"");
  EXPECT_EQ(readBytes(target), "first,file\r\nwith two rows\r\n");
  // Shorter than the old content: nothing of the old file may remain.
  EXPECT_EQ(saver.replaceFile(target.wstring(), "x\r\n"), L"");
  EXPECT_EQ(readBytes(target), "x\r\n");
  EXPECT_EQ(namesIn(folder), std::vector<std::wstring>{L"表.csv"});
}

TEST_F(FileReplace, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  const fs::path readOnly = folder / L"readonly.csv";
  put(readOnly, "old\r\n", true);
  const struct {
    fs::path target;
    const char* what;
  } cases[] = {
      {readOnly, "a read-only file"},
      {folder / L"missing" / L"new.csv", "a folder that does not exist"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NE(saver.replaceFile(c.target.wstring(), "new\r\n"), L"");
    EXPECT_EQ(readBytes(readOnly), "old\r\n");
    EXPECT_EQ(namesIn(folder), std::vector<std::wstring>{L"readonly.csv"});
  }
}

TEST(CadConnectorClass, ClassIdsInBracesAreTakenUnknownNamesAreNot) {
  TComCadConnector connector;
  EXPECT_TRUE(connector.useClass(L"{6E2C5F3A-0B7D-4C19-9A8E-3D2F1B0C4A57}"));
  EXPECT_TRUE(connector.useClass(L"{449354e9-cdd8-4a11-bd82-0d4a3c21e7d2}"));
  EXPECT_FALSE(connector.useClass(L"{6E2C5F3A-0B7D-4C19-9A8E-3D2F1B0C4A5}"));
  EXPECT_FALSE(connector.useClass(L"Morvane.NoSuchApplication.1"));
}

}  // namespace
