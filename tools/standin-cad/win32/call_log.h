#pragma once
// One line per served call, flushed at once so that a test can count the
// calls by reading the file while the stand-in runs.
#include <cstdio>
#include <string>

class TCallLog {
 public:
  TCallLog() = default;
  TCallLog(const TCallLog&) = delete;
  TCallLog& operator=(const TCallLog&) = delete;
  ~TCallLog();

  // Starts the file afresh with "pid N" on its first line.
  bool open(const std::wstring& path, unsigned long pid);
  void line(const std::wstring& text);
  bool isOpen() const { return FFile != nullptr; }

 private:
  std::FILE* FFile = nullptr;
};
