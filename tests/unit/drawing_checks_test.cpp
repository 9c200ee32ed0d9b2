// What keeps Update and Locate from harming a drawing: the drawing the table
// was read from must be the active one, an object that is no text is never
// written, and a text changed in the CAD since Acquire is not overwritten.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/pending_look.h"
#include "cad/drawing_identity.h"
#include "sheet/cell_look.h"
#include "writeback/pending_cells.h"
#include "writeback/update.h"
#include "writeback_fixture.h"

namespace {

// Calls of `operation` since cad.calls was last emptied.
int since(const TFakeCad& cad, const std::wstring& operation) {
  return static_cast<int>(std::count_if(cad.calls.begin(), cad.calls.end(), [&](const std::wstring& call) {
    return call == operation || call.rfind(operation + L" ", 0) == 0;
  }));
}

constexpr TWnd kBar = 0x4001;
constexpr TWnd kView = 0x4002;

class DrawingChecksTest : public TWritebackTest {
 protected:
  // The table is read from a saved drawing; a second drawing, opened later,
  // holds texts under the very same handles.
  void acquireSaved() {
    cad.doc().name = L"parts_list.dxf";
    cad.doc().fullName = L"C:\\図面\\parts_list.dxf";
    acquire();
    const TWnd document = static_cast<TWnd>(cad.doc().drawingWindow);
    desktop.places[document] = {{100, 80, 1100, 740}, kBar, 0};
    desktop.places[kBar] = {{100, 100, 1100, 120}, 0, kView};
    desktop.places[kView] = {{100, 120, 1100, 740}, 0, 0};
  }
  void openOther(const std::wstring& name, const std::wstring& fullName) {
    TFakeDocumentData other = cad.documents.at(0);
    other.name = name;
    other.fullName = fullName;
    cad.documents.push_back(other);
    cad.activeDocument = cad.documents.size() - 1;
  }
  TFakeEntity& live(const std::wstring& handle) {
    for (TFakeEntity& e : cad.doc().entities) {
      if (!e.erased && e.handle == handle) return e;
    }
    throw std::runtime_error("no such text");
  }
  std::vector<std::wstring> texts(std::size_t document) {
    std::vector<std::wstring> out;
    for (const TFakeEntity& e : cad.documents.at(document).entities) {
      out.push_back((e.erased ? L"erased " : L"") + e.text);
    }
    return out;
  }
  int identityCalls() { return since(cad, L"Document.FullName") + since(cad, L"Document.Name"); }
};

TEST(DrawingIdentityTest, OneCallTellsWhetherTheActiveDocumentIsTheRecordedDrawing) {
  TFakeCad cad;
  const auto active = [&cad] { return cad.createApplication()->ActiveDocument(); };
  cad.doc().name = L"a.dxf";
  cad.doc().fullName = L"C:\\work\\a.dxf";
  const TDrawingIdentity saved = readDrawingIdentity(*active(), L"a.dxf");
  EXPECT_EQ(saved.name, L"C:\\work\\a.dxf");
  EXPECT_TRUE(saved.byFullName);
  EXPECT_EQ(saved.documentName, L"a.dxf");

  const struct {
    std::wstring name, fullName;
    bool same;
  } cases[] = {
      {L"a.dxf", L"C:\\work\\a.dxf", true},
      {L"A.DXF", L"c:\\WORK\\A.dxf", true},     // Windows file names ignore case
      {L"a.dxf", L"C:\\other\\a.dxf", false},   // the same name in another folder
      {L"b.dxf", L"C:\\work\\b.dxf", false},
      {L"a.dxf", L"", false},                   // a new drawing that was never saved
  };
  for (const auto& c : cases) {
    cad.doc().name = c.name;
    cad.doc().fullName = c.fullName;
    cad.calls.clear();
    const TDrawingCheck check = checkDrawing(*active(), saved);
    EXPECT_EQ(check.same, c.same) << c.fullName;
    EXPECT_EQ(check.active, c.fullName);
    EXPECT_EQ(since(cad, L"Document.FullName"), 1);
    EXPECT_EQ(since(cad, L"Document.Name"), 0);
  }

  // A drawing never saved is known by its name, read with one call too.
  cad.doc().fullName.clear();
  cad.doc().name = L"Drawing1.dwg";
  const TDrawingIdentity unsaved = readDrawingIdentity(*active(), L"Drawing1.dwg");
  EXPECT_FALSE(unsaved.byFullName);
  cad.calls.clear();
  EXPECT_TRUE(checkDrawing(*active(), unsaved).same);
  cad.doc().name = L"Drawing2.dwg";
  EXPECT_FALSE(checkDrawing(*active(), unsaved).same);
  EXPECT_EQ(since(cad, L"Document.Name"), 2);
  EXPECT_EQ(since(cad, L"Document.FullName"), 0);
  // No table read yet: nothing is the drawing.
  EXPECT_FALSE(checkDrawing(*active(), TDrawingIdentity{}).same);
}

// The user reads a table, edits it, opens another drawing whose handles name
// other texts, and presses Update, then clicks a cell: nothing is written or
// located in either drawing, the log and a box say why, and the edit is still
// pending. Back in the first drawing, the same Update writes it.
TEST_F(DrawingChecksTest, InAnotherDrawingUpdateWritesNothingAndSaysSoAndLocateDoesNothing) {
  acquireSaved();
  const std::wstring edited = handleOf(1, 2);
  set(1, 2, L"WRONGDRAWING");
  set(2, 4, L"");
  openOther(L"table_in_context.dxf", L"C:\\図面\\table_in_context.dxf");
  const std::vector<std::wstring> before = texts(1);
  cad.calls.clear();
  form->Button2.Click();

  EXPECT_EQ(texts(1), before);
  EXPECT_EQ(texts(0), texts(1));
  EXPECT_EQ(since(cad, L"Document.HandleToObject"), 0);
  EXPECT_EQ(since(cad, L"Document.StartUndoMark"), 0);
  EXPECT_TRUE(cad.doc().regens.empty());
  EXPECT_EQ(identityCalls(), 1);
  EXPECT_EQ(form->Memo1.Lines(),
            std::vector<std::wstring>{L"[更新] 取得した図面ではないため書き込みませんでした: 取得 = C:\\図面\\parts_list.dxf, "
                                      L"現在 = C:\\図面\\table_in_context.dxf"});
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0], L"msg|" + wrongDrawingMessage(L"C:\\図面\\parts_list.dxf"));
  EXPECT_NE(desktop.messages[0].find(L"C:\\図面\\parts_list.dxf"), std::wstring::npos);
  // The box comes over the own window, brought to the front first.
  EXPECT_EQ(lastBringToTop(), "bringWindowToTop " + std::to_string(kOwnWindow));
  EXPECT_EQ(form->table().pending.counts(), (TPendingCounts{1, 0, 1, 0, 0}));
  EXPECT_EQ(form->Window.Caption(), formCaption(L"parts_list.dxf"));

  // Locate: not a zoom, not a restore, not a line on the screen.
  desktop.windows[static_cast<TWnd>(cad.mainWindow)].iconic = true;
  desktop.calls.clear();
  grid().moveTo(1, 1);
  EXPECT_FALSE(cad.lastZoom.has_value());
  EXPECT_TRUE(desktop.screenLines.empty());
  EXPECT_EQ(desktop.indexOf("openIcon"), -1);
  EXPECT_EQ(form->StatusBar1.Panel(0), L" Handle = " + handleOf(1, 1));

  // The drawing of the table again: the check passes and the edit is written.
  cad.activeDocument = 0;
  desktop.windows[static_cast<TWnd>(cad.mainWindow)].iconic = false;
  grid().moveTo(1, 2);
  EXPECT_TRUE(cad.lastZoom.has_value());
  form->Memo1.clear();
  cad.calls.clear();
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 1, 追加 = 0, 削除 = 1"});
  EXPECT_EQ(live(edited).text, L"WRONGDRAWING");
  EXPECT_EQ(texts(1), before);
  EXPECT_EQ(desktop.messages.size(), 1u);
}

// An Acquire that selects nothing in another drawing keeps the texts of the
// first; the sheet and caption stay with them, and so does the check.
TEST_F(DrawingChecksTest, AnAcquireThatReadsNothingKeepsTheDrawingTheTextsCameFrom) {
  acquireSaved();
  openOther(L"other.dxf", L"C:\\図面\\other.dxf");
  cad.selectMode = TFakeSelectMode::Picked;
  cad.picked.clear();
  form->Button1.Click();
  EXPECT_EQ(form->Memo1.Lines().front(), L"Select = 0");
  EXPECT_EQ(form->Window.Caption(), formCaption(L"parts_list.dxf"));
  set(1, 1, L"edit");
  form->Memo1.clear();
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines().size(), 1u);
  EXPECT_EQ(form->Memo1.Lines()[0].rfind(L"[更新] 取得した図面ではないため書き込みませんでした", 0), 0u);

  // Read from the other drawing: that one is the drawing now.
  cad.selectMode = TFakeSelectMode::WholeDrawing;
  form->Button1.Click();
  EXPECT_EQ(form->Window.Caption(), formCaption(L"other.dxf"));
  set(1, 1, L"edit");
  form->Memo1.clear();
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 1, 追加 = 0, 削除 = 0"});
}

// A handle may yield an object that answers as a text but is none the
// program writes (a multiline text, an attribute definition): never written,
// never erased, never copied as a template; counted with the skipped cells.
TEST_F(DrawingChecksTest, AnObjectThatIsNoTextIsNeverWrittenOrErasedAndIsCountedAsSkipped) {
  acquire({{2, 1}});
  const std::wstring mtext = handleOf(1, 1);
  const std::wstring attdef = handleOf(1, 2);
  const std::wstring templateOfColumn2 = handleOf(2, 2);
  for (const auto& [handle, type] : {std::pair{mtext, L"AcDbMText"}, std::pair{attdef, L"AcDbAttributeDefinition"},
                                     std::pair{templateOfColumn2, L"AcDbMText"}}) {
    TFakeEntity& e = live(handle);
    e.objectName = type;
    e.answersAsText = true;
  }
  set(1, 1, L"edit");
  set(1, 2, L"");
  set(2, 1, L"new");
  set(1, 3, L"written");
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines(),
            (std::vector<std::wstring>{L"[更新] 編集 = 1, 追加 = 0, 削除 = 0", skippedLogLine(3)}));
  EXPECT_EQ(live(mtext).text, L"r1c1");
  EXPECT_EQ(live(attdef).text, L"r2c1");
  EXPECT_TRUE(liveTexts(L"new").empty());
  EXPECT_EQ(since(cad, L"Text.Copy"), 0);
  EXPECT_EQ(since(cad, L"Text.Erase"), 0);
  EXPECT_EQ(liveTexts(L"written").size(), 1u);
}

// Users edit in the CAD and in the sheet at once. A text changed in the CAD
// since Acquire keeps the CAD's string, however the cell was edited, and the
// cell is marked until a new Acquire reads the text again.
TEST_F(DrawingChecksTest, ATextChangedInTheDrawingIsNeitherOverwrittenNorErasedUntilANewAcquire) {
  acquire();
  const std::wstring edited = handleOf(1, 1);
  const std::wstring emptied = handleOf(2, 2);
  const std::wstring mine = handleOf(1, 3);
  const std::wstring unedited = handleOf(2, 4);
  set(1, 1, L"sheet edit");
  set(2, 2, L"");
  set(1, 3, L"written");
  live(edited).text = L"CAD edit";
  live(emptied).text = L"CAD edit 2";
  live(unedited).text = L"CAD edit 3";  // the cell is as read: nothing to write, nothing read
  cad.calls.clear();
  form->Button2.Click();

  EXPECT_EQ(form->Memo1.Lines(), (std::vector<std::wstring>{L"[更新] 編集 = 1, 追加 = 0, 削除 = 0",
                                                             L"[更新] 図面側で変更されていたため飛ばしたセル = 2"}));
  EXPECT_EQ(live(edited).text, L"CAD edit");
  EXPECT_EQ(live(emptied).text, L"CAD edit 2");
  EXPECT_EQ(live(mine).text, L"written");
  EXPECT_EQ(live(unedited).text, L"CAD edit 3");
  EXPECT_EQ(grid().Tag(2, 2) != 0, true);
  EXPECT_EQ(form->table().pending.kindOf(1, 1), TPending::DrawingChanged);
  EXPECT_EQ(form->table().pending.kindOf(2, 2), TPending::DrawingChanged);
  EXPECT_EQ(form->table().pending.kindOf(1, 3), TPending::None);
  EXPECT_EQ(form->table().pending.kindOf(2, 4), TPending::None);
  form->showPendingCounts();
  EXPECT_EQ(form->StatusBar1.Panel(2), L"編集 0 / 追加 0 / 削除 0 / 不可 0 / 図面側で変更 2");
  // One call more per written cell: its string read before it is written.
  EXPECT_EQ(since(cad, L"Text.TextString"), 3);
  EXPECT_EQ(since(cad, L"Text.setTextString"), 1);

  // The next run leaves the marked cells alone without asking the CAD.
  set(1, 1, L"sheet edit again");
  cad.calls.clear();
  form->Memo1.clear();
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines(), (std::vector<std::wstring>{L"[更新] 編集 = 0, 追加 = 0, 削除 = 0",
                                                             L"[更新] 図面側で変更されていたため飛ばしたセル = 2"}));
  EXPECT_EQ(since(cad, L"Document.HandleToObject"), 0);
  EXPECT_EQ(live(edited).text, L"CAD edit");

  // An Acquire that reads nothing keeps the texts as read, and so the marks.
  cad.selectMode = TFakeSelectMode::Picked;
  cad.picked.clear();
  form->Button1.Click();
  EXPECT_EQ(form->table().pending.kindOf(1, 1), TPending::DrawingChanged);
  // A new Acquire reads the CAD's strings: no mark is left.
  cad.selectMode = TFakeSelectMode::WholeDrawing;
  form->Button1.Click();
  EXPECT_EQ(grid().Cell(1, 1), L"CAD edit");
  EXPECT_EQ(grid().Cell(2, 2), L"CAD edit 2");
  EXPECT_EQ(form->table().pending.counts(), TPendingCounts{});
  set(1, 1, L"after");
  form->Memo1.clear();
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 1, 追加 = 0, 削除 = 0"});
  EXPECT_EQ(live(edited).text, L"after");
}

TEST(DrawingChangedRuleTest, AMarkedRecordDecidesItsCellWhateverTheCellHolds) {
  TMrvText record;
  record.sText = L"as read";
  TMrvText changed = record;
  changed.drawingChanged = true;
  TMrvText mtext = record;
  mtext.isMText = true;
  TMrvText formatted = mtext;
  formatted.innerFormatting = true;
  TMrvText formattedChanged = formatted;
  formattedChanged.drawingChanged = true;
  const struct {
    std::wstring text;
    const TMrvText* record;
    TPending expected;
  } cases[] = {
      {L"as read", &record, TPending::None},        {L"edit", &record, TPending::Edit},
      {L"", &record, TPending::Delete},             {L"as read", &changed, TPending::DrawingChanged},
      {L"edit", &changed, TPending::DrawingChanged}, {L"", &changed, TPending::DrawingChanged},
      {L"edit", nullptr, TPending::None},
      {L"edit", &mtext, TPending::Edit},            {L"edit", &formatted, TPending::FormatReplaced},
      {L"as read", &formatted, TPending::None},     {L"", &formatted, TPending::Delete},
      {L"edit", &formattedChanged, TPending::DrawingChanged},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(classifyCell(0x2A, c.text, c.record, true), c.expected) << c.text;
  }
  EXPECT_EQ(pendingStatusText({0, 0, 0, 0, 3}), L"編集 0 / 追加 0 / 削除 0 / 不可 0 / 図面側で変更 3");
  EXPECT_EQ(pendingStatusText({1, 0, 0, 0, 0}), L"編集 1 / 追加 0 / 削除 0 / 不可 0");
  EXPECT_EQ(pendingStatusText({0, 0, 0, 0, 1, 2}), L"編集 0 / 追加 0 / 削除 0 / 不可 0 / 図面側で変更 1 / 書式置換 2");
}

// Each kind of mark differs from every other in its pixels' places, not in
// colour alone; each stays inside its cell within the band the text keeps
// clear, each line led by its white edge.
TEST(MarkShapesTest, EveryKindHasAShapeOfItsOwnInsideTheCellsRightBand) {
  const TCellRect cell{100, 40, 180, 60};  // 80 x 20, as a sheet's cell
  const TPending kinds[] = {TPending::Edit, TPending::Add, TPending::Delete, TPending::Unwritable,
                            TPending::DrawingChanged, TPending::FormatReplaced};
  const struct {
    TPending kind;
    int coloured;  // pixels in the mark's colour, the white edge not counted
    int top, bottom;
  } expected[] = {
      {TPending::Edit, 28, 40, 48},  {TPending::Add, 28, 52, 60},        {TPending::Delete, 60, 40, 60},
      {TPending::Unwritable, 36, 47, 53}, {TPending::DrawingChanged, 25, 47, 54},
      {TPending::FormatReplaced, 21, 40, 43},
  };
  std::vector<std::set<std::pair<int, int>>> shapes;
  std::set<std::uint32_t> colours;
  for (const auto& e : expected) {
    const TPendingMarkLook look = pendingMark(e.kind);
    ASSERT_NE(look.color, 0u);
    colours.insert(look.color);
    std::set<std::pair<int, int>> pixels;
    int coloured = 0;
    int top = cell.bottom;
    int bottom = cell.top;
    for (const TMarkRun& run : markRuns(look.shape, cell)) {
      EXPECT_GE(run.left, cell.right - kMarkSize);
      EXPECT_EQ(run.right, cell.right);
      EXPECT_TRUE(run.y >= cell.top && run.y < cell.bottom);
      coloured += run.right - run.left - 1;
      top = std::min(top, run.y);
      bottom = std::max(bottom, run.y + 1);
      for (int x = run.left + 1; x < run.right; ++x) pixels.insert({x, run.y});
    }
    EXPECT_EQ(coloured, e.coloured) << static_cast<int>(e.kind);
    EXPECT_EQ(top, e.top) << static_cast<int>(e.kind);
    EXPECT_EQ(bottom, e.bottom) << static_cast<int>(e.kind);
    shapes.push_back(pixels);
  }
  for (std::size_t a = 0; a < shapes.size(); ++a) {
    for (std::size_t b = a + 1; b < shapes.size(); ++b) {
      EXPECT_NE(shapes[a], shapes[b]) << static_cast<int>(kinds[a]) << " and " << static_cast<int>(kinds[b]);
    }
  }
  EXPECT_EQ(colours.size(), std::size(kinds));
  EXPECT_EQ(pendingMark(TPending::None).color, 0u);
  // A cell too small for any mark gets none.
  EXPECT_TRUE(markRuns(TMarkShape::MiddleArrow, {0, 0, 1, 20}).empty());
}

}  // namespace
