#include "platform/utf8.h"

namespace {

bool isScalar(char32_t c) { return c < 0xD800 || (c >= 0xE000 && c <= 0x10FFFF); }

// How many bytes follow a lead byte, and the bits the lead byte carries;
// 0 continuation bytes for a byte that cannot start a sequence.
int continuationCount(unsigned char lead, char32_t& bits) {
  if ((lead & 0xE0) == 0xC0) {
    bits = lead & 0x1F;
    return 1;
  }
  if ((lead & 0xF0) == 0xE0) {
    bits = lead & 0x0F;
    return 2;
  }
  if ((lead & 0xF8) == 0xF0) {
    bits = lead & 0x07;
    return 3;
  }
  return 0;
}

// Every character of `in`, appended to the other form.
template <class TOut, class TIn>
TOut transcoded(TIn in, void (*append)(TOut&, char32_t)) {
  TOut out;
  out.reserve(in.size());
  for (std::size_t at = 0; at < in.size();) {
    append(out, nextCodePoint(in, at));
  }
  return out;
}

}  // namespace

char32_t nextCodePoint(std::string_view utf8, std::size_t& at) {
  const unsigned char lead = static_cast<unsigned char>(utf8[at]);
  ++at;
  if (lead < 0x80) {
    return lead;
  }
  char32_t c = 0;
  const int extra = continuationCount(lead, c);
  // A sequence cut short or broken leaves its other bytes to be read on their
  // own: each is one more U+FFFD, or the character it starts.
  if (extra == 0 || utf8.size() - at < static_cast<std::size_t>(extra)) {
    return kReplacementChar;
  }
  for (int k = 0; k < extra; ++k) {
    const unsigned char next = static_cast<unsigned char>(utf8[at + static_cast<std::size_t>(k)]);
    if ((next & 0xC0) != 0x80) {
      return kReplacementChar;
    }
    c = (c << 6) | (next & 0x3F);
  }
  // The shortest form only: an overlong one could smuggle a '/' or a NUL past a check.
  static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (c < kLeast[extra] || !isScalar(c)) {
    return kReplacementChar;
  }
  at += static_cast<std::size_t>(extra);
  return c;
}

char32_t nextCodePoint(std::wstring_view wide, std::size_t& at) {
  const char32_t c = static_cast<char32_t>(wide[at]);
  ++at;
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0xD800 && c < 0xDC00 && at < wide.size()) {
      const char32_t low = static_cast<char32_t>(wide[at]);
      if (low >= 0xDC00 && low < 0xE000) {
        ++at;
        return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      }
    }
  }
  return isScalar(c) ? c : kReplacementChar;
}

void appendUtf8(std::string& out, char32_t c) {
  if (!isScalar(c)) {
    c = kReplacementChar;
  }
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void appendWide(std::wstring& out, char32_t c) {
  if (!isScalar(c)) {
    c = kReplacementChar;
  }
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (c >> 10));
      out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
      return;
    }
  }
  out += static_cast<wchar_t>(c);
}

std::string toUtf8(std::wstring_view text) { return transcoded<std::string>(text, appendUtf8); }

std::wstring fromUtf8(std::string_view text) { return transcoded<std::wstring>(text, appendWide); }
