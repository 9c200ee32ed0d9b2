#include "sheet/win32/gdi_text_metrics.h"

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
    : FDC(CreateCompatibleDC(nullptr)), FFont(createSheetFont()) {
  if (FDC != nullptr && FFont != nullptr) {
    FOldFont = SelectObject(FDC, FFont);
  }
}

TGdiTextMetrics::~TGdiTextMetrics() {
  if (FDC != nullptr) {
    if (FOldFont != nullptr) {
      SelectObject(FDC, FOldFont);
    }
    DeleteDC(FDC);
  }
  if (FFont != nullptr) {
    DeleteObject(FFont);
  }
}

int TGdiTextMetrics::textWidth(const std::wstring& text) {
  if (FDC == nullptr || text.empty()) {
    return 0;
  }
  SIZE size{};
  if (!GetTextExtentPoint32W(FDC, text.data(), static_cast<int>(text.size()), &size)) {
    return 0;
  }
  return size.cx;
}
