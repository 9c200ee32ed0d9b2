#pragma once
// The reading steps of the Acquire command: the selection set, the filter,
// entities to records, the tolerance and the log lines. The form's
// Button1Click strings them together.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cad/cad_ports.h"
#include "platform/desktop.h"
#include "table/bounds.h"
#include "table/mtext_codec.h"
#include "table/mrv_records.h"

inline constexpr const wchar_t* kSelectionSetName = L"ssTemp";
// The tolerance when none is given, and as the tolerance box shows it at first.
inline constexpr double kDefaultTolerance = 0.1;
inline constexpr const wchar_t* kDefaultToleranceText = L"0.1";

// The document's selection set "ssTemp", emptied: the first of that exact name
// from index 0 on, or a new one added when there is none.
std::unique_ptr<TCadSelectionSet> getSelectionSet(TCadDocument& document);

// Empties the set, then deletes it from its document. Both are attempted; the
// first error is raised after the second call.
void releaseSelectionSet(TCadSelectionSet& set);

// The filter of the on-screen selection: texts (with `mtext` multi-line
// texts too) and every "*LINE" type, and with `excludeLayers` nothing on a
// layer matching `layerPatterns` (as layerPatternList gives them; kept even
// when that leaves them empty).
struct TSelectionFilter {
  std::vector<std::int16_t> codes;
  std::vector<std::wstring> values;
};
TSelectionFilter buildSelectionFilter(bool excludeLayers, const std::wstring& layerPatterns, bool mtext = false);

// The typed layer patterns as the CAD's list: separated by "," or "、",
// each without the blanks (characters up to U+0020, the ideographic space)
// around it, joined by ",". A character after "`" is kept as it is.
std::wstring layerPatternList(const std::wstring& typed);

// Removes the characters up to U+0020 from both ends.
std::wstring trimControls(const std::wstring& text);

// Appends the records of one selected entity: a line gives one TMrvLine, a
// polyline one per segment (closed: back to the first vertex too; z = 0), a
// text one TMrvText anchored at its alignment point when its alignment is not
// 0, else at its insertion point. Given the MTEXT codes, a multi-line text
// gives one TMrvText too, anchored at its insertion point, its string decoded
// by them. Other types give nothing.
void appendEntityRecords(TCadEntity& entity, TLineAry& lines, TTextAry& texts,
                         const TMTextCodec* mtext = nullptr);

// Reads entity 0 .. count - 1 of the set into fresh lists. `progress` runs
// before each entity with its 1-based number. The lists given are replaced
// only when every entity was read, so a failing CAD call leaves the records
// of the previous Acquire, which still match the sheet's tags.
void readSelection(TCadSelectionSet& set, std::int32_t count,
                   const std::function<void(std::int32_t number)>& progress, TLineAry& lines,
                   TTextAry& texts, const TMTextCodec* mtext = nullptr);

// The tolerance typed in the user's number format: the number when it is
// greater than zero and finite, else kDefaultTolerance. `refused` tells a
// number that cannot serve (zero, negative, beyond a double) from a text that
// is no number at all, which is replaced without a word.
struct TTolerance {
  double value = kDefaultTolerance;
  bool refused = false;
};
TTolerance readTolerance(const std::wstring& text, wchar_t decimalSeparator);
double parseTolerance(const std::wstring& text, wchar_t decimalSeparator);
// The log line after a refused tolerance, quoting the text as typed.
std::wstring toleranceLogLine(const std::wstring& text);

// "%.3f sec" of a duration in milliseconds, with the user's decimal separator.
std::wstring formatSeconds(std::uint32_t milliseconds, wchar_t decimalSeparator);

// The log lines and the progress text.
std::wstring selectLogLine(std::int32_t count);
std::wstring recordsLogLine(std::size_t lines, std::size_t texts);
// After an Acquire that read lines and not one text, with MTEXT left out: where to let them in.
std::wstring mtextHintLogLine();
// "Yoko = rows, Tate = columns": the counts of row and column boundaries.
std::wstring boundsLogLine(const TBounds& bounds);
std::wstring progressText(std::int32_t number, std::int32_t count);

// A window handle the CAD reports as a 32-bit value, as the desktop knows it.
// Window handles are 32-bit significant on 64-bit Windows, and a 64-bit
// process holds them sign-extended (as LongToHandle does), so that is how the
// value is widened.
inline TWnd cadWindowToWnd(std::int32_t handle) {
  return static_cast<TWnd>(static_cast<std::int64_t>(handle));
}
