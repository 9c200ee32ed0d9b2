#include "platform/win32/variant_decode.h"

#include <algorithm>
#include <limits>

#include "platform/errors.h"
#include "platform/win32/bstr.h"
#include "platform/win32/reply_count.h"
#include "platform/win32/safe_array.h"

namespace {

[[noreturn]] void badReply(const TReplyOf& of, const std::wstring& detail) {
  throw TAutomationError(std::wstring(of.server) + L" の応答が不正です (" + of.member + L": " + detail + L")");
}

std::wstring typeName(VARTYPE vt) { return L"VARTYPE " + std::to_wstring(vt); }

// A by-reference reply is read through its target; `holder` keeps the copy alive.
const VARIANT& direct(const VARIANT& value, TVariant& holder, const TReplyOf& of) {
  if ((value.vt & VT_BYREF) == 0) {
    return value;
  }
  // VariantCopyInd reads through the reference without looking at it first.
  if (value.byref == nullptr) {
    badReply(of, L"null reference");
  }
  if (FAILED(VariantCopyInd(holder.receive(), const_cast<VARIANT*>(&value)))) {
    badReply(of, L"by-reference value cannot be read");
  }
  return holder.get();
}

bool integerOf(const VARIANT& v, std::int64_t& out) {
  switch (v.vt) {
    case VT_I1: out = v.cVal; return true;
    case VT_I2: out = v.iVal; return true;
    case VT_I4: out = v.lVal; return true;
    case VT_I8: out = v.llVal; return true;
    case VT_INT: out = v.intVal; return true;
    case VT_UI1: out = v.bVal; return true;
    case VT_UI2: out = v.uiVal; return true;
    case VT_UI4: out = v.ulVal; return true;
    case VT_UINT: out = v.uintVal; return true;
    case VT_UI8:
      if (v.ullVal > static_cast<ULONGLONG>(std::numeric_limits<std::int64_t>::max())) {
        return false;
      }
      out = static_cast<std::int64_t>(v.ullVal);
      return true;
    default:
      return false;
  }
}

// The array inside a VT_ARRAY reply, checked to be one-dimensional with
// elements of `elementType`; `count` is its length.
SAFEARRAY* vectorOf(const VARIANT& v, VARTYPE elementType, const TReplyOf& of, ULONG& count) {
  if ((v.vt & VT_ARRAY) == 0 || (v.vt & VT_TYPEMASK) != elementType) {
    badReply(of, L"expected an array, got " + typeName(v.vt));
  }
  SAFEARRAY* array = v.parray;
  if (array == nullptr) {
    badReply(of, L"null array");
  }
  if (SafeArrayGetDim(array) != 1) {
    badReply(of, L"array of rank " + std::to_wstring(SafeArrayGetDim(array)));
  }
  ULONG expectedSize = 0;
  switch (elementType) {
    case VT_R8: expectedSize = sizeof(double); break;
    case VT_R4: expectedSize = sizeof(float); break;
    case VT_VARIANT: expectedSize = sizeof(VARIANT); break;
    default: break;
  }
  // The element size is what the data is read with: a mismatch would read past the block.
  if (array->cbElements != expectedSize) {
    badReply(of, L"element size " + std::to_wstring(array->cbElements));
  }
  // Where the array records its element type, it must be the one the reply
  // names: 8-byte integers read as doubles would be plainly wrong values.
  VARTYPE stored = VT_EMPTY;
  if (SUCCEEDED(SafeArrayGetVartype(array, &stored)) && stored != elementType) {
    badReply(of, L"array of " + typeName(stored));
  }
  count = array->rgsabound[0].cElements;
  checkedReplyCount(count, of.member);
  return array;
}

std::vector<double> doublesOf(const VARIANT& value, const TReplyOf& of) {
  TVariant holder;
  const VARIANT& v = direct(value, holder, of);
  const VARTYPE element = static_cast<VARTYPE>(v.vt & VT_TYPEMASK);
  if (element != VT_R8 && element != VT_R4 && element != VT_VARIANT) {
    badReply(of, L"expected an array of numbers, got " + typeName(v.vt));
  }
  ULONG count = 0;
  SAFEARRAY* array = vectorOf(v, element, of, count);
  std::vector<double> out;
  if (count == 0) {
    return out;
  }
  const TSafeArrayAccess access(array);
  if (!access.ok()) {
    badReply(of, L"array data cannot be accessed");
  }
  out.reserve(count);
  for (ULONG i = 0; i < count; ++i) {
    if (element == VT_R8) {
      out.push_back(access.data<double>()[i]);
    } else if (element == VT_R4) {
      out.push_back(access.data<float>()[i]);
    } else {
      out.push_back(variantDouble(access.data<VARIANT>()[i], of));
    }
  }
  return out;
}

}  // namespace

std::int64_t variantInteger(const VARIANT& value, const TReplyOf& of) {
  TVariant holder;
  const VARIANT& v = direct(value, holder, of);
  std::int64_t out = 0;
  if (!integerOf(v, out)) {
    badReply(of, L"expected an integer, got " + typeName(v.vt));
  }
  return out;
}

std::int32_t variantInt32(const VARIANT& value, const TReplyOf& of) {
  const std::int64_t wide = variantInteger(value, of);
  if (wide < std::numeric_limits<std::int32_t>::min() || wide > std::numeric_limits<std::int32_t>::max()) {
    badReply(of, L"integer out of range " + std::to_wstring(wide));
  }
  return static_cast<std::int32_t>(wide);
}

std::int32_t variantCount(const VARIANT& value, const TReplyOf& of) {
  return static_cast<std::int32_t>(checkedReplyCount(variantInteger(value, of), of.member));
}

std::int32_t variantLow32(const VARIANT& value, const TReplyOf& of) {
  const std::int64_t wide = variantInteger(value, of);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide) & 0xFFFFFFFFu));
}

bool variantBool(const VARIANT& value, const TReplyOf& of) {
  TVariant holder;
  const VARIANT& v = direct(value, holder, of);
  if (v.vt == VT_BOOL) {
    return v.boolVal != VARIANT_FALSE;
  }
  std::int64_t out = 0;
  if (!integerOf(v, out)) {
    badReply(of, L"expected a boolean, got " + typeName(v.vt));
  }
  return out != 0;
}

double variantDouble(const VARIANT& value, const TReplyOf& of) {
  TVariant holder;
  const VARIANT& v = direct(value, holder, of);
  if (v.vt == VT_R8) {
    return v.dblVal;
  }
  if (v.vt == VT_R4) {
    return v.fltVal;
  }
  std::int64_t out = 0;
  if (!integerOf(v, out)) {
    badReply(of, L"expected a number, got " + typeName(v.vt));
  }
  return static_cast<double>(out);
}

std::wstring variantString(const VARIANT& value, const TReplyOf& of) {
  TVariant holder;
  const VARIANT& v = direct(value, holder, of);
  if (v.vt != VT_BSTR) {
    badReply(of, L"expected a string, got " + typeName(v.vt));
  }
  return TBstr::toString(v.bstrVal);
}

std::array<double, 3> variantPoint(const VARIANT& value, const TReplyOf& of) {
  const std::vector<double> values = doublesOf(value, of);
  if (values.size() != 3) {
    badReply(of, L"a point of " + std::to_wstring(values.size()) + L" values");
  }
  return std::array<double, 3>{values[0], values[1], values[2]};
}

std::vector<double> variantVertices(const VARIANT& value, const TReplyOf& of) {
  std::vector<double> values = doublesOf(value, of);
  if (values.size() % 2 != 0) {
    badReply(of, L"odd number of coordinates " + std::to_wstring(values.size()));
  }
  return values;
}

TComPtr<IDispatch> variantDispatch(TVariant value, const TReplyOf& of) {
  TVariant holder;
  const VARIANT& v = direct(value.get(), holder, of);
  IUnknown* object = nullptr;
  if (v.vt == VT_DISPATCH) {
    object = v.pdispVal;
  } else if (v.vt == VT_UNKNOWN) {
    object = v.punkVal;
  } else {
    badReply(of, L"expected an object, got " + typeName(v.vt));
  }
  if (object == nullptr) {
    badReply(of, L"null object");
  }
  TComPtr<IDispatch> out;
  if (v.vt == VT_DISPATCH) {
    out = TComPtr<IDispatch>::share(v.pdispVal);
  } else if (FAILED(object->QueryInterface(IID_IDispatch, out.receiveVoid())) || !out) {
    badReply(of, L"object without IDispatch");
  }
  return out;
}

namespace {

// A one-dimensional array of `count` plain values of `vt`, lower bound 0.
template <class T>
TVariant plainArrayVariant(VARTYPE vt, const T* values, std::size_t count) {
  TSafeArray array = TSafeArray::create(vt, static_cast<ULONG>(count));
  if (!array) {
    throw std::bad_alloc();
  }
  if (count > 0) {
    const TSafeArrayAccess access(array.get());
    if (!access.ok()) {
      throw std::bad_alloc();
    }
    std::copy(values, values + count, access.data<T>());
  }
  return TVariant::fromArray(vt, array.detach());
}

}  // namespace

TVariant pointVariant(const std::array<double, 3>& point) {
  return plainArrayVariant<double>(VT_R8, point.data(), point.size());
}

TVariant shortArrayVariant(const std::vector<std::int16_t>& values) {
  return plainArrayVariant<SHORT>(VT_I2, values.data(), values.size());
}

TVariant stringArrayVariant(const std::vector<std::wstring>& values) {
  TSafeArray array = TSafeArray::create(VT_VARIANT, static_cast<ULONG>(values.size()));
  if (!array) {
    throw std::bad_alloc();
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    // SafeArrayPutElement copies the variant; ours is cleared when it goes.
    TVariant element = TVariant::fromString(values[i]);
    LONG index = static_cast<LONG>(i);
    if (FAILED(SafeArrayPutElement(array.get(), &index, element.ptr()))) {
      throw std::bad_alloc();
    }
  }
  return TVariant::fromArray(VT_VARIANT, array.detach());
}
