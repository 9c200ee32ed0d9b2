#include "sheet/win32/gdi_text_metrics.h"

#include "sheet/line_break_mark.h"

HFONT createSheetFont() {
  LOGFONTW lf{};
  lf.lfHeight = -13;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfWeight = FW_NORMAL;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  wcscpy_s(lf.lfFaceName, L"ＭＳ ゴシック");
  return CreateFontIndirectW(&lf);
}

TGdiTextMetrics::TGdiTextMetrics()
    : FDc(static_cast<HDC>(nullptr)), FFont(createSheetFont()), FSelect(FDc.get(), FFont.get()) {}

int TGdiTextMetrics::textWidth(const std::wstring& text) {
  if (!FDc || text.empty()) {
    return 0;
  }
  // As the sheet shows it: a line break takes the width of its mark.
  const std::wstring shown = textWithMarks(text);
  SIZE size{};
  if (!GetTextExtentPoint32W(FDc.get(), shown.data(), static_cast<int>(shown.size()), &size)) {
    return 0;
  }
  return size.cx;
}
