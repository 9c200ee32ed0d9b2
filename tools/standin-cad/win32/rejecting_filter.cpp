#include "rejecting_filter.h"

#include "standin.h"

namespace {

bool isAutomationCall(const INTERFACEINFO* info) {
  if (info == nullptr) {
    return true;
  }
  const IID& iid = info->iid;
  return IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IStandinApplication) ||
         IsEqualIID(iid, IID_IStandinDocuments) || IsEqualIID(iid, IID_IStandinDocument) ||
         IsEqualIID(iid, IID_IStandinSelectionSets) || IsEqualIID(iid, IID_IStandinSelectionSet) ||
         IsEqualIID(iid, IID_IStandinEntity) || IsEqualIID(iid, IID_IStandinLine) ||
         IsEqualIID(iid, IID_IStandinPolyline) || IsEqualIID(iid, IID_IStandinText);
}

}  // namespace

HRESULT TRejectingFilter::QueryInterface(REFIID riid, void** out) {
  if (out == nullptr) {
    return E_POINTER;
  }
  *out = nullptr;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
    *out = static_cast<IMessageFilter*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

ULONG TRejectingFilter::Release() {
  const ULONG left = --FRefs;
  if (left == 0) {
    delete this;
  }
  return left;
}

DWORD TRejectingFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO info) {
  if (FRejectsLeft > 0 && isAutomationCall(info) && (!FArmed || FArmed())) {
    --FRejectsLeft;
    ++FRejected;
    if (FOnReject) {
      FOnReject();
    }
    return FHard ? SERVERCALL_REJECTED : SERVERCALL_RETRYLATER;
  }
  return SERVERCALL_ISHANDLED;
}

DWORD TRejectingFilter::RetryRejectedCall(HTASK, DWORD, DWORD) {
  return static_cast<DWORD>(-1);  // the stand-in makes no outgoing calls
}

DWORD TRejectingFilter::MessagePending(HTASK, DWORD, DWORD) {
  return PENDINGMSG_WAITDEFPROCESS;
}
