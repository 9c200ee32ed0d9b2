#include "cad/win32/dispatch.h"

#include <cstring>
#include <vector>

#include "platform/errors.h"
#include "platform/win32/bstr.h"
#include "platform/win32/desktop_win32.h"

namespace {

// The EXCEPINFO's strings are the caller's to free, whatever the outcome.
class TExcepInfo {
 public:
  TExcepInfo() noexcept = default;
  TExcepInfo(const TExcepInfo&) = delete;
  TExcepInfo& operator=(const TExcepInfo&) = delete;
  ~TExcepInfo() {
    SysFreeString(FInfo.bstrSource);
    SysFreeString(FInfo.bstrDescription);
    SysFreeString(FInfo.bstrHelpFile);
  }
  EXCEPINFO* ptr() noexcept { return &FInfo; }

  std::wstring message() {
    if (FInfo.pfnDeferredFillIn != nullptr) {
      FInfo.pfnDeferredFillIn(&FInfo);
      FInfo.pfnDeferredFillIn = nullptr;
    }
    std::wstring text = TBstr::toString(FInfo.bstrDescription);
    if (!text.empty()) {
      return text;
    }
    const HRESULT code = FInfo.scode != 0 ? FInfo.scode : DISP_E_EXCEPTION;
    return systemMessage(static_cast<DWORD>(code));
  }

 private:
  EXCEPINFO FInfo{};
};

WORD invokeFlags(TInvokeKind kind) {
  switch (kind) {
    case TInvokeKind::get:
      return DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    case TInvokeKind::put:
      return DISPATCH_PROPERTYPUT;
    case TInvokeKind::method:
      break;
  }
  return DISPATCH_METHOD;
}

}  // namespace

bool TDispIdCache::TKey::operator<(const TKey& other) const {
  const int byIid = std::memcmp(&iid, &other.iid, sizeof(GUID));
  return byIid != 0 ? byIid < 0 : name < other.name;
}

DISPID TDispIdCache::find(IDispatch* object, const GUID& iid, const wchar_t* name) {
  TKey key{iid, name};
  const auto known = FIds.find(key);
  if (known != FIds.end()) {
    return known->second;
  }
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
  ++FLookups;
  const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) {
    throw TCadError(std::wstring(name) + L": " + systemMessage(static_cast<DWORD>(hr)));
  }
  FIds.emplace(std::move(key), id);
  return id;
}

void TDispIdCache::forget(const GUID& iid, const wchar_t* name) { FIds.erase(TKey{iid, name}); }

TVariant invokeByName(TDispIdCache& cache, IDispatch* object, const GUID& iid, const wchar_t* name,
                      TInvokeKind kind, const VARIANT* args, std::size_t count) {
  if (object == nullptr) {
    throw TCadError(std::wstring(name) + L": CAD のオブジェクトがありません");
  }
  const std::size_t lookupsBefore = cache.lookups();
  DISPID id = cache.find(object, iid, name);
  // DISPPARAMS holds the arguments last first.
  std::vector<VARIANT> reversed(args, args + count);
  std::reverse(reversed.begin(), reversed.end());
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(reversed.size());
  if (kind == TInvokeKind::put) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  TVariant result;
  TExcepInfo excep;
  UINT argError = 0;
  HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, invokeFlags(kind), &params,
                              kind == TInvokeKind::put ? nullptr : result.receive(), excep.ptr(), &argError);
  if (hr == DISP_E_MEMBERNOTFOUND && cache.lookups() == lookupsBefore) {
    // A remembered DISPID this server does not know: ask for the name once more.
    cache.forget(iid, name);
    id = cache.find(object, iid, name);
    hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, invokeFlags(kind), &params,
                        kind == TInvokeKind::put ? nullptr : result.receive(), excep.ptr(), &argError);
  }
  if (hr == DISP_E_EXCEPTION) {
    throw TCadError(excep.message());
  }
  if (FAILED(hr)) {
    throw TCadError(std::wstring(name) + L": " + systemMessage(static_cast<DWORD>(hr)));
  }
  return result;
}
