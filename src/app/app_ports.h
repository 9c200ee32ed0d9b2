#pragma once
// What the creation and close steps need from the platform beyond the desktop:
// the settings file, the display scale and the COM message filter.
#include <cstdint>
#include <memory>
#include <string>

// One profile (INI) file. Every write goes to the file at once.
class TProfileStore {
 public:
  virtual ~TProfileStore() = default;
  // The key's value, or `defaultValue` when the file, section or key is absent.
  virtual std::wstring readString(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& defaultValue) = 0;
  // False when the value could not be written.
  virtual bool writeString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& value) = 0;
};

class TAppPlatform {
 public:
  virtual ~TAppPlatform() = default;
  // The full path of the running executable.
  virtual std::wstring executablePath() = 0;
  // The profile file at `path`; nothing is created until the first write.
  virtual std::unique_ptr<TProfileStore> openProfile(const std::wstring& path) = 0;
  // The scale factor of the first monitor in percent; 100 when it cannot be read.
  virtual std::int32_t displayScaleFactor() = 0;
  // The program's COM message filter for the GUI thread.
  virtual void registerMessageFilter() = 0;
  virtual void revokeMessageFilter() = 0;
};
