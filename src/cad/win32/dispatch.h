#pragma once
// Late binding: every CAD member is called by name through IDispatch. The
// DISPID of a name is looked up once per interface and kept, because each
// GetIDsOfNames is a cross-process round trip.
#include <windows.h>
#include <oaidl.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/win32/variant.h"

// DISPIDs by (interface id, member name). One cache serves every object of
// every connection a connector makes; objects of the same interface share
// their DISPIDs.
class TDispIdCache {
 public:
  DISPID find(IDispatch* object, const GUID& iid, const wchar_t* name);
  // Drops a DISPID the server no longer knows (a CAD restarted in another version).
  void forget(const GUID& iid, const wchar_t* name);
  // How many GetIDsOfNames calls went to a server (for tests).
  std::size_t lookups() const noexcept { return FLookups; }

 private:
  struct TKey {
    GUID iid;
    std::wstring name;
    bool operator<(const TKey& other) const;
  };
  std::map<TKey, DISPID> FIds;
  std::size_t FLookups = 0;
};

using TDispIdCachePtr = std::shared_ptr<TDispIdCache>;

enum class TInvokeKind { get, put, method };

// Calls `name` on `object` with `args` in the order a caller writes them (the
// first argument first). Raises TCadError with the server's message when the
// call fails. The arguments stay owned by the caller; the result is the caller's.
TVariant invokeByName(TDispIdCache& cache, IDispatch* object, const GUID& iid, const wchar_t* name,
                      TInvokeKind kind, const VARIANT* args, std::size_t count);

// A late-bound view of one object seen through one interface.
class TDispatchObject {
 public:
  TDispatchObject(TDispIdCachePtr cache, IDispatch* object, const GUID& iid) noexcept
      : FCache(std::move(cache)), FObject(object), FIid(iid) {}

  template <class... TArgs>
  TVariant get(const wchar_t* name, TArgs&&... args) const {
    return call(name, TInvokeKind::get, std::forward<TArgs>(args)...);
  }
  template <class... TArgs>
  TVariant method(const wchar_t* name, TArgs&&... args) const {
    return call(name, TInvokeKind::method, std::forward<TArgs>(args)...);
  }
  void put(const wchar_t* name, TVariant value) const { call(name, TInvokeKind::put, std::move(value)); }

  IDispatch* object() const noexcept { return FObject; }
  const TDispIdCachePtr& cache() const noexcept { return FCache; }

 private:
  template <class... TArgs>
  TVariant call(const wchar_t* name, TInvokeKind kind, TArgs&&... args) const {
    // Invoke takes in-arguments without taking ownership: the VARIANT structs
    // are shallow copies of the callers', which live until the call returns.
    const std::array<VARIANT, sizeof...(TArgs) + 1> argv{{args.get()..., VARIANT{}}};
    return invokeByName(*FCache, FObject, FIid, name, kind, argv.data(), sizeof...(TArgs));
  }

  TDispIdCachePtr FCache;
  IDispatch* FObject = nullptr;  // borrowed: the owner keeps the reference
  GUID FIid{};
};
