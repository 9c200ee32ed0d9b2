#pragma once
// The stand-in's message filter: it turns away the first N automation calls
// with "retry later", as a CAD does while the user is busy, and lets all
// other calls (activation, reference counting) through.
#include <windows.h>
#include <objidl.h>

class TRejectingFilter : public IMessageFilter {
 public:
  explicit TRejectingFilter(int rejects) : FRejectsLeft(rejects) {}
  virtual ~TRejectingFilter() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
  ULONG STDMETHODCALLTYPE Release() override;

  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tick,
                                             LPINTERFACEINFO info) override;
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tick, DWORD rejectType) override;
  DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tick, DWORD pendingType) override;

  int rejected() const { return FRejected; }

 private:
  ULONG FRefs = 1;
  int FRejectsLeft;
  int FRejected = 0;
};
