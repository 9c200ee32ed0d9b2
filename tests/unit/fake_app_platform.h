#pragma once
// An in-memory settings file and the rest of the application platform, for
// tests of the creation and close steps.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/app_ports.h"

class TFakeProfileFile {
 public:
  std::map<std::pair<std::wstring, std::wstring>, std::wstring> values;
  // Every successful write in order, "section/key=value".
  std::vector<std::wstring> writes;
  int reads = 0;
  // The write with this index (0 = the first of the run) and all after it fail; -1 for none.
  int failFromWrite = -1;
  int writeAttempts = 0;

  void set(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    values[{section, key}] = value;
  }
  const std::wstring* find(const std::wstring& section, const std::wstring& key) const {
    const auto it = values.find({section, key});
    return it == values.end() ? nullptr : &it->second;
  }
};

class TFakeProfileStore : public TProfileStore {
 public:
  explicit TFakeProfileStore(TFakeProfileFile& file) : FFile(file) {}
  std::wstring readString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& defaultValue) override {
    ++FFile.reads;
    const std::wstring* v = FFile.find(section, key);
    return v != nullptr ? *v : defaultValue;
  }
  bool writeString(const std::wstring& section, const std::wstring& key,
                   const std::wstring& value) override {
    const int attempt = FFile.writeAttempts++;
    if (FFile.failFromWrite >= 0 && attempt >= FFile.failFromWrite) return false;
    FFile.set(section, key, value);
    FFile.writes.push_back(section + L"/" + key + L"=" + value);
    return true;
  }

 private:
  TFakeProfileFile& FFile;
};

class TFakeAppPlatform : public TAppPlatform {
 public:
  std::wstring exePath = L"C:\\Tools\\Morvane\\morvane.exe";
  std::map<std::wstring, TFakeProfileFile> files;  // by full path
  std::vector<std::wstring> opened;
  std::int32_t scale = 125;
  int filterRegistrations = 0;
  int filterRevocations = 0;
  // Set by a test to see what else existed when the filter was revoked.
  std::function<void()> onRevoke;
  // Set by a test to make opening the settings file fail.
  std::function<void()> onOpen;

  TFakeProfileFile& file() { return files[L"C:\\Tools\\Morvane\\morvane.ini"]; }

  std::wstring executablePath() override { return exePath; }
  std::unique_ptr<TProfileStore> openProfile(const std::wstring& path) override {
    opened.push_back(path);
    if (onOpen) onOpen();
    return std::make_unique<TFakeProfileStore>(files[path]);
  }
  std::int32_t displayScaleFactor() override { return scale; }
  void registerMessageFilter() override { ++filterRegistrations; }
  void revokeMessageFilter() override {
    ++filterRevocations;
    if (onRevoke) onRevoke();
  }
};
