#include "automation_object.h"

#include "platform/win32/bstr.h"
#include "variant_values.h"

namespace {

// The failure of the member now being served. Saved and restored around
// each Invoke, because a selection's message loop serves calls inside a call.
struct TPendingFailure {
  bool set = false;
  std::wstring message;
};
TPendingFailure gPending;

void fillException(EXCEPINFO* excep, const std::wstring& message) {
  if (excep == nullptr) {
    return;
  }
  SysFreeString(excep->bstrSource);
  SysFreeString(excep->bstrDescription);
  SysFreeString(excep->bstrHelpFile);
  *excep = EXCEPINFO{};
  excep->bstrSource = SysAllocString(L"nanoCAD");
  excep->bstrDescription = SysAllocStringLen(message.data(), static_cast<UINT>(message.size()));
  excep->scode = E_FAIL;
}

std::wstring memberName(ITypeInfo* info, DISPID id) {
  TBstr name;
  if (FAILED(info->GetDocumentation(id, name.receive(), nullptr, nullptr, nullptr))) {
    return L"#" + std::to_wstring(id);
  }
  return name.str();
}

bool sameMember(const std::wstring& option, const std::wstring& name) {
  return !option.empty() && _wcsicmp(option.c_str(), name.c_str()) == 0;
}

// The named member fails from its failFrom-th call on, for failCount calls
// (0: for good).
bool failsNow(TServerContext& context, const std::wstring& name) {
  const TServerOptions& o = context.options;
  if (!sameMember(o.failMember, name)) {
    return false;
  }
  const int call = ++context.failMemberCalls;
  return call >= o.failFrom && (o.failCount == 0 || call < o.failFrom + o.failCount);
}

}  // namespace

HRESULT reportFailure(const std::wstring& message) noexcept {
  try {
    gPending.set = true;
    gPending.message = message;
    TComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.receive()))) {
      create->SetDescription(const_cast<LPOLESTR>(message.c_str()));
      create->SetSource(const_cast<LPOLESTR>(L"nanoCAD"));
      TComPtr<IErrorInfo> info;
      if (SUCCEEDED(create.queryInterface(IID_IErrorInfo, info))) {
        SetErrorInfo(0, info.get());
      }
    }
  } catch (...) {
    // Out of memory while reporting: the HRESULT still says the call failed.
  }
  return E_FAIL;
}

HRESULT serveInvoke(TServerContext& context, ITypeInfo* info, void* object, DISPID id, WORD flags,
                    DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep, UINT* argErr) noexcept {
  if (info == nullptr) {
    return E_UNEXPECTED;
  }
  try {
    const std::wstring name = memberName(info, id);
    ++context.served;
    context.callLog.line(name);
    if (context.options.slowMs > 0) {
      Sleep(static_cast<DWORD>(context.options.slowMs));
    }
    HRESULT hr = S_OK;
    if (failsNow(context, name)) {
      fillException(excep, context.options.failMessage);
      hr = DISP_E_EXCEPTION;
    } else {
      TPendingFailure saved = std::move(gPending);
      gPending = TPendingFailure{};
      hr = DispInvoke(object, info, id, flags, params, result, excep, argErr);
      if (gPending.set) {
        fillException(excep, gPending.message);
        hr = DISP_E_EXCEPTION;
      }
      gPending = std::move(saved);
      if (SUCCEEDED(hr) && result != nullptr && sameMember(context.options.malformMember, name)) {
        hr = malformedVariant(context.options.malformKind, result);
      }
    }
    if (sameMember(context.options.rejectAfter, name)) {
      context.rejectArmed = true;
    }
    if (context.options.exitMember.empty() || sameMember(context.options.exitMember, name)) {
      ++context.exitCounted;
    }
    if (context.options.exitAfter > 0 && context.exitCounted == context.options.exitAfter && context.onExitAfter) {
      context.onExitAfter();
    }
    return hr;
  } catch (...) {
    return E_UNEXPECTED;
  }
}
