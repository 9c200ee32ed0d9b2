#include "text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "code_page_tables.h"
#include "platform/utf8.h"

namespace standin {
namespace {

const char16_t* highTable(int codePage) {
  switch (codePage) {
    case 874: return codepage::kHigh874;
    case 1250: return codepage::kHigh1250;
    case 1251: return codepage::kHigh1251;
    case 1252: return codepage::kHigh1252;
    case 1253: return codepage::kHigh1253;
    case 1254: return codepage::kHigh1254;
    case 1255: return codepage::kHigh1255;
    case 1256: return codepage::kHigh1256;
    case 1257: return codepage::kHigh1257;
    case 1258: return codepage::kHigh1258;
    default: return nullptr;
  }
}

bool isLead932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

int trailIndex932(unsigned char b) {
  if (b >= 0x40 && b <= 0x7E) return b - 0x40;
  if (b >= 0x80 && b <= 0xFC) return b - 0x80 + 0x3F;
  return -1;
}

int leadIndex932(unsigned char b) { return b <= 0x9F ? b - 0x81 : b - 0xE0 + 0x1F; }

// The characters of UTF-8 bytes or of a wide string.
template <class TView>
std::u32string codePointsOf(TView s) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t at = 0; at < s.size();) {
    out.push_back(nextCodePoint(s, at));
  }
  return out;
}

std::u32string decodeBytes(std::string_view raw, int codePage) {
  if (codePage == kCodePageUtf8) return codePointsOf(raw);
  std::u32string out;
  out.reserve(raw.size());
  const char16_t* high = highTable(codePage);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(raw[i]);
    if (b < 0x80) {
      out.push_back(b);
    } else if (codePage == 932) {
      if (b >= 0xA1 && b <= 0xDF) {
        out.push_back(0xFF61 + (b - 0xA1));  // half-width katakana
      } else if (isLead932(b) && i + 1 < raw.size() &&
                 trailIndex932(static_cast<unsigned char>(raw[i + 1])) >= 0) {
        const int index = leadIndex932(b) * codepage::kTrailCount932 +
                          trailIndex932(static_cast<unsigned char>(raw[i + 1]));
        const char16_t c = codepage::kDouble932[index];
        out.push_back(c != 0 ? c : kReplacementChar);
        ++i;
      } else {
        out.push_back(kReplacementChar);
      }
    } else if (high != nullptr) {
      const char16_t c = high[b - 0x80];
      out.push_back(c != 0 ? c : kReplacementChar);
    } else {
      out.push_back(b);  // Latin-1
    }
  }
  return out;
}

int hexDigit(char32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

// \U+XXXX gives one UTF-16 unit; a pair of them may spell a surrogate pair.
std::u32string decodeEscapes(const std::u32string& s) {
  std::u32string out;
  out.reserve(s.size());
  auto unitAt = [&s](std::size_t i, char32_t* unit) {
    if (i + 7 > s.size() || s[i] != '\\' || (s[i + 1] != 'U' && s[i + 1] != 'u') || s[i + 2] != '+') return false;
    char32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const int d = hexDigit(s[i + 3 + k]);
      if (d < 0) return false;
      v = (v << 4) | static_cast<char32_t>(d);
    }
    *unit = v;
    return true;
  };
  std::size_t i = 0;
  while (i < s.size()) {
    char32_t unit = 0;
    if (unitAt(i, &unit)) {
      char32_t low = 0;
      if (unit >= 0xD800 && unit < 0xDC00 && unitAt(i + 7, &low) && low >= 0xDC00 && low < 0xE000) {
        out.push_back(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 14;
      } else {
        out.push_back(unit);
        i += 7;
      }
      continue;
    }
    out.push_back(s[i]);
    ++i;
  }
  return out;
}

// Reverse of the cp932 table, built once on first use.
const std::unordered_map<char32_t, std::uint16_t>& reverse932() {
  static const std::unordered_map<char32_t, std::uint16_t> table = [] {
    std::unordered_map<char32_t, std::uint16_t> m;
    for (int lead = 0; lead < 60; ++lead) {
      const int leadByte = lead < 0x1F ? 0x81 + lead : 0xE0 + (lead - 0x1F);
      for (int t = 0; t < codepage::kTrailCount932; ++t) {
        const int trailByte = t < 0x3F ? 0x40 + t : 0x80 + (t - 0x3F);
        const char16_t c = codepage::kDouble932[lead * codepage::kTrailCount932 + t];
        // cp932 has a few characters twice (NEC and IBM rows); the first one wins, as Windows encodes it.
        if (c != 0) m.emplace(c, static_cast<std::uint16_t>((leadByte << 8) | trailByte));
      }
    }
    return m;
  }();
  return table;
}

void appendEscape(std::string& out, char32_t c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  auto unit = [&out](char32_t u) {
    out += "\\U+";
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(u >> shift) & 0xF]);
  };
  if (c >= 0x10000) {
    const char32_t v = c - 0x10000;
    unit(0xD800 + (v >> 10));
    unit(0xDC00 + (v & 0x3FF));
  } else {
    unit(c);
  }
}

}  // namespace

int dxfCodePage(std::string_view acadVersion, std::string_view dwgCodePage) {
  if (acadVersion >= "AC1021") return kCodePageUtf8;
  std::string name(dwgCodePage);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); });
  if (name.rfind("ANSI_", 0) == 0) {
    const std::string number = name.substr(5);
    if (number == "932") return 932;
    if (number == "874") return 874;
    if (number.size() == 4 && number.rfind("125", 0) == 0 && number[3] >= '0' && number[3] <= '8')
      return 1250 + (number[3] - '0');
  }
  if (name == "UTF-8" || name == "UTF8") return kCodePageUtf8;
  return kCodePageLatin1;
}

std::string dxfCodePageName(int codePage) {
  if (codePage == kCodePageUtf8 || codePage == kCodePageLatin1) return "ANSI_1252";
  return "ANSI_" + std::to_string(codePage);
}

std::wstring decodeDxfString(std::string_view raw, int codePage) {
  std::wstring out;
  for (const char32_t c : decodeEscapes(decodeBytes(raw, codePage))) appendWide(out, c);
  return out;
}

std::wstring decodeDxfBytes(std::string_view raw, int codePage) {
  std::wstring out;
  for (const char32_t c : decodeBytes(raw, codePage)) appendWide(out, c);
  return out;
}

std::string encodeDxfString(std::wstring_view text, int codePage) {
  std::string out;
  const char16_t* high = highTable(codePage);
  for (const char32_t c : codePointsOf(text)) {
    if (c < 0x20) {
      appendEscape(out, c);  // a line break inside a value would end the group early
    } else if (codePage == kCodePageUtf8) {
      appendUtf8(out, c);
    } else if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (codePage == 932) {
      if (c >= 0xFF61 && c <= 0xFF9F) {
        out.push_back(static_cast<char>(0xA1 + (c - 0xFF61)));
        continue;
      }
      const auto& table = reverse932();
      const auto found = table.find(c);
      if (found == table.end()) {
        appendEscape(out, c);
      } else {
        out.push_back(static_cast<char>(found->second >> 8));
        out.push_back(static_cast<char>(found->second & 0xFF));
      }
    } else if (high != nullptr) {
      const char16_t* end = high + 128;
      const char16_t* at = std::find(high, end, static_cast<char16_t>(c));
      if (c < 0x10000 && at != end) {
        out.push_back(static_cast<char>(0x80 + (at - high)));
      } else {
        appendEscape(out, c);
      }
    } else if (c < 0x100) {
      out.push_back(static_cast<char>(c));
    } else {
      appendEscape(out, c);
    }
  }
  return out;
}

std::vector<std::string> encodeDxfChunks(std::wstring_view text, int codePage, std::size_t maxBytes) {
  std::vector<std::string> chunks(1);
  std::wstring one;
  for (const char32_t c : codePointsOf(text)) {
    one.clear();
    appendWide(one, c);
    const std::string bytes = encodeDxfString(one, codePage);
    if (!chunks.back().empty() && chunks.back().size() + bytes.size() > maxBytes) chunks.emplace_back();
    chunks.back() += bytes;
  }
  return chunks;
}

}  // namespace standin
