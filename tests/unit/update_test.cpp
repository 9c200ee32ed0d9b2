// Update against the fake CAD: a table is acquired, cells are edited, emptied
// and filled, and the fake drawing, TextAry, the cell tags and the log are
// checked, including runs that fail part-way and the run after them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "table/cell_tag.h"
#include "table/text_lookup.h"
#include "writeback/pending_cells.h"
#include "writeback/update.h"
#include "app/pending_look.h"
#include "platform/utf8.h"
#include "table_access.h"
#include "writeback_fixture.h"

namespace {

using UpdateTest = TWritebackTest;

TEST_F(UpdateTest, AnUnchangedSheetLogsThreeZerosWithoutTouchingATextAndEndsInFront) {
  acquire();
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 0, 追加 = 0, 削除 = 0"});
  EXPECT_EQ(writes(), 0);
  EXPECT_TRUE(cad.doc().undoMarks.empty());  // nothing written, no undo step
  EXPECT_EQ(cad.doc().regens, std::vector<std::int32_t>{0});
  EXPECT_TRUE(cad.doc().sentCommands.empty());
  EXPECT_EQ(form->ProgressBar1.Max(), kRows * kCols);
  EXPECT_EQ(form->ProgressBar1.Position(), 0);
  EXPECT_EQ(desktop.countOf("processMessages"), kRows * kCols);
  // The CAD came forward with an Escape, the own window went back in front last.
  const int esc = desktop.indexOf("keyEvent 27 down");
  ASSERT_GE(esc, 0);
  EXPECT_LT(desktop.indexOf("setForegroundWindow " + std::to_string(cad.mainWindow)), esc);
  EXPECT_EQ(lastBringToTop(), "bringWindowToTop " + std::to_string(kOwnWindow));
}

TEST_F(UpdateTest, EditsDeletionsAndAdditionsReachTheDrawingAndASecondRunWritesNothing) {
  acquire({{2, 1}, {2, 3}});
  const std::wstring caseOnly = handleOf(1, 1);
  const std::wstring trailing = handleOf(1, 2);
  const std::wstring emptied = handleOf(1, 3);
  const std::size_t records = form->table().TextAry.size();
  set(1, 1, L"R1C1");         // only the case differs
  set(1, 2, L"r2c1 ");        // only a trailing blank
  set(1, 3, L"");             // emptied
  set(2, 1, L"新規");          // row 1: its template comes from row 2
  set(2, 3, L"追加");          // row 3: the row-1 addition is no template, row 2 is
  set(3, 2, L"なし");          // column 3 has no template
  form->Button2.Click();

  EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 2, 追加 = 2, 削除 = 1"});
  EXPECT_EQ(entity(caseOnly)->text, L"R1C1");
  EXPECT_EQ(entity(trailing)->text, L"r2c1 ");
  EXPECT_EQ(entity(emptied), nullptr);
  EXPECT_EQ(grid().Tag(1, 3), 0);
  const TTextAry& texts = form->table().TextAry;
  EXPECT_EQ(texts[static_cast<std::size_t>(findTextByHandle(texts, trailing))].sText, L"r2c1 ");

  // Each new text: the template's layer and alignment, the template's offset in its own cell.
  const struct {
    int col, row;
    std::wstring text;
  } added[] = {{2, 1, L"新規"}, {2, 3, L"追加"}};
  for (const auto& a : added) {
    SCOPED_TRACE(toUtf8(a.text));
    const std::vector<const TFakeEntity*> made = liveTexts(a.text);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0]->layer, L"TXT");
    EXPECT_EQ(made[0]->alignment, 0);
    const TPoint3 expected{(a.col - 1) * kCellW + 2.0, kTop - (a.row - 1) * kCellH - 7.0, 0.0};
    EXPECT_EQ(made[0]->insertion, expected);
    EXPECT_EQ(grid().Tag(a.col, a.row), handleToTag(made[0]->handle));
    const int i = findTextByHandle(form->table().TextAry, made[0]->handle);
    ASSERT_GE(i, static_cast<int>(records));
    const TMrvText& record = form->table().TextAry[static_cast<std::size_t>(i)];
    EXPECT_EQ(record.base, expected);
    EXPECT_EQ(record.sText, a.text);
    EXPECT_EQ(record.objID, made[0]->objectId);
  }
  EXPECT_EQ(form->table().TextAry.size(), records + 2);
  EXPECT_TRUE(liveTexts(L"なし").empty());
  EXPECT_EQ(grid().Tag(3, 2), 0);
  EXPECT_EQ(grid().Cell(3, 2), L"なし");
  expectConsistent();

  cad.calls.clear();
  form->Memo1.clear();
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 0, 追加 = 0, 削除 = 0"});
  EXPECT_EQ(writes(), 0);

  // A new text's cell carries its handle: editing it again rewrites that text.
  set(2, 1, L"再編集");
  form->Memo1.clear();
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 1, 追加 = 0, 削除 = 0"});
  EXPECT_EQ(liveTexts(L"再編集").size(), 1u);
  EXPECT_TRUE(liveTexts(L"新規").empty());
}

// A column may mix TEXT and MTEXT. An MTEXT edit keeps the codes for the
// whole text and escapes what it writes; one whose content had inner codes is
// marked ahead and written all the same; an addition under an MTEXT template
// copies it with its codes and places it by its insertion point; a deletion
// erases it. Every MTEXT call is one an MTEXT has (no alignment), and the
// whole run is one undo step.
TEST_F(UpdateTest, AColumnMixingTextAndMTextIsWrittenWithTheCodesForTheWholeTextKept) {
  acquire({{2, 1}}, {{1, 2, L"\\H2;alpha"}, {1, 3, L"{\\fArial|b1;x\\Py}"}, {2, 2, L"\\H2.5;beta"}, {2, 4, L"a\\{b"}});
  EXPECT_EQ(grid().Cell(1, 3), L"x\ny");
  EXPECT_EQ(grid().Cell(2, 4), L"a{b");
  const std::wstring alpha = handleOf(1, 2);
  const std::wstring inner = handleOf(1, 3);
  set(1, 2, L"AL{PHA}");
  set(1, 3, L"xy");
  set(1, 4, L"");
  set(2, 1, L"new");
  set(2, 3, L"r3c2 edited");
  set(2, 4, L"");

  const TPendingCells& pending = form->table().pending;
  EXPECT_EQ(pending.kindOf(1, 2), TPending::Edit);
  EXPECT_EQ(pending.kindOf(1, 3), TPending::FormatReplaced);
  EXPECT_EQ(pending.kindOf(2, 1), TPending::Add);
  EXPECT_EQ(pending.kindOf(2, 4), TPending::Delete);
  EXPECT_EQ(pendingStatusText(pending.counts()), L"編集 2 / 追加 1 / 削除 2 / 不可 0 / 書式置換 1");
  const TCellLook look = form->StringGrid1DrawCell(1, 3, {40, 20, 100, 40}, {});
  EXPECT_TRUE(look.mark);
  EXPECT_EQ(look.markColor, kMarkFormatReplaced);
  EXPECT_EQ(look.markShape, TMarkShape::TopBar);

  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 3, 追加 = 1, 削除 = 2"});
  EXPECT_EQ(entity(alpha)->text, L"\\H2;AL\\{PHA\\}");
  EXPECT_EQ(entity(inner)->text, L"{\\fArial|b1;xy}");
  const TFakeEntity* made = entity(handleOf(2, 1));
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(made->isMText());
  EXPECT_EQ(made->text, L"\\H2.5;new");
  EXPECT_EQ(made->layer, L"TXT");
  EXPECT_EQ(made->insertion, (TPoint3{kCellW + 2.0, kTop - 7.0, 0.0}));
  EXPECT_EQ(entity(handleOf(2, 3))->text, L"r3c2 edited");
  EXPECT_EQ(grid().Tag(1, 4), 0);
  EXPECT_EQ(grid().Tag(2, 4), 0);
  const std::vector<std::wstring> expectedMTextCalls{
      // the addition in row 1, from the template in row 2
      L"MText.Copy", L"MText.setTextString \\H2.5;new", L"MText.setInsertionPoint", L"MText.ObjectID",
      L"MText.Handle", L"MText.TextString", L"MText.Update", L"MText.Update", L"MText.Handle",
      // the edit in row 2, checked against the string read first
      L"MText.TextString", L"MText.setTextString \\H2;AL\\{PHA\\}", L"MText.Update",
      // the edit that replaces the inner codes
      L"MText.TextString", L"MText.setTextString {\\fArial|b1;xy}", L"MText.Update",
      // the deletion in row 4
      L"MText.TextString", L"MText.Erase"};
  std::vector<std::wstring> mtextCalls;
  for (const std::wstring& call : cad.calls) {
    if (call.rfind(L"MText.", 0) == 0) mtextCalls.push_back(call);
  }
  EXPECT_EQ(mtextCalls, expectedMTextCalls);
  EXPECT_EQ(cad.doc().undoMarks, (std::vector<std::wstring>{L"start", L"end"}));
  expectConsistent();

  // The records follow what was written: nothing is pending, a second run
  // writes nothing, and the cell whose inner codes went is a plain edit now.
  EXPECT_EQ(pending.counts(), TPendingCounts{});
  cad.calls.clear();
  form->Memo1.clear();
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 0, 追加 = 0, 削除 = 0"});
  EXPECT_EQ(writes(), 0);
  set(1, 3, L"xyz");
  EXPECT_EQ(pending.kindOf(1, 3), TPending::Edit);
}

// What the drawing holds now decides: an MTEXT whose codes were changed in
// the CAD is changed though it shows the same, and a handle that yields the
// other kind of text than was read is no longer that text.
TEST_F(UpdateTest, AnMTextIsCheckedCodesAndAllAndNeverWrittenAsTheOtherKind) {
  acquire({}, {{1, 2, L"\\H2;alpha"}, {1, 3, L"beta"}});
  const std::wstring text = handleOf(1, 1);
  const std::wstring recoded = handleOf(1, 2);
  const std::wstring mtext = handleOf(1, 3);
  for (TFakeEntity& e : cad.doc().entities) {
    if (e.handle == recoded) e.text = L"\\H3;alpha";
    if (e.handle == text) e.objectName = L"AcDbMText";
    if (e.handle == mtext) e.objectName = L"AcDbText";
  }
  set(1, 1, L"one");
  set(1, 2, L"two");
  set(1, 3, L"three");
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines(), (std::vector<std::wstring>{L"[更新] 編集 = 0, 追加 = 0, 削除 = 0",
                                                            skippedLogLine(2), drawingChangedLogLine(1)}));
  EXPECT_EQ(entity(recoded)->text, L"\\H3;alpha");
  EXPECT_EQ(form->table().pending.kindOf(1, 2), TPending::DrawingChanged);
  for (const std::wstring& call : cad.calls) {
    EXPECT_EQ(call.find(L"setTextString"), std::wstring::npos) << toUtf8(call);
  }
}

TEST_F(UpdateTest, TemplatesSkipAnchorsOnABoundaryAndIncludeTextsAddedInTheSameRun) {
  // Column 2 holds texts in rows 1 and 4 only.
  acquire({{2, 2}, {2, 3}});
  // The row-4 text's anchor lies exactly on a column boundary: no template.
  const int onLine = findTextByHandle(form->table().TextAry, handleOf(2, 4));
  TTableAccess::of(*form).TextAry[static_cast<std::size_t>(onLine)].base[0] = kCellW;
  set(2, 2, L"a");
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines().back(), L"[更新] 編集 = 0, 追加 = 0, 削除 = 0");
  EXPECT_TRUE(liveTexts(L"a").empty());

  // Back inside its cell, it serves row 2, and row 2's new text serves row 3.
  TTableAccess::of(*form).TextAry[static_cast<std::size_t>(onLine)].base[0] = kCellW + 2.0;
  set(2, 3, L"b");
  cad.calls.clear();
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines().back(), L"[更新] 編集 = 0, 追加 = 2, 削除 = 0");
  std::vector<std::wstring> templates;
  for (const std::wstring& call : cad.calls) {
    if (call.rfind(L"Document.HandleToObject ", 0) == 0) templates.push_back(call.substr(24));
  }
  ASSERT_EQ(templates.size(), 2u);
  EXPECT_EQ(templates[0], form->table().TextAry[static_cast<std::size_t>(onLine)].sHandle);
  EXPECT_EQ(templates[1], handleOf(2, 2));
  EXPECT_EQ(liveTexts(L"b")[0]->insertion, (TPoint3{kCellW + 2.0, kTop - 2 * kCellH - 7.0, 0.0}));
}

TEST_F(UpdateTest, RegenIsSentAsACommandOnlyForAProgIdContainingPcadInAnyCase) {
  const struct {
    std::wstring progId;
    bool sent;
  } cases[] = {{L"BricscadApp.AcadApplication", false}, {L"PCAD.Application", true},
               {L"my.pCaD", true}, {L"P-CAD", false}};
  acquire();
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.progId));
    form->targetProgID = c.progId;
    cad.doc().sentCommands.clear();
    form->Button2.Click();
    EXPECT_EQ(cad.doc().sentCommands, c.sent ? std::vector<std::wstring>{L"REGEN\r"} : std::vector<std::wstring>{});
  }
}

// A CAD that spells its handles in lower case, or with leading zeros: each
// tagged cell still finds its text, for the marks, Update and Locate alike.
TEST_F(UpdateTest, HandlesSpelledOtherwiseAreTheSameHandles) {
  for (const int width : {0, 6}) {
    SCOPED_TRACE("handle width " + std::to_string(width));
    cad = TFakeCad();
    form = std::make_unique<TMorvaneForm>(TMorvanePorts{desktop, cad, metrics});
    form->Window.Handle = kOwnWindow;
    addCadWindow(desktop, cad);
    cad.doc().lowerCaseHandles = true;
    cad.doc().handleWidth = width;
    acquire({{2, 1}});
    ASSERT_NE(form->table().TextAry.back().sHandle, handleOf(2, 4));  // spelled otherwise than a tag's handle string
    const TTextAry& texts = form->table().TextAry;
    EXPECT_EQ(findTextByHandle(texts, handleOf(2, 4)), static_cast<int>(texts.size()) - 1);
    set(1, 1, L"edited");
    set(1, 3, L"");
    set(2, 1, L"added");
    EXPECT_EQ(form->table().pending.kindOf(1, 1), TPending::Edit);
    EXPECT_EQ(form->table().pending.kindOf(1, 3), TPending::Delete);
    EXPECT_EQ(form->table().pending.kindOf(2, 1), TPending::Add);
    form->Button2.Click();
    EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 1, 追加 = 1, 削除 = 1"});
    EXPECT_EQ(liveTexts(L"edited").size(), 1u);
    EXPECT_EQ(liveTexts(L"added").size(), 1u);
    EXPECT_TRUE(liveTexts(L"r3c1").empty());
    EXPECT_EQ(form->table().pending.kindOf(1, 1), TPending::None);
    form->Memo1.clear();
    form->Button2.Click();
    EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 0, 追加 = 0, 削除 = 0"});
  }
}

// Once the counts line is written the run is finished: a regeneration that
// fails afterwards stops nothing, and the log does not say it did.
TEST_F(UpdateTest, AFailingRegenerationAfterACompleteWalkLeavesTheCountsLineLast) {
  acquire();
  form->targetProgID = L"PCAD.Application";
  for (const wchar_t* operation : {L"Document.Regen", L"Document.SendCommand"}) {
    SCOPED_TRACE(toUtf8(operation));
    set(1, 1, std::wstring(L"edited by ") + operation);
    form->Memo1.clear();
    cad.failOn(operation, L"CAD が応答しません", 0, 1);
    form->Button2.Click();
    EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 1, 追加 = 0, 削除 = 0"});
    EXPECT_EQ(liveTexts(std::wstring(L"edited by ") + operation).size(), 1u);
    EXPECT_EQ(lastBringToTop(), "bringWindowToTop " + std::to_string(kOwnWindow));
    cad.clearFaults();
  }
}

TEST_F(UpdateTest, CellsWhoseTextOrTemplateWasErasedInTheDrawingAreSkippedAndCounted) {
  acquire({{2, 1}});
  const std::wstring gone = handleOf(1, 1);
  const std::wstring template2 = handleOf(2, 2);
  for (TFakeEntity& e : cad.doc().entities) {
    if (e.handle == gone || e.handle == template2) e.erased = true;
  }
  set(1, 1, L"edit of an erased text");
  set(2, 1, L"new in a column whose template was erased");
  set(1, 2, L"edited");
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines(),
            (std::vector<std::wstring>{L"[更新] 編集 = 1, 追加 = 0, 削除 = 0", skippedLogLine(2)}));
  EXPECT_EQ(liveTexts(L"new in a column whose template was erased").size(), 0u);
  EXPECT_EQ(grid().Tag(2, 1), 0);
  EXPECT_EQ(handleOf(1, 1), gone);
  const TTextAry& texts = form->table().TextAry;
  EXPECT_EQ(texts[static_cast<std::size_t>(findTextByHandle(texts, gone))].sText, L"r1c1");
}

// A run that stops part-way: what was written stays and is recorded, the log
// says the run stopped, and the next run writes exactly the rest.
TEST_F(UpdateTest, AFailurePartWayLeavesRecordsAndTagsTrueSoTheNextRunWritesTheRestOnce) {
  const struct {
    const wchar_t* operation;
    int skip;
    bool unreachable = false;
  } failures[] = {
      {L"Text.setTextString", 1},      // an addition's string, after its copy was made
      {L"Entity.asText", 2},           // an addition's copy, made but not to be had as a text
      {L"Text.Erase", 0},              // the deletion
      {L"Text.setInsertionPoint", 0},  // an addition's place
      {L"Text.Handle", 0},             // an addition's record
      {L"Text.Update", 1},             // an addition's redraw, after it was complete
      {L"Text.Update", 3},             // an edit's redraw, after its string was written
      // A lookup the CAD never answered (it ended, or turned the call away)
      // stops the run: the text is not known to be erased.
      {L"Document.HandleToObject", 1, true},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(toUtf8(f.operation) + " after " + std::to_string(f.skip));
    cad = TFakeCad();
    desktop.calls.clear();
    form = std::make_unique<TMorvaneForm>(TMorvanePorts{desktop, cad, metrics});
    form->Window.Handle = kOwnWindow;
    addCadWindow(desktop, cad);
    acquire({{2, 1}});
    set(1, 1, L"one");
    set(2, 1, L"two");
    set(1, 2, L"three");
    set(2, 2, L"");
    set(2, 3, L"four");

    cad.failOn(f.operation, L"CAD が応答しません", f.skip, 1, f.unreachable);
    form->Button2.Click();
    // One undo step in the CAD, closed also when the run stopped.
    EXPECT_EQ(cad.doc().undoMarks, (std::vector<std::wstring>{L"start", L"end"}));
    ASSERT_FALSE(form->Memo1.Lines().empty());
    EXPECT_EQ(form->Memo1.Lines().back(), stoppedLogLine(L"CAD が応答しません"));
    EXPECT_TRUE(desktop.messages.empty());
    expectConsistent();
    EXPECT_EQ(form->ProgressBar1.Position(), 0);
    EXPECT_EQ(lastBringToTop(), "bringWindowToTop " + std::to_string(kOwnWindow));

    cad.clearFaults();
    form->Button2.Click();
    expectConsistent();
    for (const wchar_t* text : {L"one", L"two", L"three", L"four"}) {
      EXPECT_EQ(liveTexts(text).size(), 1u) << toUtf8(text);
    }
    EXPECT_TRUE(liveTexts(L"r2c2").empty());  // the template erased, and no copy left with its string
    form->Memo1.clear();
    form->Button2.Click();
    EXPECT_EQ(form->Memo1.Lines().front(), L"[更新] 編集 = 0, 追加 = 0, 削除 = 0");
  }
}

TEST_F(UpdateTest, TheWritesOfOneRunAreOneUndoStepAndACadWithoutUndoMarksIsAskedOnce) {
  acquire({{2, 1}});
  set(1, 1, L"one");
  set(2, 1, L"two");
  set(1, 3, L"");
  cad.calls.clear();
  form->Button2.Click();
  EXPECT_EQ(cad.doc().undoMarks, (std::vector<std::wstring>{L"start", L"end"}));
  // The start mark before the first write, the end mark after the last.
  const auto at = [this](const std::wstring& call) {
    return std::find(cad.calls.begin(), cad.calls.end(), call) - cad.calls.begin();
  };
  EXPECT_LT(at(L"Document.StartUndoMark"), at(L"Text.setTextString one"));
  EXPECT_GT(at(L"Document.EndUndoMark"), at(L"Text.Erase"));
  EXPECT_LT(at(L"Document.EndUndoMark"), at(L"Document.Regen 0"));

  cad.lacksUndoMarks = true;
  set(1, 1, L"again");
  set(1, 2, L"and again");
  const int starts = cad.countOf(L"Document.StartUndoMark");
  form->Memo1.clear();
  form->Button2.Click();
  EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 2, 追加 = 0, 削除 = 0"});
  EXPECT_EQ(cad.countOf(L"Document.StartUndoMark"), starts + 1);
  EXPECT_EQ(cad.countOf(L"Document.EndUndoMark"), 1);
  EXPECT_EQ(liveTexts(L"and again").size(), 1u);
}

TEST_F(UpdateTest, ANewTextWhoseHandleDoesNotFitInACellTagIsErasedAndTheRunStops) {
  acquire({{2, 1}});
  cad.doc().nextHandle = 0x100000000LL;
  set(2, 1, L"too long");
  form->Button2.Click();
  ASSERT_EQ(form->Memo1.Lines().size(), 1u);
  EXPECT_NE(form->Memo1.Lines()[0].find(L"[更新] 途中で中断しました: "), std::wstring::npos);
  EXPECT_TRUE(liveTexts(L"too long").empty());
  EXPECT_TRUE(liveTexts(L"r2c2").size() == 1u);  // the template alone, no stray copy
  EXPECT_EQ(grid().Tag(2, 1), 0);
  EXPECT_EQ(findTextByHandle(form->table().TextAry, L"100000000"), -1);
}

TEST_F(UpdateTest, NoCadMeansNothingWrittenNothingLoggedAndTheOwnWindowInFront) {
  acquire();
  set(1, 1, L"x");
  desktop.windows.erase(static_cast<TWnd>(cad.mainWindow));
  form->Button2.Click();
  EXPECT_TRUE(form->Memo1.Lines().empty());
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(lastBringToTop(), "bringWindowToTop " + std::to_string(kOwnWindow));
}

TEST_F(UpdateTest, NoCommandStartsInsideUpdateAndACloseWaitsForItsEnd) {
  acquire();
  set(1, 1, L"x");
  int closes = 0;
  form->OnDeferredClose = [&] { ++closes; };
  int pumps = 0;
  desktop.onProcessMessages = [&] {
    if (++pumps != 2) return;
    form->Button2.Click();
    form->N6.Click();
    form->Button1.Click();
    EXPECT_FALSE(form->FormCloseQuery());
    EXPECT_EQ(closes, 0);
  };
  const int connects = cad.countOf(L"Connector.createApplication");
  form->N6.Click();
  EXPECT_EQ(cad.countOf(L"Connector.createApplication"), connects + 1);
  EXPECT_EQ(form->Memo1.Lines(), std::vector<std::wstring>{L"[更新] 編集 = 1, 追加 = 0, 削除 = 0"});
  EXPECT_EQ(closes, 1);
}

// The index Update keeps answers as the scan does, through blanks and appends.
TEST(TextIndexTest, FollowsTheListThroughBlanksAndAppendsAndKeepsTheFirstMatch) {
  TTextAry texts(5);
  const wchar_t* handles[] = {L"1A", L"2B", L"1A", L"0FF", L"ff"};
  for (std::size_t i = 0; i < texts.size(); ++i) texts[i].sHandle = handles[i];
  TTextIndex index(texts);
  const auto agrees = [&] {
    for (const wchar_t* h : {L"1A", L"2B", L"FF", L"0FF", L"ff", L"0", L"00", L"", L"3C", L"1a", L"x1A"}) {
      EXPECT_EQ(index.findTextByHandle(h), findTextByHandle(texts, h)) << toUtf8(h);
    }
  };
  agrees();
  EXPECT_EQ(index.findTag(0x1A), 0);
  index.blank(0);
  agrees();
  EXPECT_EQ(index.findTag(0x1A), 2);
  TMrvText added;
  added.sHandle = L"3C";
  index.append(added);
  agrees();
  EXPECT_EQ(index.findTag(0x3C), 5);
  EXPECT_EQ(index.findTag(0xFF), 3);  // "0FF" and "ff" are handle FF, however spelled
  index.blank(3);
  agrees();
  EXPECT_EQ(index.findTag(0xFF), 4);
  EXPECT_EQ(index.findTextByHandle(L"000ff"), 4);
  EXPECT_EQ(handleString(-1), L"FFFFFFFF");
  EXPECT_EQ(handleString(0), L"0");
}

}  // namespace
