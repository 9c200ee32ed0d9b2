#include "export/csv_file.h"

#include "platform/utf8.h"

namespace {

bool needsQuotes(const std::wstring& text) {
  return text.find_first_of(L",\"\r\n") != std::wstring::npos;
}

}  // namespace

std::wstring csvField(const std::wstring& text) {
  if (!needsQuotes(text)) {
    return text;
  }
  std::wstring field = L"\"";
  for (const wchar_t ch : text) {
    field += ch;
    if (ch == L'"') {
      field += L'"';
    }
  }
  field += L'"';
  return field;
}

std::string csvFileBytes(const TTransferArray& cells) {
  std::wstring text;
  for (std::int32_t r = 1; r <= cells.rows(); ++r) {
    for (std::int32_t c = 1; c <= cells.cols(); ++c) {
      if (c > 1) {
        text += L',';
      }
      text += csvField(cells.at(r, c));
    }
    text += L"\r\n";
  }
  return "\xEF\xBB\xBF" + toUtf8(text);
}

std::wstring csvDefaultName(const std::wstring& drawingName) {
  // The document's name may come with a folder; only its last part is offered.
  const std::size_t slash = drawingName.find_last_of(L"\\/:");
  std::wstring name = slash == std::wstring::npos ? drawingName : drawingName.substr(slash + 1);
  const std::size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) {
    name.resize(dot);
  }
  return name.empty() ? L"table.csv" : name + L".csv";
}
