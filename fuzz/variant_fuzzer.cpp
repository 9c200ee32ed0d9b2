// Decodes a fuzzer's VARIANT tree as the automation clients decode a
// server's replies: every decoder either returns a value of the promised shape or
// raises TAutomationError; nothing is read outside what the tree holds, nothing is
// left locked, leaked or released once too often, and no allocation is sized
// by a count beyond kMaxReplyElements (the run's -malloc_limit_mb catches one).
// Input: a tree, node by node: a kind byte, then what that kind needs
// (scalars and their bits, strings, objects, arrays of 1-3 dimensions with
// odd bounds and any element type, references, counts claimed beyond reason).
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_input.h"
#include "ole_shim_testing.h"
#include "platform/errors.h"
#include "platform/win32/reply_count.h"
#include "platform/win32/variant_decode.h"

namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "reply decoding invariant broken: %s\n", what);
    std::abort();
  }
}

// An automation object of the reply; the fuzz run owns it, the tree holds references.
class TFuzzObject final : public IDispatch {
 public:
  explicit TFuzzObject(bool dispatchable) : FDispatchable(dispatchable) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || (FDispatchable && iid == IID_IDispatch)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++FRefs); }
  ULONG STDMETHODCALLTYPE Release() override {
    check(FRefs > 0, "an object released once too often");
    return static_cast<ULONG>(--FRefs);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, OLECHAR**, UINT, LCID, DISPID*) override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_UNEXPECTED;
  }
  long refs() const { return FRefs; }

 private:
  bool FDispatchable;
  long FRefs = 1;  // the run's own
};

constexpr VARTYPE kScalarTypes[] = {VT_EMPTY, VT_NULL, VT_I1,  VT_I2,    VT_I4,  VT_I8,   VT_INT,  VT_UI1,
                                    VT_UI2,   VT_UI4,  VT_UI8, VT_UINT,  VT_R4,  VT_R8,   VT_BOOL, VT_ERROR,
                                    VT_CY,    VT_DATE};
constexpr VARTYPE kArrayTypes[] = {VT_R8, VT_R4,   VT_VARIANT, VT_I2,  VT_I4,      VT_I8,      VT_UI1,
                                   VT_BOOL, VT_BSTR, VT_DISPATCH, VT_UNKNOWN, VT_DECIMAL, VT_DATE, VT_CY};
constexpr std::size_t kMaxNodes = 3000;

template <class T, std::size_t N>
T pick(TFuzzInput& in, const T (&from)[N]) {
  return from[in.byte() % N];
}

// Builds the tree. Everything a reference points to lives in the arena until
// the run ends, as a server's out-parameters outlive the call.
class TTreeBuilder {
 public:
  explicit TTreeBuilder(TFuzzInput& in) : FIn(in) {}
  ~TTreeBuilder() { releaseTargets(); }
  TTreeBuilder(const TTreeBuilder&) = delete;
  TTreeBuilder& operator=(const TTreeBuilder&) = delete;

  // Clears what references pointed to, the newest first (a target may point into an older one).
  void releaseTargets() {
    for (auto it = FTargets.rbegin(); it != FTargets.rend(); ++it) VariantClear(it->get());
    FTargets.clear();
  }

  VARIANT build(int depth) {
    VARIANT v;
    VariantInit(&v);
    if (FIn.empty() || ++FNodes > kMaxNodes) return v;
    const std::uint8_t kind = FIn.byte();
    switch (depth >= 4 ? kind % 3 : kind % 6) {
      case 0: scalar(v); break;
      case 1: string(v); break;
      case 2: object(v); break;
      case 3: array(v, depth); break;
      case 4: reference(v, depth); break;
      default:
        // A type the program never asked for, with bits that mean nothing.
        v.vt = static_cast<VARTYPE>(0x40 + FIn.byte());
        v.llVal = static_cast<LONGLONG>(FIn.u64());
        break;
    }
    return v;
  }

  bool allObjectsBack() const {
    for (const auto& object : FObjects) {
      if (object->refs() != 1) return false;
    }
    return true;
  }

 private:
  void scalar(VARIANT& v) {
    v.vt = pick(FIn, kScalarTypes);
    v.llVal = static_cast<LONGLONG>(FIn.u64());
    if (FIn.byte() % 4 == 0 && (v.vt == VT_R8 || v.vt == VT_DATE)) {
      const double odd[] = {NAN, INFINITY, -INFINITY, -0.0, 1e308, 5e-324};
      v.dblVal = odd[FIn.byte() % 6];
    }
  }
  BSTR text() {
    if (FIn.byte() % 8 == 0) return nullptr;  // a null BSTR is the empty string
    std::wstring chars(FIn.byte() % 24, L'\0');
    for (wchar_t& ch : chars) ch = static_cast<wchar_t>(FIn.byte() | (FIn.byte() % 4 == 0 ? 0x3000 : 0));
    return SysAllocStringLen(chars.data(), static_cast<UINT>(chars.size()));
  }
  void string(VARIANT& v) {
    v.vt = VT_BSTR;
    v.bstrVal = text();
  }
  IUnknown* newObject() {
    const std::uint8_t how = FIn.byte();
    if (how % 5 == 0) return nullptr;
    FObjects.push_back(std::make_unique<TFuzzObject>(how % 3 != 0));
    FObjects.back()->AddRef();  // the tree's reference
    return FObjects.back().get();
  }
  void object(VARIANT& v) {
    v.vt = FIn.byte() % 2 == 0 ? VT_DISPATCH : VT_UNKNOWN;
    v.punkVal = newObject();
  }
  void fillElement(VARTYPE element, void* slot, std::size_t size, int depth) {
    switch (element) {
      case VT_VARIANT: {
        VARIANT child = build(depth + 1);
        std::memcpy(slot, &child, sizeof child);  // the array owns it now
        break;
      }
      case VT_BSTR: *static_cast<BSTR*>(slot) = text(); break;
      case VT_DISPATCH:
      case VT_UNKNOWN: *static_cast<IUnknown**>(slot) = newObject(); break;
      case VT_R8: {
        const double d = static_cast<double>(static_cast<std::int32_t>(FIn.u32())) / 16.0;
        std::memcpy(slot, &d, sizeof d);
        break;
      }
      default:
        for (std::size_t at = 0; at < size; at += 8) {
          const std::uint64_t bits = FIn.u64();
          std::memcpy(static_cast<char*>(slot) + at, &bits, std::min<std::size_t>(sizeof bits, size - at));
        }
        break;
    }
  }
  void array(VARIANT& v, int depth) {
    const VARTYPE element = pick(FIn, kArrayTypes);
    const std::uint8_t shape = FIn.byte();
    const UINT dims = 1 + shape % 3;
    SAFEARRAYBOUND bounds[3] = {};
    const bool claimed = shape & 0x80;
    for (UINT d = 0; d < dims; ++d) {
      bounds[d].lLbound = static_cast<LONG>(FIn.byte() % 4 == 0 ? FIn.u32() : FIn.byte() % 3);
      bounds[d].cElements = FIn.byte() % 8;
    }
    if (dims == 1 && (shape & 0x40)) bounds[0].cElements = 8 + FIn.u32() % 2048;
    SAFEARRAY* a = nullptr;
    if (claimed) {
      // A count past belief: a billion, or just over the limit, or the most there is.
      const std::uint32_t counts[] = {1'000'000'000u, static_cast<std::uint32_t>(kMaxReplyElements) + 1,
                                      0xFFFFFFFFu, 0x80000000u};
      bounds[FIn.byte() % dims].cElements = counts[FIn.byte() % 4];
      a = oleShimClaimedArray(element, dims, bounds);
    } else {
      a = SafeArrayCreate(element, dims, bounds);
      if (a != nullptr) {
        std::size_t count = 1;
        for (UINT d = 0; d < dims; ++d) count *= bounds[d].cElements;
        for (std::size_t i = 0; i < count; ++i) {
          fillElement(element, static_cast<char*>(a->pvData) + i * a->cbElements, a->cbElements, depth);
        }
      }
    }
    // The variant's type usually names the array's element type; a reply may lie.
    const VARTYPE declared = FIn.byte() % 6 == 0 ? pick(FIn, kArrayTypes) : element;
    v.vt = static_cast<VARTYPE>(VT_ARRAY | declared);
    v.parray = a;
  }
  void reference(VARIANT& v, int depth) {
    auto target = std::make_unique<VARIANT>(build(depth + 1));
    const std::uint8_t how = FIn.byte();
    if (how % 3 == 0 || target->vt == VT_EMPTY || target->vt == VT_NULL || (target->vt & VT_BYREF) ||
        target->vt >= 0x40) {
      v.vt = VT_VARIANT | VT_BYREF;
      v.pvarVal = target.get();
    } else {
      // A reference to the value itself: the union's first byte is every member's.
      v.vt = static_cast<VARTYPE>(target->vt | VT_BYREF);
      v.byref = &target->llVal;
    }
    if (how % 7 == 0) v.byref = nullptr;
    FTargets.push_back(std::move(target));
  }

  TFuzzInput& FIn;
  std::size_t FNodes = 0;
  std::vector<std::unique_ptr<VARIANT>> FTargets;
  std::vector<std::unique_ptr<TFuzzObject>> FObjects;
};

template <class F>
void decode(F&& f) {
  try {
    f();
  } catch (const TAutomationError& e) {
    check(!e.message().empty(), "an error without a message");
  }
  check(oleShimLockedArrays() == 0, "an array left locked");
}

void decodeEveryWay(const VARIANT& v) {
  const TReplyOf member{L"CAD", L"Reply"};
  decode([&] { (void)variantInteger(v, member); });
  decode([&] { (void)variantInt32(v, member); });
  decode([&] {
    const std::int32_t n = variantCount(v, member);
    check(n >= 0 && n <= kMaxReplyElements, "a count out of range");
  });
  decode([&] { (void)variantLow32(v, member); });
  decode([&] { (void)variantBool(v, member); });
  decode([&] { (void)variantDouble(v, member); });
  decode([&] { (void)variantString(v, member); });
  decode([&] {
    const std::array<double, 3> p = variantPoint(v, member);
    // A plain array of three doubles is read as it is.
    if (v.vt == (VT_ARRAY | VT_R8) && SafeArrayGetDim(v.parray) == 1) {
      check(std::memcmp(p.data(), v.parray->pvData, sizeof p) == 0, "a point read as other values");
    }
  });
  decode([&] { check(variantVertices(v, member).size() % 2 == 0, "an odd vertex list"); });
  decode([&] {
    TVariant copy;
    if (FAILED(VariantCopy(copy.ptr(), &v))) return;
    const TComPtr<IDispatch> object = variantDispatch(std::move(copy), member);
    check(object.get() != nullptr, "a null object returned");
  });
}

// The arguments the client builds come back as they went.
void encodeAndDecode(TFuzzInput& in) {
  std::array<double, 3> p{};
  for (double& c : p) c = static_cast<double>(static_cast<std::int32_t>(in.u32())) / 8.0;
  const TVariant point = pointVariant(p);
  check(variantPoint(point.get(), TReplyOf{L"CAD", L"Point"}) == p, "a point read back as another");
  std::vector<std::int16_t> shorts(in.byte() % 6);
  for (auto& s : shorts) s = static_cast<std::int16_t>(in.u32());
  const TVariant codes = shortArrayVariant(shorts);
  check(codes.get().parray != nullptr && codes.get().parray->rgsabound[0].cElements == shorts.size(),
        "a short array of another length");
  std::vector<std::wstring> texts(in.byte() % 4, L"\u56f3\u9762");
  const TVariant strings = stringArrayVariant(texts);
  check(strings.get().parray != nullptr && strings.get().parray->rgsabound[0].cElements == texts.size(),
        "a string array of another length");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFuzzInput in(data, size);
  encodeAndDecode(in);
  TTreeBuilder builder(in);
  VARIANT reply = builder.build(0);
  decodeEveryWay(reply);
  check(SUCCEEDED(VariantClear(&reply)) || reply.vt >= 0x40, "the reply could not be cleared");
  builder.releaseTargets();
  check(builder.allObjectsBack(), "an object's references out of balance");
  check(oleShimLiveArrays() == 0, "an array leaked");
  check(oleShimLiveStrings() == 0, "a string leaked");
  return 0;
}
