#include "export/win32/excel_values_win32.h"

#include <oleauto.h>

#include <cstdint>
#include <string>

#include "export/excel_ports.h"
#include "platform/errors.h"
#include "platform/win32/bstr.h"
#include "platform/win32/reply_count.h"
#include "platform/win32/safe_array.h"
#include "platform/win32/variant.h"

namespace {

[[noreturn]] void wrongShape(const std::wstring& detail) {
  throw TExcelShapeError(L"Excel の応答が不正です (Value: " + detail + L")");
}

[[noreturn]] void badElement(VARTYPE vt) {
  throw TAutomationError(L"Excel の応答が不正です (Value: VARTYPE " + std::to_wstring(vt) + L")");
}

TExcelValue valueOf(const VARIANT& v) {
  switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL: return {};
    case VT_BSTR: return TExcelValue::string(TBstr::toString(v.bstrVal));
    case VT_R8: return TExcelValue::numeric(v.dblVal);
    case VT_R4: return TExcelValue::numeric(v.fltVal);
    case VT_I2: return TExcelValue::numeric(v.iVal);
    case VT_I4: return TExcelValue::numeric(v.lVal);
    case VT_INT: return TExcelValue::numeric(v.intVal);
    // Currency is a 64-bit count of ten-thousandths.
    case VT_CY: return TExcelValue::numeric(static_cast<double>(v.cyVal.int64) / 10000.0);
    case VT_DATE: return TExcelValue::date(v.date);
    case VT_BOOL: return TExcelValue::logical(v.boolVal != VARIANT_FALSE);
    case VT_ERROR: return TExcelValue::errorCode(static_cast<std::int32_t>(v.scode));
    default: badElement(v.vt);
  }
}

TExcelValues blockOf(SAFEARRAY* array) {
  if (array == nullptr) {
    wrongShape(L"null array");
  }
  if (SafeArrayGetDim(array) != 2) {
    wrongShape(L"array of rank " + std::to_wstring(SafeArrayGetDim(array)));
  }
  // The element size is what the data is read with: a mismatch would read past the block.
  if (array->cbElements != sizeof(VARIANT)) {
    wrongShape(L"element size " + std::to_wstring(array->cbElements));
  }
  LONG low[2] = {};
  LONG high[2] = {};
  for (UINT d = 0; d < 2; ++d) {
    if (FAILED(SafeArrayGetLBound(array, d + 1, &low[d])) || FAILED(SafeArrayGetUBound(array, d + 1, &high[d]))) {
      wrongShape(L"bounds cannot be read");
    }
  }
  const std::int64_t rows = static_cast<std::int64_t>(high[0]) - low[0] + 1;
  const std::int64_t cols = static_cast<std::int64_t>(high[1]) - low[1] + 1;
  if (rows < 0 || cols < 0) {
    wrongShape(L"negative bounds");
  }
  checkedReplyCount(rows * cols, L"Value");
  TExcelValues values(static_cast<std::int32_t>(rows), static_cast<std::int32_t>(cols));
  if (rows == 0 || cols == 0) {
    return values;
  }
  const TSafeArrayAccess access(array);
  if (!access.ok()) {
    wrongShape(L"array data cannot be accessed");
  }
  // The first index runs fastest in the data: column after column.
  const VARIANT* element = access.data<VARIANT>();
  for (std::int32_t c = 1; c <= values.cols(); ++c) {
    for (std::int32_t r = 1; r <= values.rows(); ++r, ++element) {
      values.at(r, c) = valueOf(*element);
    }
  }
  return values;
}

}  // namespace

TExcelValues excelValuesOf(const VARIANT& reply) {
  TVariant holder;
  const VARIANT* v = &reply;
  if ((reply.vt & VT_BYREF) != 0) {
    if (reply.byref == nullptr || FAILED(VariantCopyInd(holder.receive(), const_cast<VARIANT*>(&reply)))) {
      wrongShape(L"by-reference value cannot be read");
    }
    v = &holder.get();
  }
  if ((v->vt & VT_ARRAY) != 0) {
    if ((v->vt & VT_TYPEMASK) != VT_VARIANT) {
      wrongShape(L"array of VARTYPE " + std::to_wstring(v->vt & VT_TYPEMASK));
    }
    return blockOf(v->parray);
  }
  // A one-cell range answers with the value itself.
  TExcelValues one(1, 1);
  one.at(1, 1) = valueOf(*v);
  return one;
}
