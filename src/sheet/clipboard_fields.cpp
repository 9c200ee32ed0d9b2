#include "sheet/clipboard_fields.h"

#include <algorithm>

#include "sheet/line_break_mark.h"

namespace {

bool isRowEnd(std::wstring_view text, std::size_t pos) {
  return pos + 1 < text.size() && text[pos] == L'\r' && text[pos + 1] == L'\n';
}

bool endsField(std::wstring_view text, std::size_t pos) {
  return pos == text.size() || text[pos] == L'\t' || isRowEnd(text, pos);
}

}  // namespace

bool TClipboardFields::readQuoted(std::wstring* field) {
  if (FPos >= FText.size() || FText[FPos] != L'"') return false;
  // The closing quote is the first one not doubled.
  std::size_t close = FPos + 1;
  for (;; close += 2) {
    close = FText.find(L'"', close);
    if (close == std::wstring_view::npos) return false;
    if (close + 1 >= FText.size() || FText[close + 1] != L'"') break;
  }
  // It must end the field, and only a field holding a break is quoted by
  // Excel; anything else is a text that starts with a quote.
  const std::wstring_view inside = FText.substr(FPos + 1, close - FPos - 1);
  if (!endsField(FText, close + 1) || !hasLineBreak(inside)) return false;
  if (field != nullptr) {
    field->clear();
    for (std::size_t i = 0; i < inside.size(); ++i) {
      if (inside[i] == L'"') {
        ++i;  // a doubled quote is one
      } else if (isRowEnd(inside, i)) {
        continue;  // CR LF inside the field: its LF is the break
      }
      *field += inside[i];
    }
  }
  FPos = close + 1;
  return true;
}

bool TClipboardFields::next(std::wstring* field, bool& endsRow) {
  if (FPos >= FText.size() && !FFieldFollows) return false;
  FFieldFollows = false;
  FQuoted = readQuoted(field);
  if (!FQuoted) {
    std::size_t end = FText.find_first_of(L"\t\r", FPos);
    while (end != std::wstring_view::npos && !endsField(FText, end)) end = FText.find_first_of(L"\t\r", end + 1);
    end = std::min(end, FText.size());
    if (field != nullptr) field->assign(FText.substr(FPos, end - FPos));
    FPos = end;
  }
  if (FPos >= FText.size()) {
    endsRow = true;
  } else if (FText[FPos] == L'\t') {
    ++FPos;
    endsRow = false;
    FFieldFollows = true;
  } else {
    FPos += 2;  // CR LF
    endsRow = true;
  }
  return true;
}

std::int32_t clipboardRowCount(std::wstring_view text) {
  if (text.find(L'"') == std::wstring_view::npos) {
    // Without quotes each CR LF ends a row: counted without reading the fields.
    std::int32_t rows = 0;
    std::size_t next = 0;
    for (std::size_t at = text.find(L"\r\n"); at != std::wstring_view::npos; at = text.find(L"\r\n", next)) {
      ++rows;
      next = at + 2;
    }
    return next < text.size() ? rows + 1 : rows;
  }
  TClipboardFields fields(text);
  bool endsRow = false;
  std::int32_t rows = 0;
  while (fields.next(nullptr, endsRow)) {
    if (endsRow) ++rows;
  }
  return rows;
}

std::wstring clipboardField(const std::wstring& text) {
  if (!hasLineBreak(text)) return text;
  std::wstring field = L"\"";
  for (const wchar_t ch : text) {
    if (ch == L'"') field += L'"';
    field += ch;
  }
  return field + L"\"";
}
