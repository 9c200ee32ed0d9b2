#include "array_value.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <string>

#include "dispatch_server.h"
#include "platform/win32/bstr.h"
#include "platform/win32/safe_array.h"
#include "platform/win32/variant.h"

namespace {

const VARIANT& pastReference(const VARIANT& value) {
  const VARIANT* v = &value;
  while (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal != nullptr) v = v->pvarVal;
  return *v;
}

SAFEARRAY* arrayOf(const VARIANT& v) {
  if ((v.vt & VT_ARRAY) == 0) return nullptr;
  if ((v.vt & VT_BYREF) != 0) return v.pparray == nullptr ? nullptr : *v.pparray;
  return v.parray;
}

std::wstring textOf(const VARIANT& v) {
  const VARIANT& value = pastReference(v);
  if (value.vt == VT_EMPTY || value.vt == VT_NULL) return std::wstring();
  if (value.vt == VT_BSTR) {
    return value.bstrVal == nullptr ? std::wstring() : std::wstring(value.bstrVal, SysStringLen(value.bstrVal));
  }
  TVariant text;
  if (FAILED(VariantChangeType(text.receive(), const_cast<VARIANT*>(&value), VARIANT_ALPHABOOL, VT_BSTR))) {
    throw TExcelFault{L"", DISP_E_TYPEMISMATCH};
  }
  return textOf(text.get());
}

struct TArrayShape {
  LONG rowLow = 0, rowHigh = -1, colLow = 0, colHigh = -1;
};

TArrayShape shapeOf(SAFEARRAY* array) {
  TArrayShape s;
  if (SafeArrayGetDim(array) != 2 || FAILED(SafeArrayGetLBound(array, 1, &s.rowLow)) ||
      FAILED(SafeArrayGetUBound(array, 1, &s.rowHigh)) || FAILED(SafeArrayGetLBound(array, 2, &s.colLow)) ||
      FAILED(SafeArrayGetUBound(array, 2, &s.colHigh))) {
    throw TExcelFault{L"", DISP_E_TYPEMISMATCH};
  }
  return s;
}

}  // namespace

TValueBlock valueBlock(const VARIANT& assigned, std::int32_t rangeRows, std::int32_t rangeCols) {
  const VARIANT& value = pastReference(assigned);
  SAFEARRAY* array = arrayOf(value);
  if (array == nullptr) {
    if ((value.vt & VT_ARRAY) != 0) throw TExcelFault{L"", DISP_E_TYPEMISMATCH};
    // One value for every cell of the range.
    TValueBlock block{rangeRows, rangeCols, {}};
    block.texts.assign(static_cast<std::size_t>(rangeRows) * static_cast<std::size_t>(rangeCols), textOf(value));
    return block;
  }
  VARTYPE element = VT_EMPTY;
  if (FAILED(SafeArrayGetVartype(array, &element)) || (element != VT_VARIANT && element != VT_BSTR)) {
    throw TExcelFault{L"", DISP_E_TYPEMISMATCH};
  }
  const TArrayShape s = shapeOf(array);
  // Only the part that lands in the range is read; the rest is dropped.
  const std::int32_t rows = static_cast<std::int32_t>(std::min<LONGLONG>(LONGLONG{s.rowHigh} - s.rowLow + 1, rangeRows));
  const std::int32_t cols = static_cast<std::int32_t>(std::min<LONGLONG>(LONGLONG{s.colHigh} - s.colLow + 1, rangeCols));
  TValueBlock block{std::max(rows, 0), std::max(cols, 0), {}};
  block.texts.reserve(static_cast<std::size_t>(block.rows) * static_cast<std::size_t>(block.cols));
  for (std::int32_t r = 0; r < block.rows; ++r) {
    for (std::int32_t c = 0; c < block.cols; ++c) {
      LONG index[2] = {s.rowLow + r, s.colLow + c};
      if (element == VT_BSTR) {
        BSTR raw = nullptr;
        if (FAILED(SafeArrayGetElement(array, index, &raw))) throw TExcelFault{L"", DISP_E_BADINDEX};
        const TBstr text = TBstr::attach(raw);
        block.texts.push_back(text.str());
      } else {
        TVariant cell;
        if (FAILED(SafeArrayGetElement(array, index, cell.receive()))) throw TExcelFault{L"", DISP_E_BADINDEX};
        block.texts.push_back(textOf(cell.get()));
      }
    }
  }
  return block;
}

VARIANT rangeValue(const TTypedBlock& block) {
  const auto cellVariant = [](const TCellValue& cell) {
    TVariant out;
    VARIANT& v = *out.receive();
    switch (cell.kind) {
      case TCellKind::Empty:
        break;
      case TCellKind::Text:
        return TVariant::fromString(cell.text);
      case TCellKind::Number:
        v.vt = VT_R8;
        v.dblVal = cell.number;
        break;
      case TCellKind::Date:
        v.vt = VT_DATE;
        v.date = cell.number;
        break;
      case TCellKind::Bool:
        v.vt = VT_BOOL;
        v.boolVal = cell.number != 0.0 ? VARIANT_TRUE : VARIANT_FALSE;
        break;
      case TCellKind::Error:
        // Excel's errors travel as 0x800A0000 plus the error's number.
        v.vt = VT_ERROR;
        v.scode = static_cast<SCODE>(0x800A0000u | static_cast<std::uint32_t>(cell.number));
        break;
    }
    return out;
  };
  if (block.rows == 1 && block.cols == 1) return cellVariant(block.at(0, 0)).release();
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(block.rows), 1}, {static_cast<ULONG>(block.cols), 1}};
  TSafeArray array = TSafeArray::attach(SafeArrayCreate(VT_VARIANT, 2, bounds));
  if (!array) throw std::bad_alloc();
  for (std::int32_t r = 0; r < block.rows; ++r) {
    for (std::int32_t c = 0; c < block.cols; ++c) {
      LONG index[2] = {r + 1, c + 1};
      TVariant cell = cellVariant(block.at(r, c));
      if (FAILED(SafeArrayPutElement(array.get(), index, cell.ptr()))) throw std::bad_alloc();
    }
  }
  return TVariant::fromArray(VT_VARIANT, array.detach()).release();
}

std::wstring describeValue(const VARIANT& assigned) {
  const bool byRef = (assigned.vt & VT_BYREF) != 0;
  const VARIANT& value = pastReference(assigned);
  SAFEARRAY* array = arrayOf(value);
  std::wstring shape = L"scalar";
  if (array != nullptr && SafeArrayGetDim(array) == 2) {
    try {
      const TArrayShape s = shapeOf(array);
      shape = std::to_wstring(s.rowHigh - s.rowLow + 1) + L"x" + std::to_wstring(s.colHigh - s.colLow + 1);
    } catch (const TExcelFault&) {
    }
  } else if (array != nullptr) {
    shape = std::to_wstring(SafeArrayGetDim(array)) + L"-d";
  }
  return shape + (byRef || (value.vt & VT_BYREF) != 0 ? L" byref" : L"");
}
