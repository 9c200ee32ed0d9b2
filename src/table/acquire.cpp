#include "table/acquire.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <system_error>

#include "cad/text_kinds.h"

namespace {

TPoint3 flat(double x, double y) { return {x, y, 0.0}; }

void appendPolylineSegments(TCadPolyline& polyline, TLineAry& lines) {
  std::vector<double> xy = polyline.Coordinates();
  xy.resize(xy.size() - xy.size() % 2);  // an odd trailing value is no vertex
  if (xy.empty()) {
    return;
  }
  if (polyline.Closed()) {
    xy.push_back(xy[0]);
    xy.push_back(xy[1]);
  }
  // Bulges are not read: every segment is taken as straight, at z = 0
  // whatever the polyline's elevation.
  for (std::size_t k = 0; k + 3 < xy.size(); k += 2) {
    lines.push_back({flat(xy[k], xy[k + 1]), flat(xy[k + 2], xy[k + 3])});
  }
}

void appendText(TCadText& text, TTextAry& texts) {
  TMrvText record;
  record.code = text.Alignment();
  record.sText = text.TextString();
  record.sHandle = text.Handle();
  record.base = record.code != 0 ? text.TextAlignmentPoint() : text.InsertionPoint();
  texts.push_back(std::move(record));
}

// Four calls, as few as a TEXT at alignment 0 needs: an MTEXT's anchor is
// its insertion point, where its attachment point lies.
void appendMText(TCadText& text, const TMTextCodec& codes, TTextAry& texts) {
  TMrvText record;
  record.isMText = true;
  record.sSource = text.TextString();
  record.sText = codes.visibleText(record.sSource);
  record.innerFormatting = codes.hasInnerFormatting(record.sSource);
  record.base = text.InsertionPoint();
  record.sHandle = text.Handle();
  texts.push_back(std::move(record));
}

bool isDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }

}  // namespace

std::unique_ptr<TCadSelectionSet> getSelectionSet(TCadDocument& document) {
  const std::unique_ptr<TCadSelectionSets> sets = document.SelectionSets();
  const std::int32_t count = sets->Count();
  for (std::int32_t i = 0; i < count; ++i) {
    std::unique_ptr<TCadSelectionSet> set = sets->Item(i);
    if (set->Name() == kSelectionSetName) {
      set->Clear();
      return set;
    }
  }
  return sets->Add(kSelectionSetName);
}

void releaseSelectionSet(TCadSelectionSet& set) {
  std::exception_ptr first;
  try {
    set.Clear();
  } catch (...) {
    first = std::current_exception();
  }
  try {
    set.Delete();
  } catch (...) {
    if (!first) first = std::current_exception();
  }
  if (first) std::rethrow_exception(first);
}

std::wstring trimControls(const std::wstring& text) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && text[b] <= L' ') ++b;
  while (e > b && text[e - 1] <= L' ') --e;
  return text.substr(b, e - b);
}

std::wstring layerPatternList(const std::wstring& typed) {
  // A blank around a pattern would be part of the layer name the CAD
  // matches, and "HOJO*, JOGAI*" would never match JOGAI. The ideographic
  // space and comma come from typing with the input method on.
  const auto blank = [](wchar_t ch) { return ch <= L' ' || ch == L'\u3000'; };
  std::wstring list;
  std::wstring pattern;
  std::size_t escapedEnd = 0;  // an escaped character is never trimmed
  const auto endPattern = [&] {
    std::size_t first = 0;
    std::size_t last = pattern.size();
    while (first < last && blank(pattern[first])) ++first;
    while (last > std::max(first, escapedEnd) && blank(pattern[last - 1])) --last;
    list.append(pattern, first, last - first);
    pattern.clear();
    escapedEnd = 0;
  };
  for (std::size_t i = 0; i < typed.size(); ++i) {
    const wchar_t ch = typed[i];
    if (ch == L'`' && i + 1 < typed.size()) {
      // The CAD's escape: the next character is taken as it is, a comma too.
      pattern += ch;
      pattern += typed[++i];
      escapedEnd = pattern.size();
    } else if (ch == L',' || ch == L'\u3001') {
      endPattern();
      list += L',';
    } else {
      pattern += ch;
    }
  }
  endPattern();
  return list;
}

TSelectionFilter buildSelectionFilter(bool excludeLayers, const std::wstring& layerPatterns, bool mtext) {
  const wchar_t* const types = mtext ? L"TEXT,MTEXT,*LINE" : L"TEXT,*LINE";
  if (!excludeLayers) {
    return {{0}, {types}};
  }
  return {{0, -4, 8, -4}, {types, L"<NOT", layerPatternList(layerPatterns), L"NOT>"}};
}

void appendEntityRecords(TCadEntity& entity, TLineAry& lines, TTextAry& texts, const TMTextCodec* mtext) {
  const std::wstring kind = entity.ObjectName();
  if (kind == L"AcDbLine") {
    const std::unique_ptr<TCadLine> line = entity.asLine();
    const TPoint3 st = line->StartPoint();
    const TPoint3 ed = line->EndPoint();
    lines.push_back({st, ed});
  } else if (kind == L"AcDbPolyline") {
    appendPolylineSegments(*entity.asPolyline(), lines);
  } else if (kind == kTextObjectName) {
    appendText(*entity.asText(), texts);
  } else if (kind == kMTextObjectName && mtext != nullptr) {
    appendMText(*entity.asMText(), *mtext, texts);
  }
}

void readSelection(TCadSelectionSet& set, std::int32_t count,
                   const std::function<void(std::int32_t number)>& progress, TLineAry& lines,
                   TTextAry& texts, const TMTextCodec* mtext) {
  TLineAry readLines;
  TTextAry readTexts;
  for (std::int32_t i = 0; i < count; ++i) {
    if (progress) progress(i + 1);
    const std::unique_ptr<TCadEntity> entity = set.Item(i);
    appendEntityRecords(*entity, readLines, readTexts, mtext);
  }
  readLines.shrink_to_fit();
  readTexts.shrink_to_fit();
  lines = std::move(readLines);
  texts = std::move(readTexts);
}

TTolerance readTolerance(const std::wstring& text, wchar_t decimalSeparator) {
  // [blanks] [sign] digits [separator digits] [e|E [sign] digits] [blanks],
  // with at least one digit before the exponent; anything else is no number.
  constexpr TTolerance kNoNumber{kDefaultTolerance, false};
  constexpr TTolerance kRefused{kDefaultTolerance, true};
  const std::wstring s = trimControls(text);
  std::string ascii;
  std::size_t i = 0;
  if (i < s.size() && s[i] == L'-') ascii += static_cast<char>(s[i++]);
  else if (i < s.size() && s[i] == L'+') ++i;
  std::size_t mantissaDigits = 0;
  while (i < s.size() && isDigit(s[i])) {
    ascii += static_cast<char>(s[i++]);
    ++mantissaDigits;
  }
  if (i < s.size() && s[i] == decimalSeparator) {
    ascii += '.';
    ++i;
    while (i < s.size() && isDigit(s[i])) {
      ascii += static_cast<char>(s[i++]);
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) return kNoNumber;
  if (i < s.size() && (s[i] == L'e' || s[i] == L'E')) {
    ascii += 'e';
    ++i;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ascii += static_cast<char>(s[i++]);
    std::size_t expDigits = 0;
    while (i < s.size() && isDigit(s[i])) {
      ascii += static_cast<char>(s[i++]);
      ++expDigits;
    }
    if (expDigits == 0) return kNoNumber;
  }
  if (i != s.size()) return kNoNumber;
  // from_chars reads '.' whatever the C locale says. A number written out
  // that no double holds (1e999, or 1e-999 that would read as zero) is a
  // number all the same, and as unusable as zero or a negative one: merged
  // under such a tolerance no two lines are ever one boundary, nor apart.
  double value = kDefaultTolerance;
  const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (ec != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value) || !(value > 0.0)) {
    return kRefused;
  }
  return {value, false};
}

double parseTolerance(const std::wstring& text, wchar_t decimalSeparator) {
  return readTolerance(text, decimalSeparator).value;
}

std::wstring toleranceLogLine(const std::wstring& text) {
  return L"[取得] 許容 \"" + trimControls(text) + L"\" は使えないため " + kDefaultToleranceText + L" を使いました";
}

std::wstring formatSeconds(std::uint32_t milliseconds, wchar_t decimalSeparator) {
  std::wstring fraction = std::to_wstring(milliseconds % 1000);
  fraction.insert(0, 3 - fraction.size(), L'0');
  return std::to_wstring(milliseconds / 1000) + decimalSeparator + fraction + L" sec";
}

std::wstring selectLogLine(std::int32_t count) { return L"Select = " + std::to_wstring(count); }

std::wstring recordsLogLine(std::size_t lines, std::size_t texts) {
  return L"Line = " + std::to_wstring(lines) + L", Text = " + std::to_wstring(texts);
}

std::wstring mtextHintLogLine() {
  return L"[取得] 文字が読み取れませんでした: MTEXT の表は右クリックメニューの \"MTEXTも対象\" で読み取れます";
}

std::wstring boundsLogLine(const TBounds& bounds) {
  return L"Yoko = " + std::to_wstring(bounds.rows().size()) + L", Tate = " + std::to_wstring(bounds.cols().size());
}

std::wstring progressText(std::int32_t number, std::int32_t count) {
  return L" " + std::to_wstring(number) + L" / " + std::to_wstring(count);
}
