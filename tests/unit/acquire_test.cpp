// The Acquire command against the fake CAD and the fake desktop: the order of
// the window and key requests, the selection set's life, the filter, the
// records read, the log, the sheet and the enabled states, and how failures
// end the command.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/morvane_form.h"
#include "fake_cad.h"
#include "fake_desktop.h"
#include "table/acquire.h"

namespace {

constexpr TWnd kOwnWindow = 0x3003;

// A table of `rows` x `cols` cells of 20 x 10 units, top-left at (0, 100):
// ruled by single lines, one text in the middle of each cell "r-c".
struct TTableDrawing {
  int rows = 3;
  int cols = 2;
  double left = 0.0;
  double top = 100.0;
  double width = 20.0;
  double height = 10.0;
  void draw(TFakeCad& cad) const {
    for (int c = 0; c <= cols; ++c) {
      const double x = left + c * width;
      cad.addLine({x, top, 0.0}, {x, top - rows * height, 0.0});
    }
    for (int r = 0; r <= rows; ++r) {
      const double y = top - r * height;
      cad.addLine({left, y, 0.0}, {left + cols * width, y, 0.0});
    }
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) {
        cad.addText(std::to_wstring(r + 1) + L"-" + std::to_wstring(c + 1),
                    {left + c * width + 2.0, top - r * height - 7.0, 0.0});
      }
    }
  }
  int entities() const { return (rows + 1) + (cols + 1) + rows * cols; }
};

class AcquireTest : public ::testing::Test {
 protected:
  void SetUp() override {
    addCadWindow(desktop, cad);
    desktop.windows[kOwnWindow] = {L"Morvane", 1, false};
    desktop.foreground = kOwnWindow;
    form = std::make_unique<TMorvaneForm>(TMorvanePorts{desktop, cad, metrics});
    form->Window.Handle = kOwnWindow;
  }

  // Marks the moment of the on-screen selection among the desktop's calls.
  void markSelection() {
    cad.onSelectOnScreen = [this] { desktop.calls.push_back("SelectOnScreen"); };
  }
  std::vector<std::wstring> log() const { return form->Memo1.Lines(); }
  TWnd cadWnd() const { return static_cast<TWnd>(cad.mainWindow); }

  TFakeDesktop desktop;
  TFakeCad cad;
  TFakeTextMetrics metrics;
  std::unique_ptr<TMorvaneForm> form;
};

TEST_F(AcquireTest, ReadsATableIntoTheSheetWithTheFourLogLines) {
  const TTableDrawing table;
  table.draw(cad);
  // Each message pump takes 3 ms: the reading loop pumps once per entity.
  desktop.onProcessMessages = [this] { desktop.ticks += 3; };
  form->Button1.Click();

  ASSERT_TRUE(desktop.messages.empty()) << toUtf8(desktop.messages.front());
  const int n = table.entities();
  EXPECT_EQ(log(), (std::vector<std::wstring>{L"Select = " + std::to_wstring(n),
                                              L"0.0" + std::to_wstring(3 * n) + L" sec",
                                              L"Line = 7, Text = 6", L"Yoko = 4, Tate = 3"}));
  EXPECT_EQ(form->Window.Caption(), L"Morvane 2025.06.08a [ nanoCAD 5 ] Drawing1.dwg");
  const TStringGrid& g = form->StringGrid1;
  ASSERT_EQ(g.RowCount(), 4);
  ASSERT_EQ(g.ColCount(), 3);
  for (int r = 1; r <= 3; ++r) {
    for (int c = 1; c <= 2; ++c) {
      EXPECT_EQ(g.Cell(c, r), std::to_wstring(r) + L"-" + std::to_wstring(c));
      EXPECT_NE(g.Tag(c, r), 0);
    }
  }
  EXPECT_EQ(form->table().TextAry.size(), 6u);
  EXPECT_EQ(form->table().LineAry.size(), 7u);
  EXPECT_EQ(form->table().TextAry[0].objID, 0);
  EXPECT_TRUE(form->Button2.Enabled());
  EXPECT_TRUE(form->N6.Enabled());
  EXPECT_TRUE(form->Button3.Enabled());
  EXPECT_FALSE(form->UNDO1.Enabled());
  EXPECT_TRUE(form->CheckBox1.Enabled());
  EXPECT_EQ(form->ProgressBar1.Position(), 0);
  EXPECT_EQ(form->ProgressBar1.Max(), n);
  EXPECT_EQ(form->StatusBar1.Panel(0), L"");
  EXPECT_TRUE(cad.selectionSetNames().empty());
}

TEST_F(AcquireTest, WindowAndKeyRequestsComeInOrder) {
  TTableDrawing{}.draw(cad);
  markSelection();
  form->Button1.Click();
  const std::string cadW = std::to_string(cadWnd());
  const std::string own = std::to_string(kOwnWindow);
  std::vector<std::string> expected{"findTopLevelWindow",
                                    "setForegroundWindow " + cadW,
                                    "keyEvent 27 down",
                                    "keyEvent 27 up",
                                    "sleep 5",
                                    "minimizeWindow " + own,
                                    "sleep 100",
                                    "setForegroundWindow " + cadW,
                                    "processMessages",
                                    "SelectOnScreen",
                                    "sleep 250",
                                    "restoreWindow " + own,
                                    "setForegroundWindow " + own};
  int at = 0;
  for (const std::string& call : expected) {
    const int found = desktop.indexOf(call, at);
    ASSERT_GE(found, 0) << "missing, or out of order: " << call;
    at = found + 1;
  }
  // The last requests bring the own window back to the front.
  EXPECT_EQ(desktop.calls.back(), "bringWindowToTop " + own);
  EXPECT_EQ(desktop.countOf("openIcon"), 0);
  EXPECT_EQ(desktop.countOf("sleep 500"), 0);
}

TEST_F(AcquireTest, EscapeOnlyWhenTheCadWindowCameToTheFront) {
  TTableDrawing{}.draw(cad);
  desktop.foregroundAllowed = false;
  form->Button1.Click();
  EXPECT_EQ(desktop.countOf("keyEvent"), 0);
  EXPECT_EQ(desktop.countOf("sleep 5"), 0);
  EXPECT_EQ(log().front(), L"Select = 13");
}

TEST_F(AcquireTest, MinimisedCadWindowIsRestoredFirst) {
  TTableDrawing{}.draw(cad);
  desktop.windows[cadWnd()].iconic = true;
  form->Button1.Click();
  const int open = desktop.indexOf("openIcon " + std::to_string(cadWnd()));
  ASSERT_GE(open, 0);
  EXPECT_EQ(desktop.calls[static_cast<std::size_t>(open) + 1], "sleep 500");
  EXPECT_LT(open, desktop.indexOf("setForegroundWindow " + std::to_string(cadWnd())));
}

TEST_F(AcquireTest, ProgressShownBeforeEachEntity) {
  TTableDrawing table;
  table.rows = 1;
  table.cols = 1;
  table.draw(cad);
  std::vector<std::wstring> panels;
  std::vector<int> positions;
  desktop.onProcessMessages = [this, &panels, &positions] {
    panels.push_back(form->StatusBar1.Panel(0));
    positions.push_back(form->ProgressBar1.Position());
  };
  form->StatusBar1.setPanel(1, L"新規作成不可");
  form->Button1.Click();
  // The first pump is the one before the on-screen selection.
  EXPECT_EQ(panels, (std::vector<std::wstring>{L"", L" 1 / 5", L" 2 / 5", L" 3 / 5", L" 4 / 5", L" 5 / 5"}));
  EXPECT_EQ(positions, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(form->StatusBar1.Panel(1), L"");
}

TEST_F(AcquireTest, ErrorInTheReadingLoopReleasesTheSetAndIsShown) {
  TTableDrawing{}.draw(cad);
  form->Button1.Click();
  const TTextAry before = form->table().TextAry;
  const std::wstring sheetCell = form->StringGrid1.Cell(1, 1);

  cad.calls.clear();
  cad.failOn(L"Text.TextString", L"RPC サーバーを利用できません。", 2);
  form->Button1.Click();
  EXPECT_EQ(desktop.messages, (std::vector<std::wstring>{L"error|RPC サーバーを利用できません。"}));
  // Emptied, then deleted, after the failing call.
  const auto failed = std::find(cad.calls.rbegin(), cad.calls.rend(), L"Text.TextString");
  ASSERT_NE(failed, cad.calls.rend());
  const std::vector<std::wstring> tail(failed.base(), cad.calls.end());
  EXPECT_EQ(tail, (std::vector<std::wstring>{L"SelectionSet.Clear", L"SelectionSet.Delete"}));
  EXPECT_TRUE(cad.selectionSetNames().empty());
  // The command ended there: the lists of the last good run stay with the
  // sheet that shows them, and no later log line was written.
  EXPECT_EQ(form->table().TextAry.size(), before.size());
  EXPECT_EQ(form->table().TextAry[0].sHandle, before[0].sHandle);
  EXPECT_EQ(form->StringGrid1.Cell(1, 1), sheetCell);
  EXPECT_EQ(log(), (std::vector<std::wstring>{L"Select = 13"}));
  EXPECT_FALSE(form->commandRunning());
}

TEST_F(AcquireTest, FailingCleanupAfterAnErrorShowsTheFirstErrorAndStillDeletes) {
  TTableDrawing{}.draw(cad);
  cad.failOn(L"SelectionSet.Count", L"count failed");
  cad.failOn(L"SelectionSet.Clear", L"clear failed", 1);  // the first Clear (the new set emptied) works
  form->Button1.Click();
  EXPECT_EQ(desktop.messages, (std::vector<std::wstring>{L"error|count failed"}));
  EXPECT_EQ(cad.countOf(L"SelectionSet.Delete"), 1);
  EXPECT_TRUE(cad.selectionSetNames().empty());
}

TEST_F(AcquireTest, FailingDeleteAfterAGoodReadIsShownAndKeepsRecordsAndHistory) {
  TTableDrawing{}.draw(cad);
  form->Button1.Click();
  const TTextAry before = form->table().TextAry;
  form->FUndoCells->Add(form->StringGrid1, 1, 1);
  form->StringGrid1.setCell(1, 1, L"typed");
  cad.addText(L"new", {5, 5, 0});
  cad.failOn(L"SelectionSet.Delete", L"delete failed");
  form->Button1.Click();
  EXPECT_EQ(desktop.messages, (std::vector<std::wstring>{L"error|delete failed"}));
  EXPECT_EQ(log().size(), 2u);  // "Select", time; the command ended at the cleanup
  // The sheet was not refilled, so the records it shows and the undo entry
  // of the typed text stay with it.
  EXPECT_EQ(form->table().TextAry.size(), before.size());
  EXPECT_EQ(form->StringGrid1.Cell(1, 1), L"typed");
  EXPECT_EQ(form->FUndoCells->Count(), 1);
}

TEST_F(AcquireTest, NoCadWindowMeansNoComAndNothingShown) {
  TTableDrawing{}.draw(cad);
  desktop.windows.erase(cadWnd());
  form->CheckBox1.setChecked(true);
  const std::wstring caption = form->Window.Caption();
  form->Button1.Click();
  EXPECT_TRUE(cad.calls.empty());
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_TRUE(log().empty());
  EXPECT_EQ(form->Window.Caption(), caption);
  EXPECT_FALSE(form->CheckBox1.Checked());
  EXPECT_EQ(desktop.countOf("minimizeWindow"), 0);
  EXPECT_EQ(desktop.calls.back(), "bringWindowToTop " + std::to_string(kOwnWindow));
}

TEST_F(AcquireTest, WindowWithoutAutomationServerFailsQuietly) {
  TTableDrawing{}.draw(cad);
  cad.serverMissing = true;
  form->Button1.Click();
  EXPECT_EQ(cad.calls, (std::vector<std::wstring>{L"Connector.createApplication"}));
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_TRUE(log().empty());
}

TEST_F(AcquireTest, NoDocumentLeavesCaptionLogAndSheet) {
  TTableDrawing{}.draw(cad);
  form->Button1.Click();
  const std::wstring caption = form->Window.Caption();
  const std::vector<std::wstring> lines = log();
  form->StringGrid1.setCell(1, 1, L"typed");
  cad.documents.clear();
  form->StatusBar1.setPanel(1, L"新規作成不可");
  form->Button1.Click();
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(form->Window.Caption(), caption);
  EXPECT_EQ(log(), lines);
  EXPECT_EQ(form->StringGrid1.Cell(1, 1), L"typed");
  EXPECT_EQ(form->StatusBar1.Panel(1), L"");
  EXPECT_EQ(cad.countOf(L"Application.ActiveDocument"), 1);  // only the first run's
}

TEST_F(AcquireTest, EmptySelectionKeepsListsAndHistoryAndRefillsFromThem) {
  TTableDrawing{}.draw(cad);
  form->Button1.Click();
  const std::size_t texts = form->table().TextAry.size();
  form->FUndoCells->Add(form->StringGrid1, 1, 1);
  form->StringGrid1.setCell(1, 1, L"typed");

  cad.selectMode = TFakeSelectMode::Cancel;
  form->Button1.Click();
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(log(), (std::vector<std::wstring>{L"Select = 0", L"Line = 7, Text = 6", L"Yoko = 4, Tate = 3"}));
  EXPECT_EQ(form->table().TextAry.size(), texts);
  EXPECT_EQ(form->FUndoCells->Count(), 1);
  EXPECT_EQ(form->StringGrid1.Cell(1, 1), L"1-1");  // refilled from the kept texts
  EXPECT_TRUE(form->Button2.Enabled());
  EXPECT_TRUE(cad.selectionSetNames().empty());
}

TEST_F(AcquireTest, EmptySelectionOnTheFirstRunLeavesTheStartSheet) {
  TTableDrawing{}.draw(cad);
  cad.selectMode = TFakeSelectMode::Picked;  // the user ends the selection with nothing
  form->StringGrid1.setCell(2, 2, L"typed");
  form->Button1.Click();
  EXPECT_EQ(log(), (std::vector<std::wstring>{L"Select = 0", L"Line = 0, Text = 0", L"Yoko = 0, Tate = 0"}));
  EXPECT_EQ(form->StringGrid1.RowCount(), 5);
  EXPECT_EQ(form->StringGrid1.Cell(2, 2), L"typed");
  EXPECT_FALSE(form->Button2.Enabled());
  EXPECT_FALSE(form->Button3.Enabled());
  EXPECT_TRUE(form->CheckBox1.Enabled());  // 5 rows
  EXPECT_EQ(form->Window.Caption(), L"Morvane 2025.06.08a [ nanoCAD 5 ] Drawing1.dwg");
}

TEST_F(AcquireTest, EmptySelectionMergesTheKeptBoundariesUnderTheNewTolerance) {
  // Columns 0, 20, 20.3, 40: with tolerance 0.5 the kept boundaries merge.
  cad.addLine({0, 10, 0}, {0, 0, 0});
  cad.addLine({20, 10, 0}, {20, 0, 0});
  cad.addLine({20.3, 10, 0}, {20.3, 0, 0});
  cad.addLine({40, 10, 0}, {40, 0, 0});
  cad.addLine({0, 10, 0}, {40, 10, 0});
  cad.addLine({0, 0, 0}, {40, 0, 0});
  cad.addText(L"a", {5, 5, 0});
  form->Button1.Click();
  EXPECT_EQ(form->table().bounds.cols().size(), 4u);
  cad.selectMode = TFakeSelectMode::Picked;  // picks nothing
  form->Edit1.setText(L"0.5");
  form->Button1.Click();
  EXPECT_EQ(form->table().bounds.cols(), (TDblAry{0.0, 20.0, 40.0}));
  EXPECT_EQ(log().back(), L"Yoko = 2, Tate = 3");
}

TEST_F(AcquireTest, NewSelectionClearsTheUndoHistoryAndResetsRowHeights) {
  TTableDrawing{}.draw(cad);
  form->FUndoCells->Add(form->StringGrid1, 1, 1);
  form->StringGrid1.setRowHeight(2, 55);
  form->Button1.Click();
  EXPECT_EQ(form->FUndoCells->Count(), 0);
  for (std::int32_t r = 0; r < form->StringGrid1.RowCount(); ++r) {
    EXPECT_EQ(form->StringGrid1.RowHeight(r), form->StringGrid1.DefaultRowHeight());
  }
}

TEST_F(AcquireTest, ExistingSelectionSetIsReusedEmptiedAndDeleted) {
  TTableDrawing{}.draw(cad);
  const std::size_t circle = cad.addOther(L"AcDbCircle", L"CIRCLE");
  cad.addSelectionSet(L"other");
  cad.addSelectionSet(L"ssTemp", {circle});
  form->Button1.Click();
  EXPECT_EQ(cad.countOf(L"SelectionSets.Add"), 0);
  EXPECT_EQ(cad.selectionSetNames(), (std::vector<std::wstring>{L"other"}));
  EXPECT_EQ(log().front(), L"Select = 13");  // the circle left in it is gone
}

TEST_F(AcquireTest, NewSelectionSetWhenNoneIsNamedExactlySsTemp) {
  TTableDrawing{}.draw(cad);
  cad.addSelectionSet(L"ssTemp2");
  form->Button1.Click();
  EXPECT_EQ(cad.countOf(L"SelectionSets.Add"), 1);
  EXPECT_EQ(cad.selectionSetNames(), (std::vector<std::wstring>{L"ssTemp2"}));
}

TEST_F(AcquireTest, FilterWithAndWithoutTheLayerExclusion) {
  TTableDrawing{}.draw(cad);
  cad.addLine({0, 0, 0}, {0, 50, 0}, L"HOJO1");
  cad.addText(L"note", {1, 1, 0}, 0, {0, 0, 0}, L"jogai-x");
  form->Edit2.setText(L" \tHOJO*,JOGAI*  ");
  form->Button1.Click();
  EXPECT_EQ(cad.lastFilterCodes, (std::vector<std::int16_t>{0, -4, 8, -4}));
  EXPECT_EQ(cad.lastFilterValues,
            (std::vector<std::wstring>{L"TEXT,*LINE", L"<NOT", L"HOJO*,JOGAI*", L"NOT>"}));
  EXPECT_EQ(log().front(), L"Select = 13");

  form->CheckBox5.setChecked(false);
  form->Button1.Click();
  EXPECT_EQ(cad.lastFilterCodes, (std::vector<std::int16_t>{0}));
  EXPECT_EQ(cad.lastFilterValues, (std::vector<std::wstring>{L"TEXT,*LINE"}));
  EXPECT_EQ(log().front(), L"Select = 15");

  form->CheckBox5.setChecked(true);
  form->Edit2.setText(L"   ");
  form->Button1.Click();
  EXPECT_EQ(cad.lastFilterValues, (std::vector<std::wstring>{L"TEXT,*LINE", L"<NOT", L"", L"NOT>"}));
  EXPECT_EQ(log().front(), L"Select = 15");

  // With MTEXT let in, the type list gains it and the layers are left out as before.
  cad.addMText(L"\\H2;m", {1, 1, 0}, L"JOGAI2");
  cad.addMText(L"m", {1, 1, 0});
  form->MTEXT1.Click();
  form->Edit2.setText(L"HOJO*,JOGAI*");
  form->Button1.Click();
  EXPECT_EQ(cad.lastFilterValues,
            (std::vector<std::wstring>{L"TEXT,MTEXT,*LINE", L"<NOT", L"HOJO*,JOGAI*", L"NOT>"}));
  EXPECT_EQ(log().front(), L"Select = 14");
  form->CheckBox5.setChecked(false);
  form->Button1.Click();
  EXPECT_EQ(cad.lastFilterValues, (std::vector<std::wstring>{L"TEXT,MTEXT,*LINE"}));
  EXPECT_EQ(log().front(), L"Select = 17");
}

TEST_F(AcquireTest, OnlyLinesPolylinesAndTextsGiveRecords) {
  cad.addPolyline({0, 0, 10, 0, 10, 5, 0, 5}, true, 7.5);  // 4 segments
  cad.addPolyline({0, 20, 10, 20, 10, 25}, false);          // 2 segments
  cad.addLine({1, 2, 3}, {4, 5, 6});
  cad.addText(L"left", {1, 1, 2}, 0, {9, 9, 9});
  cad.addText(L"centred", {1, 1, 2}, 4, {9, 8, 7});
  cad.addOther(L"AcDbXline", L"XLINE");
  cad.addOther(L"AcDbSpline", L"SPLINE");
  cad.addOther(L"AcDb2dPolyline", L"POLYLINE");  // "*LINE" matches, but no record
  cad.addOther(L"AcDbMText", L"MTEXT");          // not selected by the filter
  cad.addOther(L"AcDbCircle", L"CIRCLE");        // nor this
  form->Button1.Click();
  EXPECT_EQ(log()[0], L"Select = 8");
  EXPECT_EQ(log()[2], L"Line = 7, Text = 2");
  const TLineAry& lines = form->table().LineAry;
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[3].st, (std::array<double, 3>{0, 5, 0}));  // closing segment, z 0 despite elevation
  EXPECT_EQ(lines[3].ed, (std::array<double, 3>{0, 0, 0}));
  EXPECT_EQ(lines[5].ed, (std::array<double, 3>{10, 25, 0}));
  EXPECT_EQ(lines[6].st, (std::array<double, 3>{1, 2, 3}));  // a line keeps its z
  EXPECT_EQ(lines[6].ed, (std::array<double, 3>{4, 5, 6}));
  ASSERT_EQ(form->table().TextAry.size(), 2u);
  EXPECT_EQ(form->table().TextAry[0].base, (std::array<double, 3>{1, 1, 2}));
  EXPECT_EQ(form->table().TextAry[0].code, 0);
  EXPECT_EQ(form->table().TextAry[1].base, (std::array<double, 3>{9, 8, 7}));
  EXPECT_EQ(form->table().TextAry[1].code, 4);
  EXPECT_EQ(form->table().TextAry[1].sText, L"centred");
  EXPECT_EQ(form->table().TextAry[1].sHandle, cad.doc().entities[4].handle);
  EXPECT_FALSE(form->table().TextAry[1].isMText);
  EXPECT_TRUE(form->table().TextAry[1].sSource.empty());

  // Let in, an MTEXT is a text record anchored at its insertion point, its
  // string kept with the codes and shown decoded, read with four calls: its
  // type, string, insertion point and handle.
  const std::size_t wrapped = cad.addMText(L"{\\fＭＳ ゴシック|b0|i0|c128|p49;\\H2;部品\\P名}", {3, 4, 5});
  form->MTEXT1.Click();
  cad.calls.clear();
  form->Button1.Click();
  EXPECT_EQ(log()[0], L"Select = 10");
  EXPECT_EQ(log()[2], L"Line = 7, Text = 4");
  const TTextAry& texts = form->table().TextAry;
  ASSERT_EQ(texts.size(), 4u);
  const TMrvText& plain = texts[2];  // the one addOther made, with no string
  EXPECT_TRUE(plain.isMText);
  EXPECT_FALSE(plain.innerFormatting);
  const TMrvText& mtext = texts[3];
  EXPECT_TRUE(mtext.isMText);
  EXPECT_EQ(mtext.sSource, L"{\\fＭＳ ゴシック|b0|i0|c128|p49;\\H2;部品\\P名}");
  EXPECT_EQ(mtext.sText, L"部品\n名");
  EXPECT_TRUE(mtext.innerFormatting);
  EXPECT_EQ(mtext.code, 0);
  EXPECT_EQ(mtext.base, (std::array<double, 3>{3, 4, 5}));
  EXPECT_EQ(mtext.sHandle, cad.doc().entities[wrapped].handle);
  const auto served = [this](const std::wstring& prefix) {
    return std::count_if(cad.calls.begin(), cad.calls.end(),
                         [&prefix](const std::wstring& call) { return call.rfind(prefix, 0) == 0; });
  };
  EXPECT_EQ(served(L"MText."), 2 * 3);
  EXPECT_EQ(served(L"MText.TextString"), 2);
  EXPECT_EQ(served(L"MText.InsertionPoint"), 2);
  EXPECT_EQ(served(L"MText.Handle"), 2);
  EXPECT_EQ(served(L"Entity.ObjectName"), 10);
}

// Lines read and not one text: a table of MTEXT cells, most likely. With the
// option off, one line after the usual ones says where to let them in; never
// with it on, nor when texts were read, nor when nothing was selected.
TEST_F(AcquireTest, ARulingWithoutTextsHintsAtTheMTextOption) {
  const std::wstring hint = mtextHintLogLine();
  EXPECT_NE(hint.find(L"MTEXTも対象"), std::wstring::npos);
  TTableDrawing{1, 2}.draw(cad);
  const std::size_t firstText = cad.doc().entities.size() - 2;
  cad.doc().entities[firstText].erased = true;
  cad.doc().entities[firstText + 1].erased = true;
  cad.addMText(L"\\H2;a", {2, 93, 0});
  form->Button1.Click();
  EXPECT_EQ(log(), (std::vector<std::wstring>{L"Select = 5", L"0.000 sec", L"Line = 5, Text = 0",
                                              L"Yoko = 2, Tate = 3", hint}));
  cad.selectMode = TFakeSelectMode::Picked;  // nothing picked: the lists read before stay
  form->Button1.Click();
  EXPECT_EQ(log(), (std::vector<std::wstring>{L"Select = 0", L"Line = 5, Text = 0", L"Yoko = 2, Tate = 3"}));
  cad.selectMode = TFakeSelectMode::WholeDrawing;
  form->MTEXT1.Click();
  form->Button1.Click();
  EXPECT_EQ(log(), (std::vector<std::wstring>{L"Select = 6", L"0.000 sec", L"Line = 5, Text = 1",
                                              L"Yoko = 2, Tate = 3"}));
  EXPECT_EQ(form->StringGrid1.Cell(1, 1), L"a");
  // The selection decides, not a click on the item while the user selects.
  form->MTEXT1.Click();
  cad.onSelectOnScreen = [this] { form->MTEXT1.Click(); };
  form->Button1.Click();
  EXPECT_TRUE(form->MTEXT1.Checked());
  EXPECT_EQ(log().back(), hint);
}

TEST_F(AcquireTest, AnOpenEditEndsBeforeTheSheetIsRefilled) {
  const TTableDrawing table;
  table.draw(cad);
  form->Button1.Click();
  form->StringGrid1.moveTo(1, 1);
  form->StringGrid1.setEditorMode(true);
  form->Button1.Click();
  EXPECT_FALSE(form->StringGrid1.EditorMode());
  EXPECT_EQ(form->StringGrid1.Cell(1, 1), L"1-1");
}

TEST_F(AcquireTest, BadHandleEndsTheCommandDuringTheFill) {
  TTableDrawing{}.draw(cad);
  cad.addText(L"bad", {2, 93, 0}, 0, {0, 0, 0}, L"0", L"not-hex");
  cad.addText(L"late", {22, 73, 0});  // would replace "3-2"
  form->Button1.Click();
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_NE(desktop.messages[0].find(L"not-hex"), std::wstring::npos);
  EXPECT_EQ(form->StringGrid1.Cell(1, 1), L"1-1");  // not replaced by the bad one
  EXPECT_EQ(form->StringGrid1.Cell(2, 3), L"3-2");  // filled before it; "late" not reached
  EXPECT_FALSE(form->StringGrid1.updating());
  EXPECT_TRUE(cad.selectionSetNames().empty());
}

TEST_F(AcquireTest, TwoRowSheetDisablesTheFixedRowOption) {
  TTableDrawing table;
  table.rows = 1;
  table.draw(cad);
  form->Button1.Click();
  EXPECT_EQ(form->StringGrid1.RowCount(), 2);
  EXPECT_FALSE(form->CheckBox1.Enabled());
}

TEST_F(AcquireTest, OnlyHorizontalLinesDisableUpdate) {
  cad.addLine({0, 10, 0}, {40, 10, 0});
  cad.addLine({0, 0, 0}, {40, 0, 0});
  cad.addText(L"a", {5, 5, 0});
  form->Button1.Click();
  ASSERT_GE(log().size(), 2u);
  EXPECT_EQ(log()[log().size() - 2], L"Yoko = 2, Tate = 0");
  // With no table, the text read is shown nowhere, and the log says so.
  EXPECT_EQ(log().back(), L"表示されない文字 = 1 (表の外 = 1): 「a」");
  EXPECT_FALSE(form->Button2.Enabled());
  EXPECT_FALSE(form->N6.Enabled());
  EXPECT_FALSE(form->Button3.Enabled());
  EXPECT_EQ(form->StringGrid1.RowCount(), 5);  // not filled
}

TEST(AcquireSteps, ToleranceInTheUsersNumberFormat) {
  EXPECT_DOUBLE_EQ(parseTolerance(L"0.25", L'.'), 0.25);
  EXPECT_DOUBLE_EQ(parseTolerance(L" 0,5 ", L','), 0.5);
  EXPECT_DOUBLE_EQ(parseTolerance(L"0.5", L','), 0.1);  // the other separator is no number
  EXPECT_DOUBLE_EQ(parseTolerance(L"+.5", L'.'), 0.5);
  EXPECT_DOUBLE_EQ(parseTolerance(L"3.", L'.'), 3.0);
  EXPECT_DOUBLE_EQ(parseTolerance(L"1e-2", L'.'), 0.01);
  // No number at all: 0.1 without a word.
  for (const wchar_t* bad : {L"", L".", L"abc", L"0.1mm", L"1e", L"inf", L"nan", L"--1", L"1 2"}) {
    EXPECT_DOUBLE_EQ(parseTolerance(bad, L'.'), 0.1) << toUtf8(bad);
    EXPECT_FALSE(readTolerance(bad, L'.').refused) << toUtf8(bad);
  }
  // A number that cannot serve: 0.1, and the caller is told.
  for (const wchar_t* refused : {L"0", L"-0", L"0.000", L"-2", L"-0.1", L"1e999", L"-1e999", L"1e-999", L"0e5"}) {
    const TTolerance t = readTolerance(refused, L'.');
    EXPECT_DOUBLE_EQ(t.value, 0.1) << toUtf8(refused);
    EXPECT_TRUE(t.refused) << toUtf8(refused);
  }
  EXPECT_FALSE(readTolerance(L"1e-300", L'.').refused);
  EXPECT_DOUBLE_EQ(readTolerance(L"1e-300", L'.').value, 1e-300);
}

TEST_F(AcquireTest, AToleranceOfZeroOrLessRebuildsTheTableWithTheDefaultAndSaysSo) {
  TTableDrawing{}.draw(cad);
  const struct {
    const wchar_t* typed;
    std::vector<std::wstring> tail;
  } cases[] = {
      {L" 0 ", {L"Yoko = 4, Tate = 3", L"[取得] 許容 \"0\" は使えないため 0.1 を使いました"}},
      {L"-0.5", {L"Yoko = 4, Tate = 3", L"[取得] 許容 \"-0.5\" は使えないため 0.1 を使いました"}},
      {L"1e400", {L"Yoko = 4, Tate = 3", L"[取得] 許容 \"1e400\" は使えないため 0.1 を使いました"}},
      {L"abc", {L"Line = 7, Text = 6", L"Yoko = 4, Tate = 3"}},  // as before: no word
      {L"0.1", {L"Line = 7, Text = 6", L"Yoko = 4, Tate = 3"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.typed));
    form->Edit1.setText(c.typed);
    form->Button1.Click();
    const std::vector<std::wstring> lines = log();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(std::vector<std::wstring>(lines.end() - 2, lines.end()), c.tail);
    EXPECT_EQ(form->StringGrid1.RowCount(), 4);
    EXPECT_TRUE(form->Button2.Enabled());
  }
}

TEST(AcquireSteps, LayerPatternsSplitAtEitherCommaAndLoseTheBlanksAroundThem) {
  const struct {
    const wchar_t* typed;
    const wchar_t* list;
  } cases[] = {
      {L"HOJO*,JOGAI*", L"HOJO*,JOGAI*"},
      {L"HOJO*, JOGAI*", L"HOJO*,JOGAI*"},
      {L" \tHOJO* ,\u3000JOGAI*\u3000 ", L"HOJO*,JOGAI*"},
      {L"HOJO*\u3001JOGAI*", L"HOJO*,JOGAI*"},
      {L"HOJO*\u3001 JOGAI* , 寸法", L"HOJO*,JOGAI*,寸法"},
      {L"A B,C", L"A B,C"},      // a blank inside a name stays
      {L"A` ,B", L"A` ,B"},      // an escaped blank is part of the name
      {L"A`,B, C", L"A`,B,C"},   // an escaped comma separates nothing
      {L"HOJO*,", L"HOJO*,"},
      {L"   ", L""},
      {L"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(layerPatternList(c.typed), c.list) << toUtf8(c.typed);
  }
}

TEST_F(AcquireTest, ABlankAfterTheCommaNoLongerStopsTheSecondPatternFromExcluding) {
  TTableDrawing{}.draw(cad);
  cad.addLine({0, 0, 0}, {0, 50, 0}, L"HOJO1");
  cad.addText(L"note", {1, 1, 0}, 0, {0, 0, 0}, L"JOGAI-X");
  for (const wchar_t* typed : {L"HOJO*, JOGAI*", L"HOJO*\u3001JOGAI*"}) {
    SCOPED_TRACE(toUtf8(typed));
    form->Edit2.setText(typed);
    form->Button1.Click();
    EXPECT_EQ(cad.lastFilterValues[2], L"HOJO*,JOGAI*");
    EXPECT_EQ(log().front(), L"Select = 13");
    EXPECT_EQ(form->table().TextAry.size(), 6u);
  }
}

TEST(AcquireSteps, SecondsWithThreeDecimals) {
  EXPECT_EQ(formatSeconds(156, L'.'), L"0.156 sec");
  EXPECT_EQ(formatSeconds(0, L'.'), L"0.000 sec");
  EXPECT_EQ(formatSeconds(61005, L','), L"61,005 sec");
}

TEST(AcquireSteps, TrimRemovesControlsAndBlanksOnly) {
  EXPECT_EQ(trimControls(L"\t\r\n A B \x1f"), L"A B");
  EXPECT_EQ(trimControls(L"\u3000X\u3000"), L"\u3000X\u3000");  // the ideographic space is kept
  EXPECT_EQ(trimControls(L" \t "), L"");
}

TEST(AcquireSteps, CadWindowHandleIsSignExtended) {
  EXPECT_EQ(cadWindowToWnd(0x2001), 0x2001u);
  EXPECT_EQ(cadWindowToWnd(-2), 0xFFFFFFFFFFFFFFFEull);
}

// ---- The fake CAD's filter, which the tests above rely on ----------------

TEST(FakeCadFilter, WildcardsAsTheCadMatchesThem) {
  EXPECT_TRUE(TFakeCad::wildcardMatch(L"LWPOLYLINE", L"TEXT,*LINE"));
  EXPECT_TRUE(TFakeCad::wildcardMatch(L"LINE", L"TEXT,*LINE"));
  EXPECT_TRUE(TFakeCad::wildcardMatch(L"text", L"TEXT,*LINE"));
  EXPECT_FALSE(TFakeCad::wildcardMatch(L"MTEXT", L"TEXT,*LINE"));
  EXPECT_FALSE(TFakeCad::wildcardMatch(L"LINES", L"TEXT,*LINE"));
  EXPECT_TRUE(TFakeCad::wildcardMatch(L"A1", L"@#"));
  EXPECT_FALSE(TFakeCad::wildcardMatch(L"AB", L"@#"));
  EXPECT_TRUE(TFakeCad::wildcardMatch(L"B", L"[A-C]"));
  EXPECT_FALSE(TFakeCad::wildcardMatch(L"B", L"[~A-C]"));
  EXPECT_TRUE(TFakeCad::wildcardMatch(L"X", L"~Y"));
  EXPECT_TRUE(TFakeCad::wildcardMatch(L"*", L"`*"));
  EXPECT_FALSE(TFakeCad::wildcardMatch(L"a", L"`*"));
  EXPECT_TRUE(TFakeCad::wildcardMatch(L"-", L"."));
  EXPECT_FALSE(TFakeCad::wildcardMatch(L"0", L""));
}

TEST(FakeCadFilter, TypeAndLayerWithNotBrackets) {
  TFakeEntity e;
  e.dxfName = L"LINE";
  e.layer = L"HOJO-2";
  const std::vector<std::int16_t> codes{0, -4, 8, -4};
  EXPECT_FALSE(TFakeCad::matchesFilter(e, codes, {L"TEXT,*LINE", L"<NOT", L"HOJO*,JOGAI*", L"NOT>"}));
  EXPECT_TRUE(TFakeCad::matchesFilter(e, codes, {L"TEXT,*LINE", L"<NOT", L"", L"NOT>"}));
  EXPECT_FALSE(TFakeCad::matchesFilter(e, {0}, {L"CIRCLE"}));
  EXPECT_TRUE(TFakeCad::matchesFilter(e, {-4, 0, 0, -4}, {L"<OR", L"CIRCLE", L"LINE", L"OR>"}));
  EXPECT_THROW(TFakeCad::matchesFilter(e, {-4, 8}, {L"<NOT", L"X"}), TAutomationError);
}

}  // namespace
