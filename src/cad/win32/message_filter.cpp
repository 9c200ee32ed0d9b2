#include "cad/win32/message_filter.h"

namespace {
// Retry a call the server asked to be retried later after this long (ms).
constexpr DWORD kRetryDelay = 1000;
}  // namespace

HRESULT TMessageFilter::RegisterFilter() noexcept {
  if (FRegistered) {
    return S_FALSE;
  }
  IMessageFilter* previous = nullptr;
  const HRESULT hr = CoRegisterMessageFilter(this, &previous);
  if (SUCCEEDED(hr)) {
    // CoRegisterMessageFilter hands over its reference to the previous filter.
    FOldFilter = TComPtr<IMessageFilter>::attach(previous);
    FRegistered = true;
  }
  return hr;
}

HRESULT TMessageFilter::RevokeFilter() noexcept {
  if (!FRegistered) {
    return S_FALSE;
  }
  IMessageFilter* replaced = nullptr;
  const HRESULT hr = CoRegisterMessageFilter(FOldFilter.get(), &replaced);
  if (SUCCEEDED(hr)) {
    FRegistered = false;
    FOldFilter.reset();
    // The filter replaced is this one; COM's reference to it ends here.
    if (replaced != nullptr) {
      replaced->Release();
    }
  }
  return hr;
}

HRESULT STDMETHODCALLTYPE TMessageFilter::QueryInterface(REFIID iid, void** object) noexcept {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter)) {
    *object = static_cast<IMessageFilter*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TMessageFilter::AddRef() noexcept { return ++FRefCount; }

ULONG STDMETHODCALLTYPE TMessageFilter::Release() noexcept {
  const ULONG left = --FRefCount;
  if (left == 0) {
    delete this;
  }
  return left;
}

// The callbacks only return constants, so nothing can throw through them.
DWORD STDMETHODCALLTYPE TMessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) noexcept {
  return SERVERCALL_ISHANDLED;
}

DWORD STDMETHODCALLTYPE TMessageFilter::RetryRejectedCall(HTASK, DWORD, DWORD rejectType) noexcept {
  return rejectType == SERVERCALL_RETRYLATER ? kRetryDelay : static_cast<DWORD>(-1);
}

DWORD STDMETHODCALLTYPE TMessageFilter::MessagePending(HTASK, DWORD, DWORD) noexcept {
  return PENDINGMSG_WAITNOPROCESS;
}
