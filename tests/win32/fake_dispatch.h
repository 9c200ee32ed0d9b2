#pragma once
// An in-process IDispatch whose members a test defines one by one, so that
// the client's calls can be checked and its replies can be made malformed.
#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "automation_message.h"
#include "platform/win32/bstr.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/safe_array.h"
#include "platform/win32/variant.h"

class TFakeDispatch final : public IDispatch {
 public:
  struct TCall {
    std::wstring name;
    WORD flags = 0;
    std::vector<TVariant> args;   // in the caller's order: first argument first
    std::vector<DISPID> named;
  };
  // Fills `result`; returns the HRESULT Invoke gives. `excep` may be filled for DISP_E_EXCEPTION.
  using THandler = std::function<HRESULT(const TCall&, VARIANT* result, EXCEPINFO* excep)>;

  static TComPtr<TFakeDispatch> create() { return TComPtr<TFakeDispatch>::attach(new TFakeDispatch()); }

  // A member answering with a copy of `value`.
  void on(const std::wstring& name, THandler handler) {
    // A member keeps its DISPID when its answer is replaced, as a real server's does.
    const auto known = FMembers.find(name);
    const DISPID id = known != FMembers.end() ? known->second.id : static_cast<DISPID>(100 + FMembers.size());
    FMembers[name] = TMember{id, std::move(handler)};
  }
  void returns(const std::wstring& name, const VARIANT& value) {
    VARIANT copy;
    VariantInit(&copy);
    VariantCopy(&copy, const_cast<VARIANT*>(&value));
    auto shared = std::make_shared<TVariant>();
    *shared->receive() = copy;
    on(name, [shared](const TCall&, VARIANT* result, EXCEPINFO*) {
      if (result != nullptr) {
        VariantCopy(result, shared->ptr());
      }
      return S_OK;
    });
  }
  // Gives a member another DISPID, as another version of a server might.
  void renumber(const std::wstring& name, DISPID id) { FMembers.at(name).id = id; }
  // Interface ids (besides IUnknown and IDispatch) this object answers for.
  std::vector<GUID> interfaces;

  std::vector<TCall> calls;
  int nameLookups = 0;
  int queries = 0;  // QueryInterface calls for ids other than IUnknown/IDispatch

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    ++queries;
    for (const GUID& g : interfaces) {
      if (IsEqualIID(iid, g)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
      }
    }
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --FRefs;
    if (left == 0) delete this;
    return left;
  }
  ULONG refs() const { return FRefs; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    ++nameLookups;
    if (count != 1) return E_INVALIDARG;
    const auto it = FMembers.find(names[0]);
    if (it == FMembers.end()) {
      ids[0] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    ids[0] = it->second.id;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT*) override {
    for (const auto& [name, member] : FMembers) {
      if (member.id != id) continue;
      TCall call;
      call.name = name;
      call.flags = flags;
      for (UINT i = params->cArgs; i > 0; --i) {
        TVariant arg;
        VariantCopy(arg.receive(), &params->rgvarg[i - 1]);
        call.args.push_back(std::move(arg));
      }
      for (UINT i = 0; i < params->cNamedArgs; ++i) call.named.push_back(params->rgdispidNamedArgs[i]);
      calls.push_back(std::move(call));
      return member.handler(calls.back(), result, excep);
    }
    return DISP_E_MEMBERNOTFOUND;
  }

  // Calls of one member, in order.
  std::vector<const TCall*> callsOf(const std::wstring& name) const {
    std::vector<const TCall*> out;
    for (const TCall& c : calls) {
      if (c.name == name) out.push_back(&c);
    }
    return out;
  }

 private:
  struct TMember {
    DISPID id = 0;
    THandler handler;
  };
  TFakeDispatch() = default;
  ~TFakeDispatch() = default;
  std::atomic<ULONG> FRefs{1};
  std::map<std::wstring, TMember> FMembers;
};


// Reply builders.
inline TVariant int32Reply(LONG v) { return TVariant::fromInt32(v); }
// Any integer kind: the union's low bytes carry the narrower ones.
inline TVariant typedReply(VARTYPE vt, LONGLONG bits) {
  TVariant r;
  r.ptr()->vt = vt;
  r.ptr()->llVal = bits;
  return r;
}
inline TVariant doubleArrayReply(const std::vector<double>& values, LONG lowerBound = 0) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(values.size()), lowerBound};
  SAFEARRAY* array = SafeArrayCreate(VT_R8, 1, &bound);
  for (std::size_t i = 0; i < values.size(); ++i) {
    LONG index = lowerBound + static_cast<LONG>(i);
    double v = values[i];
    SafeArrayPutElement(array, &index, &v);
  }
  return TVariant::fromArray(VT_R8, array);
}
inline TVariant dispatchReply(IDispatch* object) { return TVariant::fromDispatch(object); }

// The doubles of an argument the client built (a point), whatever its lower bound.
inline std::vector<double> doublesOf(const TVariant& v) {
  std::vector<double> out;
  if (v.type() != (VT_ARRAY | VT_R8)) return out;
  LONG lo = 0, hi = -1;
  SafeArrayGetLBound(v.get().parray, 1, &lo);
  SafeArrayGetUBound(v.get().parray, 1, &hi);
  for (LONG i = lo; i <= hi; ++i) {
    double d = 0;
    SafeArrayGetElement(v.get().parray, &i, &d);
    out.push_back(d);
  }
  return out;
}
