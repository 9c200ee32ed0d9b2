#include "cad/drawing_identity.h"

#include <algorithm>
#include <cwctype>

namespace {

// Windows file names, and the CAD's document names after them, ignore case.
bool sameName(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return std::towupper(static_cast<wint_t>(x)) == std::towupper(static_cast<wint_t>(y));
         });
}

}  // namespace

TDrawingIdentity readDrawingIdentity(TCadDocument& document, const std::wstring& documentName) {
  TDrawingIdentity identity;
  identity.documentName = documentName;
  identity.name = document.FullName();
  if (identity.name.empty()) {
    identity.name = documentName;
    identity.byFullName = false;
  }
  return identity;
}

TDrawingCheck checkDrawing(TCadDocument& document, const TDrawingIdentity& recorded) {
  TDrawingCheck check;
  check.active = recorded.byFullName ? document.FullName() : document.Name();
  check.same = recorded.known() && sameName(check.active, recorded.name);
  return check;
}
