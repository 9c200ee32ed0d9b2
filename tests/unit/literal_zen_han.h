#pragma once
// The table conversion written out as the passes in table order, each row
// replacing every occurrence of its source and then letting messages run:
// the reference the one-pass conversions are checked and measured against.
#include <functional>
#include <string>

#include "text/zen_han_util.h"

inline void literalReplaceAll(std::wstring& text, const std::wstring& from, const std::wstring& to) {
  std::wstring out;
  std::size_t start = 0;
  for (std::size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, start)) {
    out.append(text, start, at - start);
    out += to;
    start = at + from.size();
  }
  out.append(text, start, std::wstring::npos);
  text = std::move(out);
}

// toZen: from the half-width side to the full-width side; otherwise back.
inline void literalTableConversion(std::wstring& text, const zenHanUtil::TPairTable& table, bool toZen,
                                   const std::function<void()>& letMessagesRun = {}) {
  for (std::size_t i = 0; i < table.zen.size(); ++i) {
    literalReplaceAll(text, toZen ? table.han[i] : table.zen[i], toZen ? table.zen[i] : table.han[i]);
    if (letMessagesRun) letMessagesRun();
  }
}
