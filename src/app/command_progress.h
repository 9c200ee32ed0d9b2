#pragma once
// What a command's walk tells the user while it runs: log lines, the
// progress bar and the status text. The walks take this, not the window.
#include <cstdint>
#include <string>

#include "app/controls.h"

class TCommandProgress {
 public:
  virtual ~TCommandProgress() = default;
  virtual void clearLog() = 0;
  virtual void log(const std::wstring& line) = 0;
  virtual void setRange(std::int32_t max) = 0;
  virtual void setPosition(std::int32_t position) = 0;
  virtual std::int32_t position() const = 0;
  // Status panel 0.
  virtual void setStatus(const std::wstring& text) = 0;
};

// The main window's memo, progress bar and status bar.
class TControlsProgress final : public TCommandProgress {
 public:
  TControlsProgress(TMemo& memo, TProgressBar& bar, TStatusBar& status) : FMemo(memo), FBar(bar), FStatus(status) {}
  void clearLog() override { FMemo.clear(); }
  void log(const std::wstring& line) override { FMemo.add(line); }
  void setRange(std::int32_t max) override { FBar.setMax(max); }
  void setPosition(std::int32_t position) override { FBar.setPosition(position); }
  std::int32_t position() const override { return FBar.Position(); }
  void setStatus(const std::wstring& text) override { FStatus.setPanel(0, text); }

 private:
  TMemo& FMemo;
  TProgressBar& FBar;
  TStatusBar& FStatus;
};
