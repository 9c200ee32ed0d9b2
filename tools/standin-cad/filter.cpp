// Selection filters as the CAD evaluates them: wildcard patterns on the
// type and the layer, -4 brackets for NOT/AND/OR/XOR, relational operators
// for numbers.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "drawing.h"
#include "dxf_groups.h"
#include "platform/utf8.h"

namespace standin {
namespace {

// Case folding for the scripts a layer or type name is likely written in:
// ASCII, Latin-1, Greek, Cyrillic and full-width Latin.
wchar_t fold(wchar_t c) {
  const auto u = static_cast<std::uint32_t>(c);
  if (u >= 'a' && u <= 'z') return static_cast<wchar_t>(u - 32);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<wchar_t>(u - 32);
  if (u >= 0x3B1 && u <= 0x3C9 && u != 0x3C2) return static_cast<wchar_t>(u - 32);
  if (u >= 0x430 && u <= 0x44F) return static_cast<wchar_t>(u - 32);
  if (u >= 0x450 && u <= 0x45F) return static_cast<wchar_t>(u - 80);
  if (u >= 0xFF41 && u <= 0xFF5A) return static_cast<wchar_t>(u - 32);
  return c;
}

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool isAlpha(wchar_t c) {
  const auto u = static_cast<std::uint32_t>(c);
  if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')) return true;
  if (u < 0xC0) return false;
  if (u == 0xD7 || u == 0xF7) return false;
  // Punctuation and symbol blocks are not letters; the rest of the
  // non-ASCII range (accented Latin, Greek, Cyrillic, kana, kanji) is.
  if ((u >= 0x2000 && u <= 0x2BFF) || (u >= 0x3000 && u <= 0x303F) || (u >= 0xFF00 && u <= 0xFF20) ||
      (u >= 0xFF3B && u <= 0xFF40) || (u >= 0xFF5B && u <= 0xFF65) || (u >= 0xFFE0 && u <= 0xFFEF))
    return false;
  return true;
}

enum class TKind { Literal, Any, Star, Digit, Alpha, NonAlnum, Set };

struct TToken {
  TKind kind = TKind::Literal;
  wchar_t c = 0;
  bool negated = false;
  std::vector<std::pair<wchar_t, wchar_t>> ranges;  // folded

  bool matches(wchar_t t) const {
    switch (kind) {
      case TKind::Literal: return fold(t) == c;
      case TKind::Any: return true;
      case TKind::Star: return true;
      case TKind::Digit: return isDigit(t);
      case TKind::Alpha: return isAlpha(t);
      case TKind::NonAlnum: return !isDigit(t) && !isAlpha(t);
      case TKind::Set: {
        const wchar_t f = fold(t);
        bool in = false;
        for (const auto& [lo, hi] : ranges) in = in || (f >= lo && f <= hi);
        return in != negated;
      }
    }
    return false;
  }
};

std::vector<TToken> tokenize(std::wstring_view p) {
  std::vector<TToken> tokens;
  for (std::size_t i = 0; i < p.size(); ++i) {
    TToken t;
    const wchar_t c = p[i];
    if (c == L'`' && i + 1 < p.size()) {
      t.c = fold(p[++i]);
    } else if (c == L'*') {
      if (!tokens.empty() && tokens.back().kind == TKind::Star) continue;
      t.kind = TKind::Star;
    } else if (c == L'?') {
      t.kind = TKind::Any;
    } else if (c == L'#') {
      t.kind = TKind::Digit;
    } else if (c == L'@') {
      t.kind = TKind::Alpha;
    } else if (c == L'.') {
      t.kind = TKind::NonAlnum;
    } else if (c == L'[' && p.find(L']', i + 1) != std::wstring_view::npos) {
      // A ']' right after '[' (or '[~') is a member, as in other glob dialects.
      std::size_t k = i + 1;
      t.kind = TKind::Set;
      if (k < p.size() && p[k] == L'~') {
        t.negated = true;
        ++k;
      }
      const std::size_t first = k;
      while (k < p.size() && (p[k] != L']' || k == first)) {
        wchar_t lo = p[k];
        if (lo == L'`' && k + 1 < p.size()) lo = p[++k];
        wchar_t hi = lo;
        if (k + 2 < p.size() && p[k + 1] == L'-' && p[k + 2] != L']') {
          hi = p[k + 2];
          k += 2;
        }
        const wchar_t flo = fold(lo);
        const wchar_t fhi = fold(hi);
        t.ranges.emplace_back(std::min(flo, fhi), std::max(flo, fhi));
        ++k;
      }
      if (k >= p.size()) {  // no closing bracket after all: a literal '['
        t = TToken{};
        t.c = L'[';
      } else {
        i = k;
      }
    } else {
      t.c = fold(c);
    }
    tokens.push_back(std::move(t));
  }
  return tokens;
}

// Glob matching with one backtrack point per star: every other token takes one character.
bool matchTokens(const std::vector<TToken>& tokens, std::wstring_view text) {
  std::size_t ti = 0, si = 0;
  std::size_t starToken = std::wstring_view::npos, starText = 0;
  while (si < text.size()) {
    if (ti < tokens.size() && tokens[ti].kind == TKind::Star) {
      starToken = ti++;
      starText = si;
    } else if (ti < tokens.size() && tokens[ti].matches(text[si])) {
      ++ti;
      ++si;
    } else if (starToken != std::wstring_view::npos) {
      ti = starToken + 1;
      si = ++starText;
    } else {
      return false;
    }
  }
  while (ti < tokens.size() && tokens[ti].kind == TKind::Star) ++ti;
  return ti == tokens.size();
}

std::vector<std::wstring_view> alternatives(std::wstring_view pattern) {
  std::vector<std::wstring_view> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == L'`') {
      ++i;
    } else if (pattern[i] == L',') {
      out.push_back(pattern.substr(start, i - start));
      start = i + 1;
    }
  }
  out.push_back(pattern.substr(start));
  return out;
}

std::wstring wideOf(std::string_view ascii) {
  std::wstring out;
  for (const char c : ascii) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return out;
}

// What the entity holds for a filter code: a string for name-like codes, else the group as read.
std::optional<std::wstring> valueOf(const Entity& e, short code) {
  switch (code) {
    case 0: return wideOf(e.type);
    case 8: return e.layer;
    case 5: return fromUtf8(dxf::formatHex(e.handle));
    case 1:
      if (e.type == "TEXT" || e.type == "MTEXT" || e.type == "ATTRIB" || e.type == "ATTDEF") return e.text;
      break;
    case 2:
      if (e.type == "INSERT") return e.text;
      break;
    case 7:
      if (e.type == "TEXT" || e.type == "MTEXT") return e.style;
      break;
    default:
      break;
  }
  const std::size_t end = dxf::ownGroupsEnd(e.groups);
  for (std::size_t i = 1; i < end; ++i) {
    if (e.groups[i].first == code) return fromUtf8(dxf::trim(e.groups[i].second));
  }
  if (code == 62) return L"256";  // colour BYLAYER
  if (code == 67) return L"0";    // model space
  if (code == 6) return L"BYLAYER";
  return std::nullopt;
}

bool isStringCode(short code) {
  return (code >= 0 && code <= 9) || code == 100 || code == 102 || code == 105 ||
         (code >= 300 && code <= 369) || (code >= 390 && code <= 399) || (code >= 410 && code <= 419) ||
         (code >= 430 && code <= 439) || (code >= 470 && code <= 481) || code == 999 ||
         (code >= 1000 && code <= 1009);
}

std::optional<double> numberOf(const std::wstring& s) {
  double v = 0;
  if (!dxf::parseDouble(toUtf8(s), &v)) return std::nullopt;
  return v;
}

bool compareNumbers(double a, const std::wstring& op, double b) {
  if (op == L"*") return true;
  if (op == L"=" || op.empty()) return a == b;
  if (op == L"!=" || op == L"/=" || op == L"<>") return a != b;
  if (op == L"<") return a < b;
  if (op == L"<=") return a <= b;
  if (op == L">") return a > b;
  if (op == L">=") return a >= b;
  return false;
}

bool isRelational(const std::wstring& op) {
  return op == L"*" || op == L"=" || op == L"!=" || op == L"/=" || op == L"<>" || op == L"<" || op == L"<=" ||
         op == L">" || op == L">=";
}

std::wstring upper(std::wstring s) {
  for (wchar_t& c : s) c = fold(c);
  return s;
}

// Recursive descent over the (code, value) list; FAt moves forward.
class TFilterEval {
 public:
  TFilterEval(const Entity& e, const std::vector<short>& codes, const std::vector<std::wstring>& values)
      : FEntity(e), FCodes(codes), FValues(values), FCount(std::min(codes.size(), values.size())) {}

  // A sequence of conditions up to `closer` (or the end), combined with `op`.
  bool sequence(const std::wstring& op, const std::wstring& closer) {
    bool result = op != L"OR" && op != L"XOR";
    bool any = false;
    int trueCount = 0;
    while (FAt < FCount) {
      if (!closer.empty() && FCodes[FAt] == -4 && upper(FValues[FAt]) == closer) {
        ++FAt;
        break;
      }
      const bool c = condition();
      any = true;
      if (c) ++trueCount;
      if (op == L"OR") result = result || c;
      else if (op == L"XOR") result = trueCount == 1;
      else result = result && c;
    }
    if (op == L"NOT") return !(any && result);
    return result;
  }

 private:
  bool condition() {
    const short code = FCodes[FAt];
    const std::wstring& value = FValues[FAt];
    ++FAt;
    if (code == -4) {
      const std::wstring op = upper(value);
      if (op == L"<NOT") return sequence(L"NOT", L"NOT>");
      if (op == L"<AND") return sequence(L"AND", L"AND>");
      if (op == L"<OR") return sequence(L"OR", L"OR>");
      if (op == L"<XOR") return sequence(L"XOR", L"XOR>");
      if (isRelational(op) && FAt < FCount) {
        const std::size_t operand = FAt++;
        return test(FCodes[operand], FValues[operand], op);
      }
      return true;  // a stray closer or an operator the model does not know
    }
    return test(code, value, L"");
  }

  bool test(short code, const std::wstring& pattern, const std::wstring& op) const {
    const std::optional<std::wstring> actual = valueOf(FEntity, code);
    if (!actual) return false;
    if (isStringCode(code) && op.empty()) return wildcardMatch(pattern, *actual);
    const std::optional<double> a = numberOf(*actual);
    const std::optional<double> b = numberOf(pattern);
    if (!a || !b) return op.empty() && upper(*actual) == upper(pattern);
    return compareNumbers(*a, op, *b);
  }

  const Entity& FEntity;
  const std::vector<short>& FCodes;
  const std::vector<std::wstring>& FValues;
  const std::size_t FCount;
  std::size_t FAt = 0;
};

}  // namespace

bool wildcardMatch(const std::wstring& pattern, const std::wstring& text) {
  for (std::wstring_view alternative : alternatives(pattern)) {
    bool negate = false;
    if (!alternative.empty() && alternative.front() == L'~') {
      negate = true;
      alternative.remove_prefix(1);
    }
    // An empty alternative names only an empty text ("A," is A or nothing).
    const bool hit = alternative.empty() ? text.empty() : matchTokens(tokenize(alternative), text);
    if (hit != negate) return true;
  }
  return false;
}

bool matchesFilter(const Entity& e, const std::vector<short>& codes, const std::vector<std::wstring>& values) {
  TFilterEval eval(e, codes, values);
  return eval.sequence(L"AND", L"");
}

bool isValidFilter(const std::vector<short>& codes, const std::vector<std::wstring>& values, std::string* error) {
  auto failed = [error](std::string message) {
    if (error != nullptr) *error = std::move(message);
    return false;
  };
  if (codes.size() != values.size()) return failed("filter codes and values differ in number");
  std::vector<std::wstring> open;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    if (codes[i] != -4) continue;
    const std::wstring op = upper(values[i]);
    if (op == L"<NOT" || op == L"<AND" || op == L"<OR" || op == L"<XOR") {
      open.push_back(op.substr(1));
    } else if (op == L"NOT>" || op == L"AND>" || op == L"OR>" || op == L"XOR>") {
      if (open.empty() || open.back() + L">" != op) return failed("unbalanced -4 " + toUtf8(values[i]));
      open.pop_back();
    } else if (isRelational(op)) {
      if (i + 1 >= codes.size() || codes[i + 1] == -4) return failed("relational operator without an operand");
    } else {
      return failed("unknown -4 operator " + toUtf8(values[i]));
    }
  }
  if (!open.empty()) return failed("-4 <" + toUtf8(open.back()) + " is not closed");
  return true;
}

}  // namespace standin
