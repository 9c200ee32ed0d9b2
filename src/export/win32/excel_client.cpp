#include "export/win32/excel_client.h"

#include <oleauto.h>

#include <new>
#include <string>
#include <utility>

#include "platform/errors.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/safe_array.h"
#include "platform/win32/system_message.h"
#include "platform/win32/variant.h"

namespace {

// The kinds of Excel object DISPIDs are cached under: each is used through
// the IDispatch it came as, so that a name is never taken for another
// object's member of the same name.
TDispatchKind applicationKind() { return TDispatchKind::named(L"Excel.Application"); }
TDispatchKind worksheetKind() { return TDispatchKind::named(L"Excel.Worksheet"); }
TDispatchKind rangeKind() { return TDispatchKind::named(L"Excel.Range"); }

[[noreturn]] void fail(const std::wstring& what, HRESULT hr) {
  throw TMorvaneError(L"Excel: " + what + L": " + systemMessage(static_cast<DWORD>(hr)));
}

// The object a member answered with; anything but a live object is a failure
// (an Excel without a workbook may answer ActiveSheet with nothing).
TComPtr<IDispatch> objectReply(TVariant reply, const wchar_t* member) {
  VARIANT v = reply.release();
  if (v.vt != VT_DISPATCH || v.pdispVal == nullptr) {
    VariantClear(&v);
    throw TMorvaneError(std::wstring(L"Excel: ") + member + L": no object");
  }
  return TComPtr<IDispatch>::attach(v.pdispVal);
}

// A two-dimensional array of string variants with both lower bounds 1, its
// first dimension the rows, as Excel reads a range's value.
TSafeArray variantArray(const TTransferArray& cells) {
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(cells.rows()), 1}, {static_cast<ULONG>(cells.cols()), 1}};
  TSafeArray array = TSafeArray::attach(SafeArrayCreate(VT_VARIANT, 2, bounds));
  if (!array) {
    throw std::bad_alloc();
  }
  const TSafeArrayAccess access(array.get());
  if (!access.ok()) {
    throw std::bad_alloc();
  }
  // The first index runs fastest in a SAFEARRAY's data: column after column.
  VARIANT* element = access.data<VARIANT>();
  for (std::int32_t c = 1; c <= cells.cols(); ++c) {
    for (std::int32_t r = 1; r <= cells.rows(); ++r, ++element) {
      const std::wstring& text = cells.at(r, c);
      element->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      if (element->bstrVal == nullptr) {
        throw std::bad_alloc();
      }
      element->vt = VT_BSTR;
    }
  }
  return array;
}

class TComExcelRange : public TExcelRange {
 public:
  TComExcelRange(TComPtr<IDispatch> range, TDispIdCachePtr cache)
      : FRange(std::move(range)), FView(std::move(cache), FRange.get(), rangeKind()) {}

  void setValue(TTransferArray cells) override {
    TSafeArray array = variantArray(cells);
    // By reference, as Excel's own clients pass it. The call may hand back
    // another array in its place (Wine's does, its dimensions swapped):
    // whichever it is, it is ours to destroy and is not read again.
    SAFEARRAY* passed = array.get();
    const auto adopt = [&] {
      if (passed != array.get()) {
        array.detach();
        array = TSafeArray::attach(passed);
      }
    };
    TVariant byRef;
    byRef.ptr()->vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
    byRef.ptr()->pparray = &passed;
    try {
      FView.put(L"Value", std::move(byRef));
    } catch (...) {
      adopt();
      throw;
    }
    adopt();
  }

 private:
  TComPtr<IDispatch> FRange;
  TDispatchObject FView;
};

class TComExcelWorksheet : public TExcelWorksheet {
 public:
  TComExcelWorksheet(TComPtr<IDispatch> sheet, TDispIdCachePtr cache)
      : FSheet(std::move(sheet)), FView(std::move(cache), FSheet.get(), worksheetKind()) {}

  std::unique_ptr<TExcelRange> Range(const std::wstring& first, const std::wstring& last) override {
    TComPtr<IDispatch> range =
        objectReply(FView.get(L"Range", TVariant::fromString(first), TVariant::fromString(last)), L"Range");
    return std::make_unique<TComExcelRange>(std::move(range), FView.cache());
  }

 private:
  TComPtr<IDispatch> FSheet;
  TDispatchObject FView;
};

class TComExcelApplication : public TExcelApplication {
 public:
  TComExcelApplication(TComPtr<IDispatch> application, TDispIdCachePtr cache)
      : FApplication(std::move(application)), FView(std::move(cache), FApplication.get(), applicationKind()) {}

  std::unique_ptr<TExcelWorksheet> ActiveSheet() override {
    TComPtr<IDispatch> sheet = objectReply(FView.get(L"ActiveSheet"), L"ActiveSheet");
    return std::make_unique<TComExcelWorksheet>(std::move(sheet), FView.cache());
  }

 private:
  TComPtr<IDispatch> FApplication;
  TDispatchObject FView;
};

}  // namespace

std::unique_ptr<TExcelApplication> TComExcelConnector::activeExcel() {
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(L"Excel.Application", &clsid);
  if (FAILED(hr)) {
    fail(L"CLSIDFromProgID", hr);
  }
  TComPtr<IUnknown> unknown;
  hr = GetActiveObject(clsid, nullptr, unknown.receive());
  if (FAILED(hr) || !unknown) {
    fail(L"GetActiveObject", hr);
  }
  TComPtr<IDispatch> application;
  hr = unknown.queryInterface(IID_IDispatch, application);
  if (FAILED(hr) || !application) {
    fail(L"IDispatch", hr);
  }
  return std::make_unique<TComExcelApplication>(std::move(application), FCache);
}
