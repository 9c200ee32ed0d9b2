#include "call_log.h"

#include <windows.h>

namespace {

std::string toUtf8(const std::wstring& text) {
  if (text.empty()) {
    return std::string();
  }
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

TCallLog::~TCallLog() {
  if (FFile != nullptr) {
    std::fclose(FFile);
  }
}

bool TCallLog::open(const std::wstring& path, unsigned long pid) {
  FFile = _wfopen(path.c_str(), L"wb");
  if (FFile == nullptr) {
    return false;
  }
  line(L"pid " + std::to_wstring(pid));
  return true;
}

void TCallLog::line(const std::wstring& text) {
  if (FFile == nullptr) {
    return;
  }
  const std::string bytes = toUtf8(text) + "\n";
  std::fwrite(bytes.data(), 1, bytes.size(), FFile);
  std::fflush(FFile);
}
