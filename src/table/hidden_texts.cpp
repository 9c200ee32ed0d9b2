#include "table/hidden_texts.h"

#include <algorithm>

namespace {

// How many texts the log line names, and how long each may be there.
constexpr std::size_t kNamedInLog = 3;
constexpr std::size_t kNameLength = 10;

std::wstring quoted(const std::wstring& text) { return L"「" + text + L"」"; }

bool isHighSurrogate(wchar_t ch) { return ch >= 0xD800 && ch <= 0xDBFF; }

}  // namespace

void THiddenTexts::add(THiddenText hidden) {
  if (hidden.reason == THiddenReason::Covered) {
    FCrowded.insert({hidden.col, hidden.row});
  }
  FEntries.push_back(std::move(hidden));
}

void THiddenTexts::sortByIndex() {
  std::stable_sort(FEntries.begin(), FEntries.end(),
                   [](const THiddenText& a, const THiddenText& b) { return a.index < b.index; });
}

std::size_t THiddenTexts::count(THiddenReason reason) const {
  return static_cast<std::size_t>(std::count_if(FEntries.begin(), FEntries.end(),
                                                [reason](const THiddenText& h) { return h.reason == reason; }));
}

std::wstring hiddenReasonText(THiddenReason reason) {
  switch (reason) {
    case THiddenReason::OnRuling: return L"罫線上";
    case THiddenReason::Outside: return L"表の外";
    case THiddenReason::Covered: return L"同じセルの後の文字に隠れる";
  }
  return {};
}

std::wstring shortenText(const std::wstring& text, std::size_t limit) {
  if (text.size() <= limit) return text;
  if (limit == 0) return {};
  std::size_t keep = limit - 1;
  if (keep > 0 && isHighSurrogate(text[keep - 1])) {
    --keep;
  }
  return text.substr(0, keep) + L"…";
}

std::wstring hiddenLogLine(const THiddenTexts& hidden) {
  if (hidden.empty()) {
    return {};
  }
  std::wstring line = L"表示されない文字 = " + std::to_wstring(hidden.size()) + L" (";
  bool first = true;
  for (const THiddenReason reason : {THiddenReason::OnRuling, THiddenReason::Outside, THiddenReason::Covered}) {
    const std::size_t n = hidden.count(reason);
    if (n == 0) continue;
    line += (first ? L"" : L", ") + hiddenReasonText(reason) + L" = " + std::to_wstring(n);
    first = false;
  }
  line += L"): ";
  const std::size_t named = std::min(hidden.size(), kNamedInLog);
  for (std::size_t i = 0; i < named; ++i) {
    line += quoted(shortenText(hidden.entries()[i].text.sText, kNameLength));
  }
  if (hidden.size() > named) {
    line += L" ほか " + std::to_wstring(hidden.size() - named);
  }
  return line;
}

std::vector<std::wstring> hiddenListLines(const THiddenTexts& hidden) {
  std::vector<std::wstring> lines;
  lines.reserve(hidden.size());
  for (const THiddenText& h : hidden.entries()) {
    std::wstring line = L"【" + hiddenReasonText(h.reason) + L"】" + quoted(h.text.sText);
    if (h.reason == THiddenReason::Covered) {
      line += L" (列 " + std::to_wstring(h.col) + L"・行 " + std::to_wstring(h.row) + L" は" + quoted(h.shownText) +
              L")";
    }
    lines.push_back(std::move(line));
  }
  return lines;
}
