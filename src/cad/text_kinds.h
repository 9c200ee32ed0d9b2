#pragma once
// The object types whose string the program writes and erases. A handle may
// yield any object (a line, a block reference, a text of a kind the program
// does not handle yet); only these are touched.
#include <string>

inline constexpr const wchar_t* kTextObjectName = L"AcDbText";
inline constexpr const wchar_t* kMTextObjectName = L"AcDbMText";

// For a record read as a TEXT or as an MTEXT only an object of the kind that
// was read is its text. An object of the other kind behind the
// handle is not the text the cell was read from, and is never written.
inline bool isWritableText(const std::wstring& objectName, bool isMText) {
  return objectName == (isMText ? kMTextObjectName : kTextObjectName);
}
