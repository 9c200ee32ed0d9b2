// Decodes a fuzzer's text as an MTEXT string, splits it, writes a typed text
// into it and asks whether a rewrite would lose its inner formatting.
// Input: the length of the typed text, then the text: the typed text first,
// the MTEXT string after it. Invariants: the split gives the string back; the
// codes for the whole text show nothing; the written string shows exactly the
// typed text; a string without inner formatting, written back with its own
// visible text, shows the same.
#include <cstdio>
#include <cstdlib>

#include "fuzz_input.h"
#include "text/mtext.h"

namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "MTEXT invariant broken: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFuzzInput in(data, size);
  const std::size_t typedLength = in.byte();
  const std::wstring text = in.restAsText();
  const std::wstring typed = text.substr(0, std::min(typedLength, text.size()));
  const std::wstring source = text.substr(typed.size());

  const std::wstring visible = mtextVisibleText(source);
  const TMTextParts parts = splitMText(source);
  check(parts.head + parts.content + parts.tail == source, "head + content + tail is not the string");
  check(mtextVisibleText(parts.content) == visible, "the codes for the whole text show something");

  const std::wstring written = composeMText(source, typed);
  check(mtextVisibleText(written) == typed, "the written string does not show the typed text");
  check(splitMText(written).head == parts.head, "the written string lost the codes for the whole text");
  check(!mtextHasInnerFormatting(written) || typed.find(kMTextLineBreak) != std::wstring::npos,
        "a typed text without line breaks was written with inner formatting");
  if (!mtextHasInnerFormatting(source)) {
    check(mtextVisibleText(composeMText(source, visible)) == visible, "a plain text written back shows another");
  }
  return 0;
}
