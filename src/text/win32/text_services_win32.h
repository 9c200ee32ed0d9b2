#pragma once
// The text services through Windows: LCMapStringW with the system default
// locale for width mapping, CompareStringEx with the user's locale.
#include "text/text_services.h"

class TTextServicesWin32 : public TTextServices {
 public:
  std::wstring toHalfWidth(const std::wstring& text) override;
  std::wstring toFullWidth(const std::wstring& text) override;
  int compareIgnoreCase(const std::wstring& a, const std::wstring& b) override;
};
