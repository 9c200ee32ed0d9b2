#include "writeback/text_lookup.h"

#include <algorithm>

namespace {

// The tag a handle string stands for, when it is one that handleString can
// give for a non-zero tag: 1 to 8 upper-case hexadecimal digits, no leading
// zero. Any other string equals no cell's handle string.
bool canonicalTag(const std::wstring& handle, std::uint32_t& tag) {
  if (handle.empty() || handle.size() > 8 || handle[0] == L'0') {
    return false;
  }
  std::uint32_t value = 0;
  for (const wchar_t ch : handle) {
    std::uint32_t digit = 0;
    if (ch >= L'0' && ch <= L'9') {
      digit = static_cast<std::uint32_t>(ch - L'0');
    } else if (ch >= L'A' && ch <= L'F') {
      digit = static_cast<std::uint32_t>(ch - L'A' + 10);
    } else {
      return false;
    }
    value = (value << 4) | digit;
  }
  tag = value;
  return true;
}

}  // namespace

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

int findTextByHandle(const TTextAry& texts, const std::wstring& handle) {
  if (texts.empty() || handle.empty() || handle == L"0") {
    return -1;
  }
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (texts[i].sHandle == handle) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::int32_t colIndexOf(const TDblAry& tate, double x) {
  for (std::size_t k = 0; k + 1 < tate.size(); ++k) {
    if (tate[k] < x && x < tate[k + 1]) {
      return static_cast<std::int32_t>(k);
    }
  }
  return -1;
}

std::int32_t rowIndexOf(const TDblAry& yoko, double y) {
  for (std::size_t k = 0; k + 1 < yoko.size(); ++k) {
    if (yoko[k + 1] < y && y < yoko[k]) {
      return static_cast<std::int32_t>(k);
    }
  }
  return -1;
}

TTextIndex::TTextIndex(TTextAry& texts) : FTexts(texts) {
  FByTag.reserve(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    add(static_cast<int>(i));
  }
}

void TTextIndex::add(int i) {
  std::uint32_t tag = 0;
  if (canonicalTag(FTexts[static_cast<std::size_t>(i)].sHandle, tag)) {
    FByTag[tag].push_back(i);
  }
}

int TTextIndex::findTag(std::int32_t tag) const {
  const auto it = FByTag.find(static_cast<std::uint32_t>(tag));
  return it == FByTag.end() || it->second.empty() ? -1 : it->second.front();
}

int TTextIndex::findTextByHandle(const std::wstring& handle) const {
  std::uint32_t tag = 0;
  if (!canonicalTag(handle, tag)) {
    // No cell has this handle string; a record may still spell it so.
    return ::findTextByHandle(FTexts, handle);
  }
  return findTag(static_cast<std::int32_t>(tag));
}

void TTextIndex::setText(int i, const std::wstring& text) {
  FTexts[static_cast<std::size_t>(i)].sText = text;
  ++FRevision;
}

void TTextIndex::markDrawingChanged(int i) {
  FTexts[static_cast<std::size_t>(i)].drawingChanged = true;
  ++FRevision;
}

void TTextIndex::blank(int i) {
  TMrvText& record = FTexts[static_cast<std::size_t>(i)];
  std::uint32_t tag = 0;
  if (canonicalTag(record.sHandle, tag)) {
    const auto it = FByTag.find(tag);
    if (it != FByTag.end()) {
      std::vector<int>& at = it->second;
      at.erase(std::remove(at.begin(), at.end(), i), at.end());
    }
  }
  record.sText.clear();
  record.objID = 0;
  record.sHandle = L"0";
  ++FRevision;
}

void TTextIndex::append(TMrvText record) {
  FTexts.push_back(std::move(record));
  add(static_cast<int>(FTexts.size() - 1));
  ++FRevision;
}
