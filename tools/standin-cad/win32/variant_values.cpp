#include "variant_values.h"

#include "platform/utf8.h"
#include "platform/win32/safe_array.h"
#include "platform/win32/variant.h"

namespace {

const VARIANT& deref(const VARIANT& v) {
  if ((v.vt & VT_BYREF) != 0 && (v.vt & ~VT_BYREF) == VT_VARIANT && v.pvarVal != nullptr) {
    return *v.pvarVal;
  }
  return v;
}

// The array inside a VARIANT, by value or by reference; null when there is none.
SAFEARRAY* arrayOf(const VARIANT& v, VARTYPE& elementType) {
  const VARIANT& d = deref(v);
  if ((d.vt & VT_ARRAY) == 0) {
    return nullptr;
  }
  elementType = static_cast<VARTYPE>(d.vt & ~(VT_ARRAY | VT_BYREF));
  if ((d.vt & VT_BYREF) != 0) {
    return d.pparray == nullptr ? nullptr : *d.pparray;
  }
  return d.parray;
}

struct TBounds {
  LONG lower = 0;
  LONG count = 0;
};

TBounds boundsOf(SAFEARRAY* a) {
  if (SafeArrayGetDim(a) != 1) {
    throw TDispatchFault{L"配列は1次元でなければなりません"};
  }
  TBounds b;
  LONG upper = 0;
  SafeArrayGetLBound(a, 1, &b.lower);
  SafeArrayGetUBound(a, 1, &upper);
  b.count = upper - b.lower + 1;
  return b;
}

double toDouble(const VARIANT& v) {
  TVariant converted;
  if (FAILED(VariantChangeType(converted.receive(), const_cast<VARIANT*>(&v), 0, VT_R8))) {
    throw TDispatchFault{L"数値ではありません"};
  }
  return converted.get().dblVal;
}

std::wstring toText(const VARIANT& v) {
  TVariant converted;
  if (FAILED(VariantChangeType(converted.receive(), const_cast<VARIANT*>(&v), 0, VT_BSTR))) {
    throw TDispatchFault{L"文字列ではありません"};
  }
  const BSTR b = converted.get().bstrVal;
  return b == nullptr ? std::wstring() : std::wstring(b, SysStringLen(b));
}

// Every element of a one-dimensional array as a VARIANT of its own.
std::vector<TVariant> elementsOf(const VARIANT& v) {
  VARTYPE type = VT_EMPTY;
  SAFEARRAY* a = arrayOf(v, type);
  if (a == nullptr) {
    throw TDispatchFault{L"配列ではありません"};
  }
  const TBounds b = boundsOf(a);
  std::vector<TVariant> out;
  out.reserve(static_cast<std::size_t>(b.count));
  for (LONG i = b.lower; i < b.lower + b.count; ++i) {
    TVariant e;
    HRESULT hr = S_OK;
    if (type == VT_VARIANT) {
      hr = SafeArrayGetElement(a, &i, e.receive());
    } else if (type == VT_R8 || type == VT_R4 || type == VT_I2 || type == VT_I4 || type == VT_UI1 ||
               type == VT_I8) {
      VARIANT* raw = e.receive();
      raw->vt = type;
      hr = SafeArrayGetElement(a, &i, &raw->llVal);
    } else if (type == VT_BSTR) {
      VARIANT* raw = e.receive();
      BSTR s = nullptr;
      hr = SafeArrayGetElement(a, &i, &s);
      if (SUCCEEDED(hr)) {
        raw->vt = VT_BSTR;
        raw->bstrVal = s;
      }
    } else {
      throw TDispatchFault{L"配列の型が違います"};
    }
    if (FAILED(hr)) {
      throw TDispatchFault{L"配列を読めません"};
    }
    out.push_back(std::move(e));
  }
  return out;
}

bool isMissing(const VARIANT& v) {
  const VARIANT& d = deref(v);
  return d.vt == VT_EMPTY || d.vt == VT_NULL || (d.vt == VT_ERROR && d.scode == DISP_E_PARAMNOTFOUND);
}

}  // namespace

HRESULT doubleArrayVariant(const std::vector<double>& values, VARIANT* out) {
  if (out == nullptr) {
    return E_POINTER;
  }
  TSafeArray a = TSafeArray::create(VT_R8, static_cast<ULONG>(values.size()));
  if (!a) {
    return E_OUTOFMEMORY;
  }
  {
    TSafeArrayAccess access(a.get());
    if (!access.ok()) {
      return E_UNEXPECTED;
    }
    double* d = access.data<double>();
    for (std::size_t i = 0; i < values.size(); ++i) {
      d[i] = values[i];
    }
  }
  VariantInit(out);
  out->vt = VT_ARRAY | VT_R8;
  out->parray = a.detach();
  return S_OK;
}

HRESULT pointVariant(const standin::Point& p, VARIANT* out) {
  return doubleArrayVariant({p.x, p.y, p.z}, out);
}

standin::Point readPoint(const VARIANT& v) {
  const std::vector<TVariant> e = elementsOf(v);
  if (e.size() != 2 && e.size() != 3) {
    throw TDispatchFault{L"点は3つの実数の配列でなければなりません"};
  }
  standin::Point p;
  p.x = toDouble(e[0].get());
  p.y = toDouble(e[1].get());
  p.z = e.size() == 3 ? toDouble(e[2].get()) : 0.0;
  return p;
}

TSelectionFilter readFilter(const VARIANT& types, const VARIANT& data) {
  TSelectionFilter f;
  if (isMissing(types) && isMissing(data)) {
    return f;
  }
  if (isMissing(types) || isMissing(data)) {
    throw TDispatchFault{L"フィルタの型とデータは対で指定してください"};
  }
  const std::vector<TVariant> codes = elementsOf(types);
  const std::vector<TVariant> values = elementsOf(data);
  if (codes.size() != values.size()) {
    throw TDispatchFault{L"フィルタの型とデータの数が違います"};
  }
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const double code = toDouble(codes[i].get());
    if (code < -32768 || code > 32767) {
      throw TDispatchFault{L"フィルタの型が範囲外です"};
    }
    f.codes.push_back(static_cast<short>(code));
    f.values.push_back(toText(values[i].get()));
  }
  // The CAD refuses a filter whose brackets do not pair up rather than guess where they end.
  std::string error;
  if (!standin::isValidFilter(f.codes, f.values, &error)) {
    throw TDispatchFault{L"フィルタが不正です: " + fromUtf8(error)};
  }
  return f;
}

TIndex readIndex(const VARIANT& v) {
  const VARIANT& d = deref(v);
  TIndex index;
  if (d.vt == VT_BSTR) {
    index.byName = true;
    index.name = d.bstrVal == nullptr ? std::wstring() : std::wstring(d.bstrVal, SysStringLen(d.bstrVal));
    return index;
  }
  TVariant converted;
  if (FAILED(VariantChangeType(converted.receive(), const_cast<VARIANT*>(&d), 0, VT_I4))) {
    throw TDispatchFault{L"インデックスが不正です"};
  }
  index.number = converted.get().lVal;
  return index;
}

HRESULT malformedVariant(const std::wstring& kind, VARIANT* out) {
  VariantClear(out);
  if (kind == L"wrongtype") {
    out->vt = VT_BSTR;
    out->bstrVal = SysAllocString(L"not what was asked");
    return S_OK;
  }
  if (kind == L"billion") {
    out->vt = VT_I4;
    out->lVal = 1'000'000'000;
    return S_OK;
  }
  if (kind == L"2d") {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    SAFEARRAY* array = SafeArrayCreate(VT_R8, 2, bounds);
    if (array == nullptr) {
      return E_OUTOFMEMORY;
    }
    out->vt = VT_ARRAY | VT_R8;
    out->parray = array;
    return S_OK;
  }
  const std::size_t size = kind == L"point2" ? 2 : kind == L"point4" ? 4 : kind == L"odd" ? 3 : 0;
  return doubleArrayVariant(std::vector<double>(size, 1.0), out);
}
