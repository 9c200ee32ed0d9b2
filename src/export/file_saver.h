#pragma once
// What saving a file asks of the platform: where the user wants it, and a
// write that either replaces the file whole or leaves it as it was.
#include <optional>
#include <string>

class TFileSaver {
 public:
  virtual ~TFileSaver() = default;
  // The standard save dialog for CSV files offering `defaultName`; the path
  // chosen, std::nullopt when the user cancels.
  virtual std::optional<std::wstring> chooseSavePath(const std::wstring& defaultName) = 0;
  // Writes `bytes` to a temporary file in the folder of `path`, then renames
  // it over `path`. On failure the temporary file is removed, a file already
  // at `path` keeps its content, and the system's reason is returned; an
  // empty string means the file was written.
  virtual std::wstring replaceFile(const std::wstring& path, const std::string& bytes) = 0;
};
