#pragma once
// Reading the CAD's replies out of VARIANTs, and building the arguments it
// takes. A reply of an unexpected shape raises TCadError naming the member; it
// never leads to a read outside the data the server sent.
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cad/cad_ports.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/variant.h"

// Any integer type (VT_I1..VT_I8, VT_UI1..VT_UI8, VT_INT, VT_UINT).
std::int64_t variantInteger(const VARIANT& value, const wchar_t* member);
// An integer that must fit in 32 bits (counts, enumerations).
std::int32_t variantInt32(const VARIANT& value, const wchar_t* member);
// A count of elements: not negative and not beyond kMaxReplyElements.
std::int32_t variantCount(const VARIANT& value, const wchar_t* member);
// The low 32 bits of an integer: window handles and object ids as the program keeps them.
std::int32_t variantLow32(const VARIANT& value, const wchar_t* member);
// VARIANT_BOOL or any integer; non-zero is true.
bool variantBool(const VARIANT& value, const wchar_t* member);
// VT_R8, VT_R4 or any integer.
double variantDouble(const VARIANT& value, const wchar_t* member);
std::wstring variantString(const VARIANT& value, const wchar_t* member);
// A one-dimensional array of exactly 3 doubles.
TPoint3 variantPoint(const VARIANT& value, const wchar_t* member);
// A one-dimensional array of doubles of even length (x0, y0, x1, y1, ...).
std::vector<double> variantVertices(const VARIANT& value, const wchar_t* member);
// A non-null object; the reference is taken from the variant.
TComPtr<IDispatch> variantDispatch(TVariant value, const wchar_t* member);

// VT_ARRAY|VT_R8 of 3, lower bound 0.
TVariant pointVariant(const TPoint3& point);
// VT_ARRAY|VT_I2, lower bound 0.
TVariant shortArrayVariant(const std::vector<std::int16_t>& values);
// VT_ARRAY|VT_VARIANT of VT_BSTR, lower bound 0.
TVariant stringArrayVariant(const std::vector<std::wstring>& values);
