// The fuzz build's OLE Automation: see ole_shim.h.
#include <cstdlib>
#include <cwchar>
#include <limits>
#include <new>
#include <unordered_map>

#include "ole_shim_testing.h"

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace {

// Kept in front of every descriptor, as Windows keeps the element type there.
struct alignas(16) TArrayPrefix {
  VARTYPE vt = VT_EMPTY;
  bool claimed = false;  // the bounds claim more than the data holds
};

std::unordered_map<const SAFEARRAY*, bool>& liveArrays() {
  static std::unordered_map<const SAFEARRAY*, bool> arrays;
  return arrays;
}
std::size_t gLiveStrings = 0;

// A fault the real functions would turn into heap corruption: stop here.
[[noreturn]] void corrupt() { __builtin_trap(); }

TArrayPrefix& prefixOf(SAFEARRAY* array) {
  if (liveArrays().count(array) == 0) corrupt();  // freed, or never an array
  return *reinterpret_cast<TArrayPrefix*>(reinterpret_cast<char*>(array) - sizeof(TArrayPrefix));
}

std::size_t elementSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_R4: case VT_INT: case VT_UINT: case VT_ERROR: return 4;
    case VT_R8: case VT_I8: case VT_UI8: case VT_CY: case VT_DATE: return 8;
    case VT_BSTR: case VT_DISPATCH: case VT_UNKNOWN: return sizeof(void*);
    case VT_DECIMAL: return sizeof(DECIMAL);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return 0;
  }
}

USHORT featuresOf(VARTYPE vt) {
  switch (vt) {
    case VT_BSTR: return FADF_BSTR;
    case VT_DISPATCH: return FADF_DISPATCH | FADF_HAVEIID;
    case VT_UNKNOWN: return FADF_UNKNOWN | FADF_HAVEIID;
    case VT_VARIANT: return FADF_VARIANT;
    default: return FADF_HAVEVARTYPE;
  }
}

// The type a variant may hold without a reference (VT_ARRAY aside).
bool plainType(VARTYPE vt) {
  return vt == VT_EMPTY || vt == VT_NULL || (elementSize(vt) != 0 && vt != VT_VARIANT);
}

bool validVariantType(VARTYPE vt) {
  const VARTYPE base = vt & VT_TYPEMASK;
  if ((vt & ~(VT_TYPEMASK | VT_ARRAY | VT_BYREF)) != 0) return false;
  if ((vt & VT_ARRAY) != 0) return elementSize(base) != 0;
  if ((vt & VT_BYREF) != 0) return base == VT_VARIANT || (plainType(base) && base != VT_EMPTY && base != VT_NULL);
  return plainType(base);
}

std::size_t elementCount(const SAFEARRAY* array) {
  std::size_t count = 1;
  for (USHORT d = 0; d < array->cDims; ++d) count *= array->rgsabound[d].cElements;
  return count;
}

SAFEARRAY* allocateDescriptor(VARTYPE vt, UINT dims, bool claimed) {
  const std::size_t bytes = sizeof(TArrayPrefix) + sizeof(SAFEARRAY) + (dims - 1) * sizeof(SAFEARRAYBOUND);
  char* raw = static_cast<char*>(std::calloc(1, bytes));
  if (raw == nullptr) return nullptr;
  new (raw) TArrayPrefix{vt, claimed};
  SAFEARRAY* array = reinterpret_cast<SAFEARRAY*>(raw + sizeof(TArrayPrefix));
  array->cDims = static_cast<USHORT>(dims);
  array->fFeatures = featuresOf(vt);
  array->cbElements = static_cast<ULONG>(elementSize(vt));
  liveArrays()[array] = true;
  return array;
}

void freeDescriptor(SAFEARRAY* array) {
  liveArrays().erase(array);
  std::free(reinterpret_cast<char*>(array) - sizeof(TArrayPrefix));
}

// Releases what the elements own (strings, references, variants' contents).
void releaseElements(SAFEARRAY* array, std::size_t count) {
  char* data = static_cast<char*>(array->pvData);
  for (std::size_t i = 0; i < count; ++i) {
    void* element = data + i * array->cbElements;
    if (array->fFeatures & FADF_BSTR) {
      SysFreeString(*static_cast<BSTR*>(element));
    } else if (array->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
      if (IUnknown* object = *static_cast<IUnknown**>(element)) object->Release();
    } else if (array->fFeatures & FADF_VARIANT) {
      VariantClear(static_cast<VARIANT*>(element));
    }
  }
}

// Copies one element into a slot that holds nothing of its own yet.
HRESULT copyElement(const SAFEARRAY* array, void* to, const void* from) {
  if (array->fFeatures & FADF_BSTR) {
    const BSTR text = *static_cast<const BSTR*>(from);
    BSTR copy = nullptr;
    if (text != nullptr && (copy = SysAllocStringLen(text, SysStringLen(text))) == nullptr) return E_OUTOFMEMORY;
    *static_cast<BSTR*>(to) = copy;
  } else if (array->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
    IUnknown* object = *static_cast<IUnknown* const*>(from);
    if (object != nullptr) object->AddRef();
    *static_cast<IUnknown**>(to) = object;
  } else if (array->fFeatures & FADF_VARIANT) {
    VariantInit(static_cast<VARIANT*>(to));
    return VariantCopy(static_cast<VARIANT*>(to), static_cast<const VARIANT*>(from));
  } else {
    std::memcpy(to, from, array->cbElements);
  }
  return S_OK;
}

// The element at `indices` (leftmost dimension first), or nullptr out of bounds.
void* elementAt(SAFEARRAY* array, const LONG* indices) {
  std::size_t offset = 0;
  std::size_t stride = 1;
  for (USHORT d = 0; d < array->cDims; ++d) {
    // Dimension d of the caller is the (cDims - 1 - d)th bound stored.
    const SAFEARRAYBOUND& bound = array->rgsabound[array->cDims - 1 - d];
    const std::int64_t at = std::int64_t{indices[d]} - bound.lLbound;
    if (at < 0 || at >= std::int64_t{bound.cElements}) return nullptr;
    offset += static_cast<std::size_t>(at) * stride;
    stride *= bound.cElements;
  }
  return static_cast<char*>(array->pvData) + offset * array->cbElements;
}

}  // namespace

std::size_t oleShimLiveArrays() { return liveArrays().size(); }
std::size_t oleShimLiveStrings() { return gLiveStrings; }
std::size_t oleShimLockedArrays() {
  std::size_t locked = 0;
  for (const auto& [array, alive] : liveArrays()) locked += array->cLocks != 0 ? 1 : 0;
  return locked;
}

SAFEARRAY* oleShimClaimedArray(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds) {
  if (elementSize(vt) == 0 || dims == 0 || dims > 60) return nullptr;
  SAFEARRAY* array = allocateDescriptor(vt, dims, true);
  if (array == nullptr) return nullptr;
  for (UINT d = 0; d < dims; ++d) array->rgsabound[d] = bounds[dims - 1 - d];
  array->pvData = std::calloc(1, array->cbElements);
  return array;
}

void VariantInit(VARIANT* v) {
  std::memset(v, 0, sizeof(VARIANT));
  v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* v) {
  if (v == nullptr) return E_INVALIDARG;
  if (!validVariantType(v->vt)) return DISP_E_BADVARTYPE;
  if ((v->vt & VT_BYREF) == 0) {
    if (v->vt & VT_ARRAY) {
      const HRESULT hr = SafeArrayDestroy(v->parray);
      if (FAILED(hr)) return hr;
    } else if (v->vt == VT_BSTR) {
      SysFreeString(v->bstrVal);
    } else if ((v->vt == VT_DISPATCH || v->vt == VT_UNKNOWN) && v->punkVal != nullptr) {
      v->punkVal->Release();
    }
  }
  VariantInit(v);
  return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
  if (dest == nullptr || src == nullptr) return E_INVALIDARG;
  if (dest == src) return S_OK;
  if (!validVariantType(src->vt)) return DISP_E_BADVARTYPE;
  const HRESULT cleared = VariantClear(dest);
  if (FAILED(cleared)) return cleared;
  VARIANT copy = *src;  // a reference is copied as the pointer it is
  if ((src->vt & VT_BYREF) == 0) {
    if (src->vt & VT_ARRAY) {
      const HRESULT hr = SafeArrayCopy(src->parray, &copy.parray);
      if (FAILED(hr)) return hr;
    } else if (src->vt == VT_BSTR && src->bstrVal != nullptr) {
      copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
      if (copy.bstrVal == nullptr) return E_OUTOFMEMORY;
    } else if ((src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) && src->punkVal != nullptr) {
      src->punkVal->AddRef();
    }
  }
  *dest = copy;
  return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src) {
  if (dest == nullptr || src == nullptr) return E_INVALIDARG;
  if ((src->vt & VT_BYREF) == 0) return VariantCopy(dest, src);
  if (!validVariantType(src->vt)) return DISP_E_BADVARTYPE;
  if (src->byref == nullptr) corrupt();  // the real function reads through it unchecked
  const VARTYPE base = src->vt & static_cast<VARTYPE>(~VT_BYREF);
  VARIANT copy;
  VariantInit(&copy);
  if (base == VT_VARIANT) {
    // One level of VARIANT reference is followed; a second one is refused.
    if (src->pvarVal->vt == (VT_VARIANT | VT_BYREF)) return E_INVALIDARG;
    const HRESULT hr = VariantCopy(&copy, src->pvarVal);
    if (FAILED(hr)) return hr;
  } else if (base & VT_ARRAY) {
    const HRESULT hr = SafeArrayCopy(*src->pparray, &copy.parray);
    if (FAILED(hr)) return hr;
    copy.vt = base;
  } else if (base == VT_BSTR) {
    const BSTR text = *src->pbstrVal;
    if (text != nullptr && (copy.bstrVal = SysAllocStringLen(text, SysStringLen(text))) == nullptr) {
      return E_OUTOFMEMORY;
    }
    copy.vt = VT_BSTR;
  } else if (base == VT_DISPATCH || base == VT_UNKNOWN) {
    copy.punkVal = *src->ppunkVal;
    if (copy.punkVal != nullptr) copy.punkVal->AddRef();
    copy.vt = base;
  } else {
    std::memcpy(&copy.llVal, src->byref, elementSize(base));
    copy.vt = base;
  }
  const HRESULT cleared = VariantClear(dest);
  if (FAILED(cleared)) {
    VariantClear(&copy);
    return cleared;
  }
  *dest = copy;
  return S_OK;
}

BSTR SysAllocString(const OLECHAR* text) {
  return text == nullptr ? nullptr : SysAllocStringLen(text, static_cast<UINT>(std::wcslen(text)));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  // The byte length is kept in the 32 bits in front of the characters.
  const std::size_t bytes = std::size_t{length} * sizeof(OLECHAR);
  if (bytes > std::numeric_limits<std::uint32_t>::max() || bytes > kOleShimMaxDataBytes) return nullptr;
  char* raw = static_cast<char*>(std::malloc(sizeof(OLECHAR) + bytes + sizeof(OLECHAR)));
  if (raw == nullptr) return nullptr;
  const std::uint32_t stored = static_cast<std::uint32_t>(bytes);
  std::memcpy(raw + sizeof(OLECHAR) - sizeof(stored), &stored, sizeof(stored));
  BSTR out = reinterpret_cast<BSTR>(raw + sizeof(OLECHAR));
  if (text != nullptr) {
    std::memcpy(out, text, bytes);
  } else {
    std::memset(out, 0, bytes);
  }
  out[length] = L'\0';
  ++gLiveStrings;
  return out;
}

void SysFreeString(BSTR text) {
  if (text == nullptr) return;
  --gLiveStrings;
  std::free(reinterpret_cast<char*>(text) - sizeof(OLECHAR));
}

UINT SysStringLen(BSTR text) {
  if (text == nullptr) return 0;
  std::uint32_t stored = 0;
  std::memcpy(&stored, reinterpret_cast<char*>(text) - sizeof(stored), sizeof(stored));
  return stored / sizeof(OLECHAR);
}

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, SAFEARRAYBOUND* bounds) {
  const std::size_t size = elementSize(vt);
  if (size == 0 || dims == 0 || dims > 60 || bounds == nullptr) return nullptr;
  std::size_t count = 1;
  for (UINT d = 0; d < dims; ++d) {
    const std::size_t n = bounds[d].cElements;
    if (n != 0 && count > kOleShimMaxDataBytes / size / n) return nullptr;
    count *= n;
  }
  SAFEARRAY* array = allocateDescriptor(vt, dims, false);
  if (array == nullptr) return nullptr;
  for (UINT d = 0; d < dims; ++d) array->rgsabound[d] = bounds[dims - 1 - d];
  array->pvData = std::calloc(count == 0 ? 1 : count, size);
  if (array->pvData == nullptr) {
    freeDescriptor(array);
    return nullptr;
  }
  return array;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG count) {
  SAFEARRAYBOUND bound{count, lowerBound};
  return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
  if (array == nullptr) return S_OK;
  TArrayPrefix& prefix = prefixOf(array);
  if (array->cLocks != 0) return DISP_E_ARRAYISLOCKED;
  releaseElements(array, prefix.claimed ? 1 : elementCount(array));
  std::free(array->pvData);
  freeDescriptor(array);
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* array) { return array == nullptr ? 0 : (prefixOf(array), array->cDims); }

UINT SafeArrayGetElemsize(SAFEARRAY* array) { return array == nullptr ? 0 : (prefixOf(array), array->cbElements); }

HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt) {
  if (array == nullptr || vt == nullptr) return E_INVALIDARG;
  *vt = prefixOf(array).vt;
  return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (array == nullptr || bound == nullptr) return E_INVALIDARG;
  prefixOf(array);
  if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
  *bound = array->rgsabound[array->cDims - dim].lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (array == nullptr || bound == nullptr) return E_INVALIDARG;
  prefixOf(array);
  if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
  const SAFEARRAYBOUND& b = array->rgsabound[array->cDims - dim];
  *bound = static_cast<LONG>(std::int64_t{b.lLbound} + b.cElements - 1);
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
  if (array == nullptr || data == nullptr) return E_INVALIDARG;
  prefixOf(array);
  if (array->cLocks == 0xFFFF) return E_UNEXPECTED;
  ++array->cLocks;
  *data = array->pvData;
  return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) {
  if (array == nullptr) return E_INVALIDARG;
  prefixOf(array);
  if (array->cLocks == 0) return E_UNEXPECTED;
  --array->cLocks;
  return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* array, LONG* indices, void* value) {
  if (array == nullptr || indices == nullptr || value == nullptr) return E_INVALIDARG;
  if (prefixOf(array).claimed) return DISP_E_BADINDEX;
  void* slot = elementAt(array, indices);
  if (slot == nullptr) return DISP_E_BADINDEX;
  // The element's old content goes, as the real function frees it.
  ++array->cLocks;
  if (array->fFeatures & FADF_VARIANT) {
    const HRESULT hr = VariantCopy(static_cast<VARIANT*>(slot), static_cast<const VARIANT*>(value));
    --array->cLocks;
    return hr;
  }
  void* old = nullptr;
  std::memcpy(&old, slot, array->cbElements < sizeof(old) ? array->cbElements : sizeof(old));
  const HRESULT hr = array->fFeatures & (FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH)
                         ? copyElement(array, slot, &value)
                         : copyElement(array, slot, value);
  if (SUCCEEDED(hr)) {
    if (array->fFeatures & FADF_BSTR) SysFreeString(static_cast<BSTR>(old));
    if ((array->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) && old != nullptr) static_cast<IUnknown*>(old)->Release();
  }
  --array->cLocks;
  return hr;
}

HRESULT SafeArrayGetElement(SAFEARRAY* array, LONG* indices, void* value) {
  if (array == nullptr || indices == nullptr || value == nullptr) return E_INVALIDARG;
  prefixOf(array);
  void* slot = elementAt(array, indices);
  if (slot == nullptr) return DISP_E_BADINDEX;
  return copyElement(array, value, slot);
}

HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy) {
  if (copy == nullptr) return E_INVALIDARG;
  *copy = nullptr;
  if (array == nullptr) return S_OK;
  const TArrayPrefix& prefix = prefixOf(array);
  if (prefix.claimed) return E_OUTOFMEMORY;  // as large an allocation as the bounds claim
  SAFEARRAYBOUND bounds[60];
  for (USHORT d = 0; d < array->cDims; ++d) bounds[d] = array->rgsabound[array->cDims - 1 - d];
  SAFEARRAY* out = SafeArrayCreate(prefix.vt, array->cDims, bounds);
  if (out == nullptr) return E_OUTOFMEMORY;
  const std::size_t count = elementCount(array);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = i * array->cbElements;
    const HRESULT hr = copyElement(array, static_cast<char*>(out->pvData) + at, static_cast<char*>(array->pvData) + at);
    if (FAILED(hr)) {
      SafeArrayDestroy(out);
      return hr;
    }
  }
  *copy = out;
  return S_OK;
}
