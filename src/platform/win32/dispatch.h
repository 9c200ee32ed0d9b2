#pragma once
// Late binding: calling an automation object's members by name through
// IDispatch. The DISPID of a name is looked up once per kind of object and
// kept, because each GetIDsOfNames is a cross-process round trip. Serves every
// automation client of the program; it knows nothing of any one server.
#include <windows.h>
#include <oaidl.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/win32/reply_count.h"
#include "platform/win32/variant.h"

// What DISPIDs are cached under. An object queried by interface id is cached
// under that id; an object used through the IDispatch it came as is cached
// under a plain name ("Document"), which can never be mistaken for an id.
class TDispatchKind {
 public:
  static TDispatchKind ofInterface(const GUID& iid);
  static TDispatchKind named(std::wstring name);

  const std::wstring& text() const noexcept { return FText; }
  bool operator<(const TDispatchKind& other) const { return FText < other.FText; }
  bool operator==(const TDispatchKind& other) const { return FText == other.FText; }

 private:
  explicit TDispatchKind(std::wstring text) : FText(std::move(text)) {}
  std::wstring FText;  // "{...}" for an interface id, "#name" for a named kind
};

// DISPIDs by (kind of object, member name), for one automation server. One
// cache serves every object of every connection a connector makes; objects of
// the same kind share their DISPIDs.
class TDispIdCache {
 public:
  // `server` names the server in the messages of replies that cannot be read ("CAD").
  explicit TDispIdCache(std::wstring server) : FServer(std::move(server)) {}
  const std::wstring& server() const noexcept { return FServer; }
  DISPID find(IDispatch* object, const TDispatchKind& kind, const wchar_t* name);
  // Drops a DISPID the server no longer knows (a server restarted in another version).
  void forget(const TDispatchKind& kind, const wchar_t* name);
  // How many GetIDsOfNames calls went to a server (for tests).
  std::size_t lookups() const noexcept { return FLookups; }

 private:
  std::wstring FServer;
  std::map<std::pair<TDispatchKind, std::wstring>, DISPID> FIds;
  std::size_t FLookups = 0;
};

using TDispIdCachePtr = std::shared_ptr<TDispIdCache>;

enum class TInvokeKind { get, put, method };

// Calls `name` on `object` with `args` in the order a caller writes them (the
// first argument first). A failure raises TAutomationError whose message starts with
// "name: " and carries the server's text. The arguments stay owned by the
// caller; the result is the caller's.
TVariant invokeByName(TDispIdCache& cache, IDispatch* object, const TDispatchKind& kind, const wchar_t* name,
                      TInvokeKind invoke, const VARIANT* args, std::size_t count);

// A call that the server never answered: it has ended, or turned the call away.
bool callUnanswered(HRESULT hr);

// A late-bound view of one object seen as one kind.
class TDispatchObject {
 public:
  TDispatchObject(TDispIdCachePtr cache, IDispatch* object, TDispatchKind kind) noexcept
      : FCache(std::move(cache)), FObject(object), FKind(std::move(kind)) {}

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
  TVariant call(const wchar_t* name, TInvokeKind invoke, TArgs&&... args) const {
    // Invoke takes in-arguments without taking ownership: the VARIANT structs
    // are shallow copies of the callers', which live until the call returns.
    const std::array<VARIANT, sizeof...(TArgs) + 1> argv{{args.get()..., VARIANT{}}};
    return invokeByName(*FCache, FObject, FKind, name, invoke, argv.data(), sizeof...(TArgs));
  }

  TDispIdCachePtr FCache;
  IDispatch* FObject = nullptr;  // borrowed: the owner keeps the reference
  TDispatchKind FKind;
};
