#pragma once
// The texts Acquire read that the sheet does not show, and why: the fill
// finds them as it places the texts (sheet_fill.cpp), so that where a text
// lands and whether it is shown are decided by one rule.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "table/mrv_records.h"

enum class THiddenReason : std::uint8_t {
  OnRuling,  // the anchor lies exactly on a boundary inside the table's extent
  Outside,   // the anchor lies beyond the outermost boundaries (or there is no table)
  Covered,   // a later text fell into the same cell and is shown in its place
};

struct THiddenText {
  // A copy, not an index: Update adds to and removes from TextAry while this
  // list still describes what the fill left out.
  TMrvText text;
  std::size_t index = 0;  // its place in TextAry at the fill
  THiddenReason reason = THiddenReason::Outside;
  // Covered: the cell it shares, and the text the cell shows.
  std::int32_t col = 0;
  std::int32_t row = 0;
  std::wstring shownText;
};

// In TextAry order. A cell that holds more than one text is "crowded":
// editing it leaves the other texts in the drawing as they are.
class THiddenTexts {
 public:
  void add(THiddenText hidden);
  // Puts the entries back into TextAry order once every text is placed.
  void sortByIndex();
  const std::vector<THiddenText>& entries() const { return FEntries; }
  bool empty() const { return FEntries.empty(); }
  std::size_t size() const { return FEntries.size(); }
  std::size_t count(THiddenReason reason) const;
  bool crowded(std::int32_t col, std::int32_t row) const { return FCrowded.count({col, row}) > 0; }

 private:
  std::vector<THiddenText> FEntries;
  std::set<std::pair<std::int32_t, std::int32_t>> FCrowded;
};

// The reason as the log and the list name it.
std::wstring hiddenReasonText(THiddenReason reason);

// Acquire's line after its own: the count, the count of each reason that
// occurs, and the first few texts, shortened. Empty when every text is shown.
std::wstring hiddenLogLine(const THiddenTexts& hidden);

// One line per entry for the list window: the reason, the whole text, and
// for a covered text the cell and what it shows.
std::vector<std::wstring> hiddenListLines(const THiddenTexts& hidden);

// At most `limit` characters: a longer text is cut and ends in "…", never
// between the halves of a surrogate pair.
std::wstring shortenText(const std::wstring& text, std::size_t limit);
