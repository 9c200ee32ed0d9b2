#pragma once
// The text services without a platform: the narrow and wide forms that
// Windows' width mapping gives for ASCII, the Latin-1 signs, the symbols and
// katakana of the half-width forms block and the Hangul letters, composed and
// decomposed voiced katakana included; comparison by code unit after case
// folding.
#include "text/text_services.h"

class TPortableTextServices : public TTextServices {
 public:
  std::wstring toHalfWidth(const std::wstring& text) override;
  std::wstring toFullWidth(const std::wstring& text) override;
  int compareIgnoreCase(const std::wstring& a, const std::wstring& b) override;
};
