#include "excel_objects.h"

#include <new>

#include "array_value.h"
#include "dispatch_server.h"
#include "platform/utf8.h"

namespace {

constexpr WORD kGet = DISPATCH_PROPERTYGET | DISPATCH_METHOD;

// Logs the call and, when the tests asked for it, ends the process inside it.
void arrive(TExcelState& state, const wchar_t* member, const std::wstring& detail = std::wstring()) {
  state.callLog.line(detail.empty() ? std::wstring(member) : std::wstring(member) + L" " + detail);
  if (!state.options.exitInMember.empty() && _wcsicmp(state.options.exitInMember.c_str(), member) == 0 &&
      state.onExitInCall) {
    state.onExitInCall();
  }
}

void returnObject(VARIANT* result, IDispatch* object) {
  if (result == nullptr) {
    object->Release();
    return;
  }
  result->vt = VT_DISPATCH;
  result->pdispVal = object;
}

class TRangeObject : public TDispatchServer {
 public:
  TRangeObject(TExcelState& state, const TCellBlock& block) : FState(state), FBlock(block) {}

 protected:
  bool hasMember(DISPID id) const override { return id == kDispValue || id == kDispNumberFormat; }
  void serve(DISPID id, WORD flags, const DISPPARAMS& params, VARIANT* result) override {
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (id == kDispNumberFormat) {
      if (!put) throw TExcelFault{L"", DISP_E_MEMBERNOTFOUND};
      const std::wstring format = stringArgument(&putValue(params));
      arrive(FState, L"NumberFormat", L"put " + format);
      FState.sheet.setNumberFormat(FBlock, format);
      return;
    }
    if (put) {
      const VARIANT& value = putValue(params);
      arrive(FState, L"Value", L"put " + describeValue(value));
      if (FState.options.refuseValue) {
        throw TExcelFault{L"Range クラスの Value プロパティを設定できません。"};
      }
      FState.sheet.assign(FBlock, valueBlock(value, FBlock.rows(), FBlock.cols()));
      if (FState.onAssigned) FState.onAssigned();
      return;
    }
    arrive(FState, L"Value", L"get");
    if (FState.options.refuseRead) {
      throw TExcelFault{L"Range クラスの Value プロパティを取得できません。"};
    }
    TTypedBlock cells = FState.sheet.typedValues(FBlock);
    if (FState.options.wrongShape && cells.rows > 1) {
      // One row short: the reply a client must not trust.
      --cells.rows;
      cells.cells.resize(static_cast<std::size_t>(cells.rows) * static_cast<std::size_t>(cells.cols));
    }
    if (result != nullptr) *result = rangeValue(cells);
  }

 private:
  TExcelState& FState;
  TCellBlock FBlock;
};

class TWorksheetObject : public TDispatchServer {
 public:
  explicit TWorksheetObject(TExcelState& state) : FState(state) {}

 protected:
  bool hasMember(DISPID id) const override { return id == kDispRange; }
  void serve(DISPID, WORD flags, const DISPPARAMS& params, VARIANT* result) override {
    if ((flags & kGet) == 0) throw TExcelFault{L"", DISP_E_MEMBERNOTFOUND};
    const UINT count = positionalCount(params);
    const std::wstring first = stringArgument(positionalArgument(params, 0));
    const std::wstring last = count > 1 ? stringArgument(positionalArgument(params, 1)) : std::wstring();
    arrive(FState, L"Range", count > 1 ? first + L" " + last : first);
    const auto block = parseRange(first, last);
    if (!block || count > 2) {
      throw TExcelFault{L"'Range' メソッドは失敗しました: '_Worksheet' オブジェクト"};
    }
    returnObject(result, new TRangeObject(FState, *block));
  }

 private:
  TExcelState& FState;
};

class TApplicationObject : public TDispatchServer {
 public:
  explicit TApplicationObject(TExcelState& state) : FState(state) {}

 protected:
  bool hasMember(DISPID id) const override { return id == kDispActiveSheet; }
  void serve(DISPID, WORD flags, const DISPPARAMS&, VARIANT* result) override {
    if ((flags & kGet) == 0) throw TExcelFault{L"", DISP_E_MEMBERNOTFOUND};
    arrive(FState, L"ActiveSheet");
    if (FState.options.noWorkbook) {
      throw TExcelFault{L"ブックが開かれていません。"};
    }
    returnObject(result, new TWorksheetObject(FState));
  }

 private:
  TExcelState& FState;
};

}  // namespace

TCallLog::~TCallLog() {
  if (FFile != nullptr) std::fclose(FFile);
}

void TCallLog::open(const std::wstring& path) {
  FFile = _wfopen(path.c_str(), L"ab");
  line(L"pid " + std::to_wstring(GetCurrentProcessId()));
}

void TCallLog::line(const std::wstring& text) {
  if (FFile == nullptr) return;
  const std::string bytes = toUtf8(text) + "\n";
  std::fwrite(bytes.data(), 1, bytes.size(), FFile);
  std::fflush(FFile);
}

IDispatch* newApplicationObject(TExcelState& state) { return new TApplicationObject(state); }
