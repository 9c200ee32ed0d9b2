#include "table/cell_tag.h"

#include "platform/errors.h"

namespace {

int hexDigit(wchar_t ch) noexcept {
  if (ch >= L'0' && ch <= L'9') return ch - L'0';
  if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
  if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
  return -1;
}

enum class TTagReading { Ok, Empty, NotHex, TooLong };

TTagReading readTag(const std::wstring& handle, std::uint32_t& value) noexcept {
  if (handle.empty()) {
    return TTagReading::Empty;
  }
  value = 0;
  int significant = 0;
  for (const wchar_t ch : handle) {
    const int d = hexDigit(ch);
    if (d < 0) {
      return TTagReading::NotHex;
    }
    if (significant > 0 || d != 0) {
      ++significant;
    }
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  return significant > 8 ? TTagReading::TooLong : TTagReading::Ok;
}

}  // namespace

std::int32_t handleToTag(const std::wstring& handle) {
  std::uint32_t value = 0;
  switch (readTag(handle, value)) {
    case TTagReading::Ok:
      return static_cast<std::int32_t>(value);
    case TTagReading::Empty:
      throw TConvertError(L"ハンドル '' は 16 進数ではありません (空です)");
    case TTagReading::NotHex:
      throw TConvertError(L"ハンドル '" + handle + L"' は 16 進数ではありません");
    case TTagReading::TooLong:
      break;
  }
  throw TConvertError(L"ハンドル '" + handle + L"' は 32 ビットに収まりません");
}

std::optional<std::int32_t> tagOfHandle(const std::wstring& handle) noexcept {
  std::uint32_t value = 0;
  if (readTag(handle, value) != TTagReading::Ok) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::wstring handleString(std::int32_t tag) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::uint32_t value = static_cast<std::uint32_t>(tag);
  std::wstring out;
  do {
    out.insert(out.begin(), kDigits[value & 0xFu]);
    value >>= 4;
  } while (value != 0);
  return out;
}

bool sameHandle(const std::wstring& a, const std::wstring& b) noexcept {
  // Compared digit by digit rather than as tags: a handle of more than 32
  // bits is still a handle, only no cell's.
  const auto significant = [](const std::wstring& h) {
    std::size_t first = 0;
    while (first + 1 < h.size() && h[first] == L'0') ++first;
    return first;
  };
  std::uint32_t ignored = 0;
  const bool hexA = readTag(a, ignored) != TTagReading::NotHex && !a.empty();
  const bool hexB = readTag(b, ignored) != TTagReading::NotHex && !b.empty();
  if (hexA != hexB) {
    return false;
  }
  if (!hexA) {
    return !a.empty() && a == b;
  }
  const std::size_t fa = significant(a);
  const std::size_t fb = significant(b);
  if (a.size() - fa != b.size() - fb || (a.size() - fa == 1 && a[fa] == L'0')) {
    return false;  // different lengths, or handle 0, which names no entity
  }
  for (std::size_t i = 0; fa + i < a.size(); ++i) {
    if (hexDigit(a[fa + i]) != hexDigit(b[fb + i])) {
      return false;
    }
  }
  return true;
}
