#pragma once
// Reading an automation server's replies out of VARIANTs, and building the
// arguments it takes. A reply of an unexpected type, shape or size raises
// TAutomationError naming the server and the member; it never leads to a
// read outside the data the server sent.
#include <windows.h>
#include <oaidl.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/com_ptr.h"
#include "platform/win32/variant.h"

// Whose reply is read, for the message of one that cannot be:
// "CAD の応答が不正です (Count: ...)".
struct TReplyOf {
  std::wstring_view server;
  const wchar_t* member = L"";
};

// Any integer type (VT_I1..VT_I8, VT_UI1..VT_UI8, VT_INT, VT_UINT).
std::int64_t variantInteger(const VARIANT& value, const TReplyOf& of);
// An integer that must fit in 32 bits (counts, enumerations).
std::int32_t variantInt32(const VARIANT& value, const TReplyOf& of);
// A count of elements: not negative and not beyond kMaxReplyElements.
std::int32_t variantCount(const VARIANT& value, const TReplyOf& of);
// The low 32 bits of an integer: window handles and object ids as the program keeps them.
std::int32_t variantLow32(const VARIANT& value, const TReplyOf& of);
// VARIANT_BOOL or any integer; non-zero is true.
bool variantBool(const VARIANT& value, const TReplyOf& of);
// VT_R8, VT_R4 or any integer.
double variantDouble(const VARIANT& value, const TReplyOf& of);
std::wstring variantString(const VARIANT& value, const TReplyOf& of);
// A one-dimensional array of exactly 3 doubles.
std::array<double, 3> variantPoint(const VARIANT& value, const TReplyOf& of);
// A one-dimensional array of doubles of even length (x0, y0, x1, y1, ...).
std::vector<double> variantVertices(const VARIANT& value, const TReplyOf& of);
// A non-null object; the reference is taken from the variant.
TComPtr<IDispatch> variantDispatch(TVariant value, const TReplyOf& of);

// VT_ARRAY|VT_R8 of 3, lower bound 0.
TVariant pointVariant(const std::array<double, 3>& point);
// VT_ARRAY|VT_I2, lower bound 0.
TVariant shortArrayVariant(const std::vector<std::int16_t>& values);
// VT_ARRAY|VT_VARIANT of VT_BSTR, lower bound 0.
TVariant stringArrayVariant(const std::vector<std::wstring>& values);
