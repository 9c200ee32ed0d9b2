#pragma once
// Reading a clipboard text as Excel writes a block: fields cut at TABs, rows
// ended by CR LF, text after the last CR LF a row of its own. A field that
// holds a line break comes in double quotes, its quotes doubled; such a field
// is one cell, its breaks (LF, or CR LF) read as LF. Any other field is taken
// as it stands, quotes and all, as a text editor's copy has it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TClipboardFields {
 public:
  explicit TClipboardFields(std::wstring_view text) : FText(text) {}

  // The next field into `field` (skipped unread when null), and whether it
  // ends its row; false once the text is read.
  bool next(std::wstring* field, bool& endsRow);
  // Whether the field read last came in quotes.
  bool quoted() const { return FQuoted; }

 private:
  // The quoted field at FPos into `field` (when not null), FPos moved past
  // it; false, FPos unmoved, when none is there.
  bool readQuoted(std::wstring* field);

  std::wstring_view FText;
  std::size_t FPos = 0;
  bool FFieldFollows = false;  // a TAB was read: a field follows, if only an empty one
  bool FQuoted = false;
};

// The number of rows of the text.
std::int32_t clipboardRowCount(std::wstring_view text);

// A cell's text as a field of that format: a text holding a line break
// quoted, its quotes doubled; any other as it is.
std::wstring clipboardField(const std::wstring& text);
