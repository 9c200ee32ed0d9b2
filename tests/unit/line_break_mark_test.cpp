// A cell's line breaks as the sheet shows them, and back from its editor.
#include <gtest/gtest.h>

#include "platform/utf8.h"
#include "sheet/line_break_mark.h"
#include "text/mtext.h"

namespace {

static_assert(kCellLineBreak == kMTextLineBreak, "the sheet marks the breaks an MTEXT's text holds");

TEST(LineBreakMark, TheEditorsTextBackToTheCell) {
  const struct {
    const wchar_t *opened, *shown, *edited, *cell;
  } cases[] = {
      {L"寸法\n備考", L"寸法¶備考", L"寸法¶備考X", L"寸法\n備考X"},
      {L"a\nb\nc", L"a¶b¶c", L"a¶bc", L"a\nbc"},            // a break deleted
      {L"a\nb", L"a¶b", L"a¶b¶c", L"a\nb¶c"},               // a mark typed beyond the cell's breaks
      {L"a\nb", L"a¶b", L"¶ab", L"\nab"},                   // the break moved
      {L"ab", L"ab", L"a¶b", L"a¶b"},                       // typing cannot make a break
      {L"x¶y\nz", L"x¶y¶z", L"x¶y¶z", L"x¶y\nz"},           // untouched: the drawing's own mark stays
      {L"", L"", L"", L""},
      {L"plain", L"plain", L"plainer", L"plainer"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(textWithMarks(c.opened), c.shown) << toUtf8(c.opened);
    EXPECT_EQ(hasLineBreak(c.opened), textWithMarks(c.opened) != c.opened) << toUtf8(c.opened);
    EXPECT_EQ(textFromEditor(c.edited, c.opened), c.cell) << toUtf8(c.opened) << " / " << toUtf8(c.edited);
  }
}

}  // namespace
