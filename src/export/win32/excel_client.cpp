#include "export/win32/excel_client.h"

#include <oleauto.h>

#include <new>
#include <string>
#include <utility>

#include "platform/errors.h"
#include "platform/win32/com_object.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/safe_array.h"
#include "platform/win32/system_message.h"
#include "platform/win32/variant.h"
#include "export/win32/excel_values_win32.h"

namespace {

// The kinds of Excel object DISPIDs are cached under: each is used through
// the IDispatch it came as, so that a name is never taken for another
// object's member of the same name.
constexpr const wchar_t* kApplicationKind = L"Excel.Application";
constexpr const wchar_t* kWorksheetKind = L"Excel.Worksheet";
constexpr const wchar_t* kRangeKind = L"Excel.Range";

[[noreturn]] void fail(const std::wstring& what, HRESULT hr) {
  throw TAutomationError(L"Excel: " + what + L": " + systemMessage(static_cast<DWORD>(hr)), callUnanswered(hr));
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

class TComExcelRange : public TExcelRange, TComObject {
 public:
  TComExcelRange(TComPtr<IDispatch> range, TDispIdCachePtr cache)
      : TComObject(std::move(range), std::move(cache), kRangeKind) {}

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
      put(L"Value", std::move(byRef));
    } catch (...) {
      adopt();
      throw;
    }
    adopt();
  }

  TExcelValues Value() override {
    const TVariant reply = TDispatchObject(cache(), object(), TDispatchKind::named(kRangeKind)).get(L"Value");
    return excelValuesOf(reply.get());
  }

  void setNumberFormat(const std::wstring& format) override { put(L"NumberFormat", TVariant::fromString(format)); }
};

class TComExcelWorksheet : public TExcelWorksheet, TComObject {
 public:
  TComExcelWorksheet(TComPtr<IDispatch> sheet, TDispIdCachePtr cache)
      : TComObject(std::move(sheet), std::move(cache), kWorksheetKind) {}

  std::unique_ptr<TExcelRange> Range(const std::wstring& first, const std::wstring& last) override {
    return std::make_unique<TComExcelRange>(
        getObject(L"Range", TVariant::fromString(first), TVariant::fromString(last)), cache());
  }
};

// An Excel without a workbook may answer ActiveSheet with nothing: like any
// reply that is no live object, that is a failure.
class TComExcelApplication : public TExcelApplication, TComObject {
 public:
  TComExcelApplication(TComPtr<IDispatch> application, TDispIdCachePtr cache)
      : TComObject(std::move(application), std::move(cache), kApplicationKind) {}

  std::unique_ptr<TExcelWorksheet> ActiveSheet() override {
    return std::make_unique<TComExcelWorksheet>(getObject(L"ActiveSheet"), cache());
  }
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
