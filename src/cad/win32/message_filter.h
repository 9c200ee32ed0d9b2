#pragma once
// The thread's COM message filter: keeps a call to a busy CAD waiting instead
// of failing at once. Reference counted; the main window holds one for the run.
#include <windows.h>
#include <objidl.h>

#include <atomic>

#include "platform/win32/com_ptr.h"

class TMessageFilter final : public IMessageFilter {
 public:
  TMessageFilter() noexcept = default;
  TMessageFilter(const TMessageFilter&) = delete;
  TMessageFilter& operator=(const TMessageFilter&) = delete;

  // Becomes the thread's filter; the one it replaces is kept in FOldFilter.
  HRESULT RegisterFilter() noexcept;
  // Puts FOldFilter back; COM's reference to this filter goes with it.
  HRESULT RevokeFilter() noexcept;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  // IMessageFilter
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                             LPINTERFACEINFO interfaceInfo) noexcept override;
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) noexcept override;
  DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) noexcept override;

  bool isRegistered() const noexcept { return FRegistered; }

 private:
  ~TMessageFilter() = default;  // only Release destroys it

  std::atomic<ULONG> FRefCount{1};
  TComPtr<IMessageFilter> FOldFilter;
  bool FRegistered = false;
};

// Creates a filter owned by a TComPtr (the creator's one reference).
inline TComPtr<TMessageFilter> makeMessageFilter() { return TComPtr<TMessageFilter>::attach(new TMessageFilter()); }
