#pragma once
// The object types whose string the program writes and erases. A handle may
// yield any object (a line, a block reference, a text of a kind the program
// does not handle yet); only these are touched.
#include <string>

inline bool isWritableText(const std::wstring& objectName) { return objectName == L"AcDbText"; }
