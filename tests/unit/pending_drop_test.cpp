// Edits not yet written are never thrown away unasked: Acquire and the close
// ask while anything is pending, No leaves everything as it was, and with
// nothing pending nothing is asked. Commands that find no CAD say why in
// status panel 3 and nowhere else.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "writeback_fixture.h"

namespace {

class PendingDropTest : public TWritebackTest {
 protected:
  // What a user can see of the form, to compare before and after a "No".
  struct TSeen {
    std::vector<std::wstring> cells;
    std::vector<std::wstring> log;
    std::vector<std::wstring> panels;
    std::wstring caption;
    bool fixedRow = false;
    int undoEntries = 0;
    bool operator==(const TSeen&) const = default;
  };
  TSeen seen() {
    TSeen s;
    for (std::int32_t r = 0; r < grid().RowCount(); ++r) {
      for (std::int32_t c = 0; c < grid().ColCount(); ++c) s.cells.push_back(grid().Cell(c, r));
    }
    s.log = form->Memo1.Lines();
    for (int i = 0; i < TStatusBar::kPanels; ++i) s.panels.push_back(form->StatusBar1.Panel(i));
    s.caption = form->Window.Caption();
    s.fixedRow = form->CheckBox1.Checked();
    s.undoEntries = form->FUndoCells->Count();
    return s;
  }
  // Types into a cell as the editor does: recorded first, then written.
  void type(int c, int r, const std::wstring& text) {
    form->StringGrid1GetEditText(c, r);
    set(c, r, text);
  }
};

TEST_F(PendingDropTest, AcquireAsksWithTheTotalOfThePendingCountsAndNoLeavesEverythingAsItWas) {
  acquire();
  type(1, 1, L"EDITED");  // edit
  type(2, 2, L"");        // delete
  type(3, 1, L"x");       // column 3 has no texts: cannot be written, counted all the same
  form->CheckBox1.setChecked(true);
  form->showPendingCounts();
  ASSERT_EQ(form->StatusBar1.Panel(2), L"編集 1 / 追加 0 / 削除 1 / 不可 1");
  const TSeen before = seen();
  const int connects = cad.countOf(L"Connector.createApplication");
  const int selections = cad.countOf(L"SelectionSet.SelectOnScreen");

  desktop.answerYes = false;
  form->Button1.Click();
  EXPECT_EQ(desktop.questions, std::vector<std::wstring>{L"未更新の変更が 3 件あります。破棄しますか？"});
  EXPECT_EQ(seen(), before);
  EXPECT_TRUE(desktop.messages.empty());
  // The CAD was only reached for: no selection, no window moves, no Escape.
  EXPECT_EQ(cad.countOf(L"Connector.createApplication"), connects + 1);
  EXPECT_EQ(cad.countOf(L"SelectionSet.SelectOnScreen"), selections);
  EXPECT_EQ(desktop.countOf("minimizeWindow"), 0);
  EXPECT_EQ(desktop.countOf("keyEvent"), 0);

  // Yes: the Acquire runs as it always did and the edits are gone.
  desktop.answerYes = true;
  form->Button1.Click();
  EXPECT_EQ(desktop.questions.size(), 2u);
  EXPECT_EQ(grid().Cell(1, 1), L"r1c1");
  EXPECT_EQ(grid().Cell(2, 2), L"r2c2");
  EXPECT_EQ(grid().Cell(3, 1), L"");
  EXPECT_EQ(form->Memo1.Lines().back(), L"Yoko = 5, Tate = 4");
  EXPECT_FALSE(form->CheckBox1.Checked());
  EXPECT_EQ(form->table().pending.counts().total(), 0);
}

TEST_F(PendingDropTest, NothingPendingAsksNothingAnywhere) {
  acquire();
  // Typed and taken back to the drawing's text: nothing is pending.
  type(1, 1, L"EDITED");
  set(1, 1, L"r1c1");
  form->Button1.Click();
  EXPECT_EQ(form->Memo1.Lines().back(), L"Yoko = 5, Tate = 4");
  EXPECT_TRUE(form->FormCloseQuery());
  EXPECT_TRUE(desktop.questions.empty());
}

TEST_F(PendingDropTest, WithoutACadAcquireAsksNothingAndKeepsTheEdits) {
  acquire();
  type(1, 1, L"EDITED");
  desktop.windows.erase(static_cast<TWnd>(cad.mainWindow));
  form->Button1.Click();
  EXPECT_TRUE(desktop.questions.empty());
  EXPECT_EQ(grid().Cell(1, 1), L"EDITED");
  EXPECT_EQ(form->StatusBar1.Panel(kEndingPanel), L"nanoCAD 5 が見つかりません");
}

TEST_F(PendingDropTest, TheCloseAsksAndNoKeepsTheWindowWhileACommandPutsTheQuestionOff) {
  acquire();
  type(1, 1, L"EDITED");
  desktop.answerYes = false;
  EXPECT_FALSE(form->FormCloseQuery());
  EXPECT_EQ(desktop.questions, std::vector<std::wstring>{L"未更新の変更が 1 件あります。破棄しますか？"});
  EXPECT_EQ(grid().Cell(1, 1), L"EDITED");

  // A close during a command waits for its end, and is asked about then.
  int deferred = 0;
  form->OnDeferredClose = [&] { ++deferred; };
  form->runCommand([&] { EXPECT_FALSE(form->FormCloseQuery()); });
  EXPECT_EQ(deferred, 1);
  EXPECT_EQ(desktop.questions.size(), 1u);

  desktop.answerYes = true;
  EXPECT_TRUE(form->FormCloseQuery());
  EXPECT_EQ(desktop.questions.size(), 2u);
}

TEST_F(PendingDropTest, TheTextOfAnOpenEditorCounts) {
  acquire();
  grid().moveTo(1, 2);
  grid().setEditorMode(true);  // records the cell
  set(1, 2, L"typed so far");  // the editor writes each change into its cell
  desktop.answerYes = false;
  EXPECT_FALSE(form->FormCloseQuery());
  EXPECT_EQ(desktop.questions, std::vector<std::wstring>{L"未更新の変更が 1 件あります。破棄しますか？"});
  EXPECT_TRUE(grid().EditorMode());
}

// Status panel 3 says why a command that reached for the CAD found none,
// and is emptied by the next one that found it. No box, no log line.
TEST_F(PendingDropTest, CommandsThatFindNoCadSayWhyInPanelThreeOnly) {
  acquire();
  form->CheckBox6.setChecked(true);
  grid().moveTo(1, 1);
  const std::wstring noWindow = L"nanoCAD 5 が見つかりません";
  const std::wstring noServer = L"nanoCAD 5 に接続できません";
  const std::wstring noDrawing = L"nanoCAD 5 に開いている図面がありません";
  const TWnd cadWindow = static_cast<TWnd>(cad.mainWindow);
  const auto windowGone = [&] { desktop.windows.erase(cadWindow); };
  const auto windowBack = [&] { addCadWindow(desktop, cad); };
  const struct {
    const char* what;
    std::function<void()> arrange;
    std::function<void()> command;
    std::wstring panel;
  } cases[] = {
      {"Acquire, no window", windowGone, [&] { form->Button1.Click(); }, noWindow},
      {"Acquire again", windowBack, [&] { form->Button1.Click(); }, L""},
      {"Update, no window", windowGone, [&] { form->Button2.Click(); }, noWindow},
      {"Update, no server", [&] { windowBack(); cad.serverMissing = true; }, [&] { form->Button2.Click(); },
       noServer},
      {"Locate, no server", [] {}, [&] { form->StringGrid1Click(); }, noServer},
      {"Locate again", [&] { cad.serverMissing = false; }, [&] { form->StringGrid1Click(); }, L""},
      {"Acquire, no drawing", [&] { form->StatusBar1.setPanel(kEndingPanel, L"old"); cad.documents.clear(); },
       [&] { form->Button1.Click(); }, noDrawing},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    form->Memo1.clear();
    c.arrange();
    c.command();
    EXPECT_EQ(form->StatusBar1.Panel(kEndingPanel), c.panel);
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_TRUE(form->Memo1.Lines().empty() || c.panel.empty()) << toUtf8(form->Memo1.Lines().front());
  }
}

}  // namespace
