#pragma once
// Text width in the sheet's own font, measured by GDI.
#include <windows.h>

#include <string>

#include "platform/text_metrics.h"

// The sheet's font: "ＭＳ ゴシック", 13 pixels high, Shift-JIS character set.
HFONT createSheetFont();

class TGdiTextMetrics final : public TTextMetrics {
 public:
  TGdiTextMetrics();
  ~TGdiTextMetrics() override;
  TGdiTextMetrics(const TGdiTextMetrics&) = delete;
  TGdiTextMetrics& operator=(const TGdiTextMetrics&) = delete;

  int textWidth(const std::wstring& text) override;

 private:
  HDC FDC = nullptr;
  HFONT FFont = nullptr;
  HGDIOBJ FOldFont = nullptr;
};
