#include "app/settings.h"

#include <limits>

#include "platform/errors.h"

namespace {

std::wstring readValue(TProfileStore& store, const wchar_t* section, const wchar_t* key,
                       const std::wstring& defaultValue) {
  std::wstring value = store.readString(section, key, defaultValue);
  if (value.size() > kMaxSettingLength) {
    value.resize(kMaxSettingLength);
  }
  return value;
}

std::int32_t readInteger(TProfileStore& store, const wchar_t* section, const wchar_t* key,
                         std::int32_t defaultValue) {
  // An empty default cannot be mistaken for a number, so absence and
  // unreadable values both end in `defaultValue`.
  return parseProfileInteger(readValue(store, section, key, L"")).value_or(defaultValue);
}

bool readBoolean(TProfileStore& store, const wchar_t* key, bool defaultValue) {
  return readInteger(store, kSectionMain, key, defaultValue ? 1 : 0) != 0;
}

int hexDigit(wchar_t ch) {
  if (ch >= L'0' && ch <= L'9') return ch - L'0';
  if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
  if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
  return -1;
}

std::optional<std::int32_t> parseHex(const std::wstring& digits) {
  if (digits.empty()) return std::nullopt;
  // The range is checked on the value, not on the digits: leading zeros are fine.
  std::uint64_t value = 0;
  for (const wchar_t ch : digits) {
    const int d = hexDigit(ch);
    if (d < 0) return std::nullopt;
    value = value * 16u + static_cast<std::uint64_t>(d);
    if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  }
  // Eight digits are a 32-bit pattern: 0xFFFFFFFF is -1.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> parseDecimal(const std::wstring& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
    negative = text[i] == L'-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const wchar_t ch = text[i];
    if (ch < L'0' || ch > L'9') return std::nullopt;
    value = value * 10 + (ch - L'0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

void writeValue(TProfileStore& store, const std::wstring& path, const wchar_t* section,
                const wchar_t* key, const std::wstring& value) {
  if (!store.writeString(section, key, value)) {
    throw TMorvaneError(path + L" に書き込めません");
  }
}

void writeBoolean(TProfileStore& store, const std::wstring& path, const wchar_t* key, bool value) {
  writeValue(store, path, kSectionMain, key, value ? L"1" : L"0");
}

}  // namespace

std::wstring settingsFilePath(const std::wstring& executablePath) {
  const std::size_t nameStart = executablePath.find_last_of(L"\\/:");
  const std::size_t dot = executablePath.rfind(L'.');
  const bool hasExtension =
      dot != std::wstring::npos && (nameStart == std::wstring::npos || dot > nameStart);
  return (hasExtension ? executablePath.substr(0, dot) : executablePath) + L".ini";
}

std::optional<std::int32_t> parseProfileInteger(const std::wstring& text) {
  if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
    return parseHex(text.substr(2));
  }
  return parseDecimal(text);
}

TSettings readSettings(TProfileStore& store, const TSettings& defaults) {
  TSettings s;
  s.left = readInteger(store, kSectionMain, L"Left", defaults.left);
  s.top = readInteger(store, kSectionMain, L"Top", defaults.top);
  s.chk2 = readBoolean(store, L"chk2", defaults.chk2);
  s.chk3 = readBoolean(store, L"chk3", defaults.chk3);
  s.chk4 = readBoolean(store, L"chk4", defaults.chk4);
  s.edt1 = readValue(store, kSectionMain, L"edt1", defaults.edt1);
  s.progID = readValue(store, kSectionTarget, L"ProgID", defaults.progID);
  s.chk5 = readBoolean(store, L"chk5", defaults.chk5);
  s.edt2 = readValue(store, kSectionMain, L"edt2", defaults.edt2);
  s.mtext = readBoolean(store, L"mtext", defaults.mtext);
  s.xltext = readBoolean(store, L"xltext", defaults.xltext);
  s.chk6 = readBoolean(store, L"chk6", defaults.chk6);
  // Present but empty counts as absent: the CAD named by default.
  s.cadTitle = readValue(store, kSectionCad, L"Title", defaults.cadTitle);
  if (s.cadTitle.empty()) s.cadTitle = defaults.cadTitle;
  s.cadClassId = readValue(store, kSectionCad, L"CLSID", defaults.cadClassId);
  if (s.cadClassId.empty()) s.cadClassId = defaults.cadClassId;
  return s;
}

void writeSettings(TProfileStore& store, const std::wstring& path, const TSettings& s) {
  writeValue(store, path, kSectionMain, L"Left", std::to_wstring(s.left));
  writeValue(store, path, kSectionMain, L"Top", std::to_wstring(s.top));
  writeBoolean(store, path, L"chk2", s.chk2);
  writeBoolean(store, path, L"chk3", s.chk3);
  writeBoolean(store, path, L"chk4", s.chk4);
  writeValue(store, path, kSectionMain, L"edt1", s.edt1);
  writeValue(store, path, kSectionTarget, L"ProgID", s.progID);
  writeBoolean(store, path, L"chk5", s.chk5);
  writeValue(store, path, kSectionMain, L"edt2", s.edt2);
  writeBoolean(store, path, L"mtext", s.mtext);
  writeBoolean(store, path, L"xltext", s.xltext);
  writeBoolean(store, path, L"chk6", s.chk6);
  writeValue(store, path, kSectionCad, L"Title", s.cadTitle);
  writeValue(store, path, kSectionCad, L"CLSID", s.cadClassId);
}

std::int32_t clampToScreen(std::int32_t edge, std::int32_t extent, std::int32_t screenExtent) {
  // Wide: the file may hold any 32-bit edge, and the sum must not wrap.
  if (std::int64_t{edge} + extent > screenExtent) {
    return screenExtent - extent;
  }
  return edge;
}
