#pragma once
// The settings file through the private profile functions.
#include <string>

#include "app/app_ports.h"

class TProfileStoreWin32 final : public TProfileStore {
 public:
  explicit TProfileStoreWin32(std::wstring path) : FPath(std::move(path)) {}

  std::wstring readString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& defaultValue) override;
  // A file that does not exist yet is first created holding only a UTF-16LE
  // byte order mark: the profile functions then keep it in Unicode, so that
  // Japanese values survive under any code page. An existing file is left in
  // the encoding it has.
  bool writeString(const std::wstring& section, const std::wstring& key,
                   const std::wstring& value) override;

  const std::wstring& path() const { return FPath; }

 private:
  bool ensureFileExists();

  std::wstring FPath;
};
