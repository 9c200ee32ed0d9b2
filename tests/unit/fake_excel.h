#pragma once
// An Excel that records the calls the export and the read-back make, in order, holds what was
// assigned, counts the objects still referenced and fails at a chosen call.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/excel_ports.h"
#include "platform/errors.h"

class TFakeExcel : public TExcelConnector {
 public:
  // "activeExcel", "ActiveSheet", "Range", "Value", "Value get": the call that fails.
  std::string failAt;
  std::vector<std::string> calls;  // "activeExcel", "ActiveSheet", "Range A1 B3", "Value 3x2", "release Range", ...
  std::optional<TTransferArray> assigned;
  // What "Value" gives back when read; the last "NumberFormat" assigned.
  TExcelValues values;
  std::optional<std::wstring> numberFormat;
  int alive = 0;  // objects handed out and not yet released

  std::unique_ptr<TExcelApplication> activeExcel() override {
    call("activeExcel");
    return std::make_unique<TApp>(*this);
  }

 private:
  void call(const std::string& name) {
    calls.push_back(name);
    if (failAt == name) {
      throw TMorvaneError(L"fails: " + fromUtf8(name));
    }
  }

  struct TObject {
    TObject(TFakeExcel& owner, std::string name) : FOwner(owner), FName(std::move(name)) { ++FOwner.alive; }
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    ~TObject() {
      --FOwner.alive;
      FOwner.calls.push_back("release " + FName);
    }
    TFakeExcel& FOwner;
    std::string FName;
  };
  struct TRange : TExcelRange, TObject {
    explicit TRange(TFakeExcel& o) : TObject(o, "Range") {}
    void setValue(TTransferArray array) override {
      FOwner.call("Value " + std::to_string(array.rows()) + "x" + std::to_string(array.cols()));
      if (FOwner.failAt == "Value") throw TMorvaneError(L"refused");
      FOwner.assigned = std::move(array);
    }
    TExcelValues Value() override {
      FOwner.call("Value get");
      return FOwner.values;
    }
    void setNumberFormat(const std::wstring& format) override {
      FOwner.call("NumberFormat " + toUtf8(format));
      FOwner.numberFormat = format;
    }
  };
  struct TSheet : TExcelWorksheet, TObject {
    explicit TSheet(TFakeExcel& o) : TObject(o, "Sheet") {}
    std::unique_ptr<TExcelRange> Range(const std::wstring& first, const std::wstring& last) override {
      FOwner.call("Range " + toUtf8(first) + " " + toUtf8(last));
      if (FOwner.failAt == "Range") throw TMorvaneError(L"bad range");
      return std::make_unique<TRange>(FOwner);
    }
  };
  struct TApp : TExcelApplication, TObject {
    explicit TApp(TFakeExcel& o) : TObject(o, "Application") {}
    std::unique_ptr<TExcelWorksheet> ActiveSheet() override {
      FOwner.call("ActiveSheet");
      return std::make_unique<TSheet>(FOwner);
    }
  };
};
