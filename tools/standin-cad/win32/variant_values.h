#pragma once
// Conversions between automation VARIANTs and the drawing's values: points as
// arrays of three doubles (lower bound 0), coordinate lists, selection
// filters and collection indexes. Malformed input raises TDispatchFault.
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "drawing.h"
#include "server_context.h"

// Fills *out with VT_ARRAY|VT_R8 holding the values.
HRESULT doubleArrayVariant(const std::vector<double>& values, VARIANT* out);
HRESULT pointVariant(const standin::Point& p, VARIANT* out);

// A reply of the shape a fault option names (see server_options.h).
HRESULT malformedVariant(const std::wstring& kind, VARIANT* out);

// Accepts arrays of VT_R8 or of VARIANTs holding numbers, 2 or 3 elements
// (z = 0 when absent), also by reference.
standin::Point readPoint(const VARIANT& v);

// Missing arguments give an empty filter (everything matches).
TSelectionFilter readFilter(const VARIANT& types, const VARIANT& data);

// A collection index: an integer (0-based) or a name.
struct TIndex {
  bool byName = false;
  long number = 0;
  std::wstring name;
};
TIndex readIndex(const VARIANT& v);
