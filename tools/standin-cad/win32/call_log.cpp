#include "call_log.h"

#include <windows.h>

#include "platform/utf8.h"

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
