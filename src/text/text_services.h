#pragma once
// What the text tools ask of the platform's text services: width mapping of
// whole texts and the user's locale-aware comparison.
#include <string>

class TTextServices {
 public:
  virtual ~TTextServices() = default;
  // Every character with a narrow form replaced by it, every other kept
  // (Windows: LCMapStringW, LCMAP_HALFWIDTH, the system default locale).
  virtual std::wstring toHalfWidth(const std::wstring& text) = 0;
  // Every character with a wide form replaced by it (LCMAP_FULLWIDTH).
  virtual std::wstring toFullWidth(const std::wstring& text) = 0;
  // Negative, 0 or positive as a sorts before, with or after b in the user's
  // locale, ignoring case (Windows: CompareStringEx, NORM_IGNORECASE).
  virtual int compareIgnoreCase(const std::wstring& a, const std::wstring& b) = 0;
};
