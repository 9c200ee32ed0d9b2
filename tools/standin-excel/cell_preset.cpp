#include "cell_preset.h"

#include <cstdlib>

namespace {

std::optional<TCellValue> presetValue(const std::wstring& entry) {
  if (entry == L"empty") return TCellValue{};
  if (entry.size() < 2 || entry[1] != L':') return std::nullopt;
  const std::wstring body = entry.substr(2);
  switch (entry[0]) {
    case L's':
      return body.empty() ? TCellValue{} : TCellValue{TCellKind::Text, body, 0.0};
    case L'n': {
      wchar_t* end = nullptr;
      const double number = std::wcstod(body.c_str(), &end);
      if (body.empty() || end != body.c_str() + body.size()) return std::nullopt;
      return TCellValue{TCellKind::Number, generalNumberText(number), number};
    }
    case L'd': {
      const TCellValue date = assignedValue(body, false);
      if (date.kind != TCellKind::Date) return std::nullopt;
      return date;
    }
    case L'b':
      if (body != L"0" && body != L"1") return std::nullopt;
      return TCellValue{TCellKind::Bool, body == L"1" ? L"TRUE" : L"FALSE", body == L"1" ? 1.0 : 0.0};
    case L'e':
      if (const auto number = errorNumber(body)) return TCellValue{TCellKind::Error, body, static_cast<double>(*number)};
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace

bool parsePreset(const std::wstring& text, TPresetCells& cells, std::wstring* error) {
  cells.clear();
  std::size_t lineStart = 0;
  for (int lineNo = 1; lineStart < text.size(); ++lineNo) {
    std::size_t lineEnd = text.find(L'\n', lineStart);
    if (lineEnd == std::wstring::npos) lineEnd = text.size();
    std::wstring line = text.substr(lineStart, lineEnd - lineStart);
    lineStart = lineEnd + 1;
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (line.empty()) continue;
    const std::size_t eq = line.find(L'=');
    const auto pos = eq == std::wstring::npos ? std::nullopt : parseCellName(line.substr(0, eq));
    const auto value = pos ? presetValue(line.substr(eq + 1)) : std::nullopt;
    if (!value) {
      if (error != nullptr) *error = L"line " + std::to_wstring(lineNo) + L": " + line;
      return false;
    }
    cells.emplace_back(*pos, *value);
  }
  return true;
}
