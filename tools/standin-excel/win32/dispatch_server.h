#pragma once
// The stand-in's own IDispatch: no type library, a fixed table of member
// names and DISPIDs (Excel's own numbers), arguments read straight from
// DISPPARAMS. A member fails by throwing TExcelFault, which reaches the
// client as DISP_E_EXCEPTION with the message in EXCEPINFO, as Excel's do.
#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <string>

// Excel's DISPIDs for the members served here.
inline constexpr DISPID kDispValue = 0x06;
inline constexpr DISPID kDispNumberFormat = 0xC1;
inline constexpr DISPID kDispRange = 0xC5;
inline constexpr DISPID kDispActiveSheet = 0x133;

struct TExcelFault {
  std::wstring message;
  HRESULT code = DISP_E_EXCEPTION;  // anything else is returned as it is, without EXCEPINFO
};

class TDispatchServer : public IDispatch {
 public:
  TDispatchServer() = default;
  TDispatchServer(const TDispatchServer&) = delete;
  TDispatchServer& operator=(const TDispatchServer&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* argErr) override;

 protected:
  virtual ~TDispatchServer() = default;
  // Serves one call; result may be null (a put, or a caller that wants none).
  virtual void serve(DISPID id, WORD flags, const DISPPARAMS& params, VARIANT* result) = 0;
  // Whether the object has the member (GetIDsOfNames answers only these).
  virtual bool hasMember(DISPID id) const = 0;

 private:
  std::atomic<ULONG> FRefs{1};
};

// The i-th positional argument as the caller wrote it (the first is 0), past
// any by-reference variant; null when there are fewer.
const VARIANT* positionalArgument(const DISPPARAMS& params, UINT i);
UINT positionalCount(const DISPPARAMS& params);
// The value of a property put (the argument named DISPID_PROPERTYPUT).
const VARIANT& putValue(const DISPPARAMS& params);
// A string argument, by value or by reference.
std::wstring stringArgument(const VARIANT* arg);
