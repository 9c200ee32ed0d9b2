#pragma once
// One automation object held through one of its interfaces: its members are
// called by name, and each reply is read as the type its caller expects.
// Every getter makes exactly one call to the server; a reply of another type,
// shape or size raises TAutomationError naming the server and the member.
#include <windows.h>
#include <oaidl.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/com_ptr.h"
#include "platform/win32/dispatch.h"
#include "platform/win32/variant.h"
#include "platform/win32/variant_decode.h"

class TComObject {
 public:
  TComObject(TComPtr<IDispatch> object, TDispIdCachePtr cache, TDispatchKind kind) noexcept
      : FObject(std::move(object)), FView(std::move(cache), FObject.get(), std::move(kind)) {}
  TComObject(TComPtr<IDispatch> object, TDispIdCachePtr cache, const GUID& iid)
      : TComObject(std::move(object), std::move(cache), TDispatchKind::ofInterface(iid)) {}
  TComObject(TComPtr<IDispatch> object, TDispIdCachePtr cache, const wchar_t* kindName)
      : TComObject(std::move(object), std::move(cache), TDispatchKind::named(kindName)) {}

  // Property reads.
  std::wstring getString(const wchar_t* name) const;
  std::int32_t getInt32(const wchar_t* name) const;
  // A count of elements, within what the program believes a server claims.
  std::int32_t getCount(const wchar_t* name) const;
  // The low 32 bits of an integer: window handles and object ids.
  std::int32_t getLow32(const wchar_t* name) const;
  bool getBool(const wchar_t* name) const;
  std::array<double, 3> getPoint(const wchar_t* name) const;
  // x0, y0, x1, y1, ...
  std::vector<double> getVertices(const wchar_t* name) const;
  template <class... TArgs>
  TComPtr<IDispatch> getObject(const wchar_t* name, TArgs&&... args) const {
    return variantDispatch(FView.get(name, std::forward<TArgs>(args)...), replyOf(name));
  }

  // Method calls: for nothing, or for an object or a number.
  template <class... TArgs>
  void call(const wchar_t* name, TArgs&&... args) const {
    FView.method(name, std::forward<TArgs>(args)...);
  }
  template <class... TArgs>
  TComPtr<IDispatch> callObject(const wchar_t* name, TArgs&&... args) const {
    return variantDispatch(FView.method(name, std::forward<TArgs>(args)...), replyOf(name));
  }
  template <class... TArgs>
  double callDouble(const wchar_t* name, TArgs&&... args) const {
    return variantDouble(FView.method(name, std::forward<TArgs>(args)...).get(), replyOf(name));
  }

  void put(const wchar_t* name, TVariant value) const { FView.put(name, std::move(value)); }

  IDispatch* object() const noexcept { return FObject.get(); }
  const TDispIdCachePtr& cache() const noexcept { return FView.cache(); }

 private:
  TReplyOf replyOf(const wchar_t* name) const { return TReplyOf{FView.cache()->server(), name}; }

  TComPtr<IDispatch> FObject;
  TDispatchObject FView;  // borrows FObject, declared after it
};
