#pragma once
// The IUnknown and IDispatch half of every automation object: reference
// counting, dispatch through the type library, and the hooks tests rely on
// (call log, injected failures, slowness, exit after N calls). A member's
// failure travels to the client as DISP_E_EXCEPTION with its message.
#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <initializer_list>
#include <new>
#include <string>
#include <vector>

#include "server_context.h"

// Notes the message for the Invoke in progress and for vtable callers.
HRESULT reportFailure(const std::wstring& message) noexcept;

// Serves one Invoke: the hooks, then ITypeInfo::Invoke on the object.
HRESULT serveInvoke(TServerContext& context, ITypeInfo* info, void* object, DISPID id, WORD flags,
                    DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep, UINT* argErr) noexcept;

// Runs a member body; no exception leaves a COM method.
template <class F>
HRESULT guardedMember(F&& body) noexcept {
  try {
    return body();
  } catch (const TDispatchFault& e) {
    return reportFailure(e.message);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

template <class TInterface>
class TAutomationObject : public TInterface, public ISupportErrorInfo {
 public:
  TAutomationObject(TServerContext& context, std::initializer_list<IID> iids)
      : FContext(context), FIids(iids) {}
  TAutomationObject(const TAutomationObject&) = delete;
  TAutomationObject& operator=(const TAutomationObject&) = delete;
  virtual ~TAutomationObject() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) {
      return E_POINTER;
    }
    *out = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
      *out = static_cast<TInterface*>(this);
    } else if (IsEqualIID(riid, IID_ISupportErrorInfo)) {
      *out = static_cast<ISupportErrorInfo*>(this);
    } else {
      for (const IID& iid : FIids) {
        if (IsEqualIID(riid, iid)) {
          *out = static_cast<TInterface*>(this);
          break;
        }
      }
    }
    if (*out == nullptr) {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --FRefs;
    if (left == 0) {
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) {
      return E_POINTER;
    }
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (info == nullptr) {
      return E_POINTER;
    }
    *info = nullptr;
    if (index != 0) {
      return DISP_E_BADINDEX;
    }
    ITypeInfo* ti = typeInfo();
    if (ti == nullptr) {
      return E_UNEXPECTED;
    }
    ti->AddRef();
    *info = ti;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    ITypeInfo* ti = typeInfo();
    return ti == nullptr ? E_UNEXPECTED : DispGetIDsOfNames(ti, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* argErr) override {
    return serveInvoke(FContext, typeInfo(), static_cast<TInterface*>(this), id, flags, params, result, excep,
                       argErr);
  }

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID) override { return S_OK; }

 protected:
  TServerContext& context() const { return FContext; }

 private:
  // The dispatch description is the most derived interface's: the first id given.
  ITypeInfo* typeInfo() const { return FIids.empty() ? nullptr : FContext.typeInfo(FIids.front()); }

  TServerContext& FContext;
  std::vector<IID> FIids;
  std::atomic<ULONG> FRefs{1};
};

// Creates an object with its one reference handed to *out.
template <class T, class... Args>
HRESULT createObject(IDispatch** out, Args&&... args) {
  if (out == nullptr) {
    return E_POINTER;
  }
  T* object = new T(std::forward<Args>(args)...);
  *out = static_cast<IDispatch*>(object);
  return S_OK;
}
