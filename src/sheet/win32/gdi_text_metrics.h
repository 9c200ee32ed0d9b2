#pragma once
// Text width in the sheet's own font, measured by GDI.
#include <windows.h>

#include <string>

#include "platform/text_metrics.h"
#include "platform/win32/handle_owners.h"

// The sheet's font: "ＭＳ ゴシック", 13 pixels high, Shift-JIS character set.
HFONT createSheetFont();

class TGdiTextMetrics final : public TTextMetrics {
 public:
  TGdiTextMetrics();
  TGdiTextMetrics(const TGdiTextMetrics&) = delete;
  TGdiTextMetrics& operator=(const TGdiTextMetrics&) = delete;

  int textWidth(const std::wstring& text) override;

 private:
  TMemoryDc FDc;
  TGdiObject<HFONT> FFont;
  TSelectScope FSelect;  // declared last: the font is deselected before either goes
};
