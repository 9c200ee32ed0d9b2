#pragma once
// The MTEXT codes (text/mtext.h) as the table and Update take them: the form
// hands these down to the reading and the writing of MTEXT records.
#include "table/mtext_codec.h"
#include "text/mtext.h"

class TMTextCodes final : public TMTextCodec {
 public:
  std::wstring visibleText(std::wstring_view source) const override { return mtextVisibleText(source); }
  std::wstring compose(std::wstring_view source, std::wstring_view visible) const override {
    return composeMText(source, visible);
  }
  bool hasInnerFormatting(std::wstring_view source) const override { return mtextHasInnerFormatting(source); }
};
