#pragma once
// Finding drawing texts from handles: the record of a handle, by a scan or
// through an index by cell tag.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "table/cell_tag.h"
#include "table/mrv_records.h"

// Index of the first record whose sHandle names the same entity as `handle`
// (sameHandle: "2a" is "002A"); -1 when the list is empty, the handle is
// empty or 0, or nothing matches. A scan of the whole list: one call per click
// is cheap, one per cell of a sheet is not (see TTextIndex).
int findTextByHandle(const TTextAry& texts, const std::wstring& handle);

// The text list with an index by handle, for a walk over every cell. Every
// change to the list during the walk goes through here so that the index
// follows it: a blanked record is found no more, an appended one at once,
// and a handle held by several records keeps answering with the first.
class TTextIndex {
 public:
  explicit TTextIndex(TTextAry& texts);
  TTextIndex(const TTextIndex&) = delete;
  TTextIndex& operator=(const TTextIndex&) = delete;

  // What findTextByHandle(texts, handleString(tag)) gives, without the scan.
  int findTag(std::int32_t tag) const;
  int findTextByHandle(const std::wstring& handle) const;

  const TMrvText& operator[](int i) const { return FTexts[static_cast<std::size_t>(i)]; }
  std::size_t size() const { return FTexts.size(); }
  // The list was replaced or changed behind the index's back: indexed anew.
  void rebuild();
  void setText(int i, const std::wstring& text);
  // An MTEXT's record after an edit: the string written, what it shows, and
  // whether its content carries codes a next edit cannot keep.
  void setMText(int i, std::wstring source, std::wstring text, bool innerFormatting);
  // The drawing's text differs from the record now (TMrvText::drawingChanged).
  void markDrawingChanged(int i);
  // The record stays at its index with no text, no object id and handle "0".
  void blank(int i);
  void append(TMrvText record);
  // Goes up with every change made through here, so that what was worked
  // out from the records knows when to look again.
  std::uint64_t revision() const { return FRevision; }

 private:
  void add(int i);

  TTextAry& FTexts;
  // Records whose handle can be a cell tag, by that tag; indexes ascending,
  // so the first is the answer.
  std::unordered_map<std::uint32_t, std::vector<int>> FByTag;
  std::uint64_t FRevision = 0;
};
