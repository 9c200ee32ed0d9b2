#include "platform/win32/dispatch.h"

#include <algorithm>
#include <vector>

#include "platform/errors.h"
#include "platform/win32/bstr.h"
#include "platform/win32/system_message.h"

namespace {

// One attempt's EXCEPINFO: its strings are the caller's to free, whatever the
// outcome, and a retry gets a fresh one so that nothing of the first survives.
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

WORD invokeFlags(TInvokeKind invoke) {
  switch (invoke) {
    case TInvokeKind::get:
      return DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    case TInvokeKind::put:
      return DISPATCH_PROPERTYPUT;
    case TInvokeKind::method:
      break;
  }
  return DISPATCH_METHOD;
}

[[noreturn]] void failed(const wchar_t* name, const std::wstring& message, bool unreachable = false) {
  throw TAutomationError(std::wstring(name) + L": " + message, unreachable);
}

}  // namespace

TDispatchKind TDispatchKind::ofInterface(const GUID& iid) {
  wchar_t text[40] = {};
  StringFromGUID2(iid, text, 40);
  return TDispatchKind(text);
}

TDispatchKind TDispatchKind::named(std::wstring name) { return TDispatchKind(L"#" + name); }

DISPID TDispIdCache::find(IDispatch* object, const TDispatchKind& kind, const wchar_t* name) {
  auto key = std::make_pair(kind, std::wstring(name));
  const auto known = FIds.find(key);
  if (known != FIds.end()) {
    return known->second;
  }
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
  ++FLookups;
  const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) {
    failed(name, systemMessage(static_cast<DWORD>(hr)), callUnanswered(hr));
  }
  FIds.emplace(std::move(key), id);
  return id;
}

void TDispIdCache::forget(const TDispatchKind& kind, const wchar_t* name) {
  FIds.erase(std::make_pair(kind, std::wstring(name)));
}

TVariant invokeByName(TDispIdCache& cache, IDispatch* object, const TDispatchKind& kind, const wchar_t* name,
                      TInvokeKind invoke, const VARIANT* args, std::size_t count) {
  if (object == nullptr) {
    failed(name, L"オブジェクトがありません");
  }
  // DISPPARAMS holds the arguments last first.
  std::vector<VARIANT> reversed(args, args + count);
  std::reverse(reversed.begin(), reversed.end());
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(reversed.size());
  if (invoke == TInvokeKind::put) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  const std::size_t lookupsBefore = cache.lookups();
  for (int attempt = 0;; ++attempt) {
    const DISPID id = cache.find(object, kind, name);
    TVariant result;
    TExcepInfo excep;
    UINT argError = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, invokeFlags(invoke), &params,
                                      invoke == TInvokeKind::put ? nullptr : result.receive(), excep.ptr(),
                                      &argError);
    if (hr == DISP_E_MEMBERNOTFOUND && attempt == 0 && cache.lookups() == lookupsBefore) {
      // A remembered DISPID this server does not know: ask for the name once more.
      cache.forget(kind, name);
      continue;
    }
    if (hr == DISP_E_EXCEPTION) {
      failed(name, excep.message());
    }
    if (FAILED(hr)) {
      failed(name, systemMessage(static_cast<DWORD>(hr)), callUnanswered(hr));
    }
    return result;
  }
}

bool callUnanswered(HRESULT hr) {
  return HRESULT_FACILITY(hr) == FACILITY_RPC || hr == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) ||
         hr == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED) || hr == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE) ||
         hr == CO_E_OBJNOTCONNECTED;
}
