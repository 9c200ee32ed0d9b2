#pragma once
// The stand-in's message filter: it turns away N automation calls with
// "retry later", as a CAD does while the user is busy, or refuses them
// outright (hard), and lets all other calls (activation, reference counting)
// through. The turning away begins once `armed` says so (after a given member
// was served), and each call turned away is reported to `onReject`. Wine runs a
// call answered "retry later" anyway; only a refused call reaches a client
// there, as RPC_E_CALL_REJECTED.
#include <windows.h>
#include <objidl.h>

#include <functional>

class TRejectingFilter : public IMessageFilter {
 public:
  TRejectingFilter(int rejects, bool hard, std::function<bool()> armed, std::function<void()> onReject)
      : FRejectsLeft(rejects), FHard(hard), FArmed(std::move(armed)), FOnReject(std::move(onReject)) {}
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
  bool FHard;
  std::function<bool()> FArmed;
  std::function<void()> FOnReject;
  int FRejected = 0;
};
