#pragma once
#include <string>

// Text width in the sheet's font ("ＭＳ ゴシック", 13 pixels, Shift-JIS character set).
class TTextMetrics {
 public:
  virtual ~TTextMetrics() = default;
  virtual int textWidth(const std::wstring& text) = 0;
};
