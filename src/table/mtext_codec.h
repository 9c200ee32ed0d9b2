#pragma once
// What reading and writing MTEXT records need of the MTEXT codes. The codes'
// rules live with the other text rules, above the table; the program hands
// them down through this, as it hands down the text metrics.
#include <string>
#include <string_view>

class TMTextCodec {
 public:
  virtual ~TMTextCodec() = default;
  // What the drawing shows of `source`.
  virtual std::wstring visibleText(std::wstring_view source) const = 0;
  // The string an edit writes: `source`'s codes for the whole text around `visible`.
  virtual std::wstring compose(std::wstring_view source, std::wstring_view visible) const = 0;
  // Whether `source`'s content carries codes that a rewritten text cannot keep.
  virtual bool hasInnerFormatting(std::wstring_view source) const = 0;
};
