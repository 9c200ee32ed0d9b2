#include "dispatch_server.h"

#include <new>

namespace {

struct TMemberName {
  const wchar_t* name;
  DISPID id;
};
constexpr TMemberName kMembers[] = {{L"Value", kDispValue}, {L"NumberFormat", kDispNumberFormat}, {L"Range", kDispRange}, {L"ActiveSheet", kDispActiveSheet}};

void fillException(EXCEPINFO* excep, const std::wstring& message) {
  if (excep == nullptr) return;
  *excep = EXCEPINFO{};
  excep->wCode = 0;
  excep->bstrSource = SysAllocString(L"Microsoft Excel");
  excep->bstrDescription = SysAllocStringLen(message.data(), static_cast<UINT>(message.size()));
  excep->scode = static_cast<SCODE>(0x800A03EC);  // Excel's own code for a failed member
}

const VARIANT* pastReference(const VARIANT* v) {
  while (v != nullptr && v->vt == (VT_BYREF | VT_VARIANT)) v = v->pvarVal;
  return v;
}

}  // namespace

HRESULT TDispatchServer::QueryInterface(REFIID riid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG TDispatchServer::Release() {
  const ULONG left = --FRefs;
  if (left == 0) delete this;
  return left;
}

HRESULT TDispatchServer::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT TDispatchServer::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT TDispatchServer::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (names == nullptr || ids == nullptr || count == 0) return E_INVALIDARG;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  for (const TMemberName& m : kMembers) {
    if (names[0] != nullptr && _wcsicmp(names[0], m.name) == 0 && hasMember(m.id)) ids[0] = m.id;
  }
  if (ids[0] == DISPID_UNKNOWN || count > 1) hr = DISP_E_UNKNOWNNAME;  // no named arguments are known
  return hr;
}

HRESULT TDispatchServer::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* excep, UINT* argErr) {
  if (argErr != nullptr) *argErr = 0;
  if (!hasMember(id)) return DISP_E_MEMBERNOTFOUND;
  static const DISPPARAMS kNoArgs{};
  try {
    if (result != nullptr) VariantInit(result);
    serve(id, flags, params != nullptr ? *params : kNoArgs, result);
    return S_OK;
  } catch (const TExcelFault& fault) {
    if (fault.code != DISP_E_EXCEPTION) return fault.code;
    fillException(excep, fault.message);
    return DISP_E_EXCEPTION;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

UINT positionalCount(const DISPPARAMS& params) { return params.cArgs - params.cNamedArgs; }

const VARIANT* positionalArgument(const DISPPARAMS& params, UINT i) {
  const UINT count = positionalCount(params);
  if (i >= count || params.rgvarg == nullptr) return nullptr;
  // rgvarg holds the named arguments first, then the positional ones last first.
  return pastReference(&params.rgvarg[params.cArgs - 1 - i]);
}

const VARIANT& putValue(const DISPPARAMS& params) {
  if (params.cNamedArgs != 1 || params.rgdispidNamedArgs == nullptr ||
      params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT || params.rgvarg == nullptr) {
    throw TExcelFault{L"", DISP_E_PARAMNOTOPTIONAL};
  }
  return params.rgvarg[0];
}

std::wstring stringArgument(const VARIANT* arg) {
  if (arg == nullptr) throw TExcelFault{L"", DISP_E_PARAMNOTOPTIONAL};
  if (arg->vt == VT_BSTR) return arg->bstrVal == nullptr ? std::wstring() : std::wstring(arg->bstrVal, SysStringLen(arg->bstrVal));
  if (arg->vt == (VT_BYREF | VT_BSTR) && arg->pbstrVal != nullptr && *arg->pbstrVal != nullptr) {
    return std::wstring(*arg->pbstrVal, SysStringLen(*arg->pbstrVal));
  }
  throw TExcelFault{L"", DISP_E_TYPEMISMATCH};
}
