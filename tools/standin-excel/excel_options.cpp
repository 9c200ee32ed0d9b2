#include "excel_options.h"

namespace {

// The value of "--name=value" when arg starts with "--name=".
bool valueOf(const std::wstring& arg, const wchar_t* name, std::wstring& value) {
  const std::wstring prefix = std::wstring(L"--") + name + L"=";
  if (arg.compare(0, prefix.size(), prefix) != 0) return false;
  value = arg.substr(prefix.size());
  return true;
}

}  // namespace

bool parseExcelOptions(const std::vector<std::wstring>& args, TExcelOptions& o, std::wstring* error) {
  for (const std::wstring& arg : args) {
    std::wstring value;
    bool needsValue = true;
    if (valueOf(arg, L"cells", value)) {
      o.cellsPath = value;
    } else if (valueOf(arg, L"load", value)) {
      o.loadPath = value;
    } else if (valueOf(arg, L"preset", value)) {
      o.presetPath = value;
    } else if (valueOf(arg, L"exit-in", value)) {
      o.exitInMember = value;
    } else if (valueOf(arg, L"call-log", value)) {
      o.callLogPath = value;
    } else if (arg == L"--no-workbook") {
      o.noWorkbook = true;
      needsValue = false;
    } else if (arg == L"--refuse-value") {
      o.refuseValue = true;
      needsValue = false;
    } else if (arg == L"--refuse-read") {
      o.refuseRead = true;
      needsValue = false;
    } else if (arg == L"--wrong-shape") {
      o.wrongShape = true;
      needsValue = false;
    } else {
      if (error != nullptr) *error = L"unknown argument: " + arg;
      return false;
    }
    if (needsValue && value.empty()) {
      if (error != nullptr) *error = L"missing value: " + arg;
      return false;
    }
  }
  return true;
}
