#include "table/text_lookup.h"

#include <algorithm>
#include <optional>

namespace {

// The tag a record's handle stands for, when it has one other than 0.
std::optional<std::uint32_t> recordTag(const std::wstring& handle) noexcept {
  const std::optional<std::int32_t> tag = tagOfHandle(handle);
  if (!tag || *tag == 0) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(*tag);
}

}  // namespace

int findTextByHandle(const TTextAry& texts, const std::wstring& handle) {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (sameHandle(texts[i].sHandle, handle)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

TTextIndex::TTextIndex(TTextAry& texts) : FTexts(texts) { rebuild(); }

void TTextIndex::rebuild() {
  FByTag.clear();
  FByTag.reserve(FTexts.size());
  for (std::size_t i = 0; i < FTexts.size(); ++i) {
    add(static_cast<int>(i));
  }
  ++FRevision;
}

void TTextIndex::add(int i) {
  if (const std::optional<std::uint32_t> tag = recordTag(FTexts[static_cast<std::size_t>(i)].sHandle)) {
    FByTag[*tag].push_back(i);
  }
}

int TTextIndex::findTag(std::int32_t tag) const {
  const auto it = FByTag.find(static_cast<std::uint32_t>(tag));
  return it == FByTag.end() || it->second.empty() ? -1 : it->second.front();
}

int TTextIndex::findTextByHandle(const std::wstring& handle) const {
  const std::optional<std::int32_t> tag = tagOfHandle(handle);
  if (!tag) {
    // No cell has this handle (longer than a tag): a record may still have it.
    return ::findTextByHandle(FTexts, handle);
  }
  return *tag == 0 ? -1 : findTag(*tag);
}

void TTextIndex::setText(int i, const std::wstring& text) {
  FTexts[static_cast<std::size_t>(i)].sText = text;
  ++FRevision;
}

void TTextIndex::setMText(int i, std::wstring source, std::wstring text, bool innerFormatting) {
  TMrvText& record = FTexts[static_cast<std::size_t>(i)];
  record.sSource = std::move(source);
  record.sText = std::move(text);
  record.innerFormatting = innerFormatting;
  ++FRevision;
}

void TTextIndex::markDrawingChanged(int i) {
  FTexts[static_cast<std::size_t>(i)].drawingChanged = true;
  ++FRevision;
}

void TTextIndex::blank(int i) {
  TMrvText& record = FTexts[static_cast<std::size_t>(i)];
  if (const std::optional<std::uint32_t> tag = recordTag(record.sHandle)) {
    const auto it = FByTag.find(*tag);
    if (it != FByTag.end()) {
      std::vector<int>& at = it->second;
      at.erase(std::remove(at.begin(), at.end(), i), at.end());
    }
  }
  record.sText.clear();
  record.sSource.clear();
  record.objID = 0;
  record.sHandle = L"0";
  ++FRevision;
}

void TTextIndex::append(TMrvText record) {
  FTexts.push_back(std::move(record));
  add(static_cast<int>(FTexts.size() - 1));
  ++FRevision;
}
