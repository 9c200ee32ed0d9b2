#pragma once
// A main window wired to the fake CAD and desktop with a drawn table already
// acquired, for the tests of Update and Locate.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/morvane_form.h"
#include "fake_cad.h"
#include "fake_desktop.h"
#include "table/text_lookup.h"

constexpr TWnd kOwnWindow = 0x3003;
constexpr double kTop = 100.0;
constexpr double kCellW = 20.0;
constexpr double kCellH = 10.0;
constexpr int kRows = 4;
constexpr int kCols = 3;

// A 4 x 3 table, cells 20 x 10 units, top-left at (0, 100). Texts "rRcC" on
// layer "TXT" sit 2 units right of and 7 below each cell's top-left corner,
// except where `empty` says: column 3 has none, so it has no template.
// A cell listed in `mtexts` holds an MTEXT of that string at the same place
// instead, read with the MTEXT option on.
struct TMTextCell {
  int col = 0;
  int row = 0;
  std::wstring source;
};

class TWritebackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    addCadWindow(desktop, cad);
    desktop.windows[kOwnWindow] = {L"Morvane", 1, false};
    desktop.foreground = kOwnWindow;
    form = std::make_unique<TMorvaneForm>(TMorvanePorts{desktop, cad, metrics});
    form->Window.Handle = kOwnWindow;
  }

  void acquire(const std::vector<std::pair<int, int>>& empty = {}, const std::vector<TMTextCell>& mtexts = {}) {
    for (int c = 0; c <= kCols; ++c) {
      cad.addLine({c * kCellW, kTop, 0.0}, {c * kCellW, kTop - kRows * kCellH, 0.0});
    }
    for (int r = 0; r <= kRows; ++r) {
      cad.addLine({0.0, kTop - r * kCellH, 0.0}, {kCols * kCellW, kTop - r * kCellH, 0.0});
    }
    for (int r = 1; r <= kRows; ++r) {
      for (int c = 1; c < kCols; ++c) {
        if (std::find(empty.begin(), empty.end(), std::make_pair(c, r)) != empty.end()) continue;
        const TPoint3 at{(c - 1) * kCellW + 2.0, kTop - (r - 1) * kCellH - 7.0, 0.0};
        const auto mtext = std::find_if(mtexts.begin(), mtexts.end(),
                                        [c, r](const TMTextCell& m) { return m.col == c && m.row == r; });
        if (mtext != mtexts.end()) {
          cad.addMText(mtext->source, at, L"TXT");
          continue;
        }
        cad.addText(L"r" + std::to_wstring(r) + L"c" + std::to_wstring(c), at, 0, {0.0, 0.0, 0.0}, L"TXT");
      }
    }
    if (!mtexts.empty()) form->MTEXT1.setChecked(true);
    form->Button1.Click();
    ASSERT_EQ(form->StringGrid1.RowCount(), kRows + 1);
    ASSERT_EQ(form->StringGrid1.ColCount(), kCols + 1);
    cad.calls.clear();
    desktop.calls.clear();
    form->Memo1.clear();
  }

  TStringGrid& grid() { return form->StringGrid1; }
  void set(int c, int r, const std::wstring& text) { grid().setCell(c, r, text); }
  std::wstring handleOf(int c, int r) { return handleString(grid().Tag(c, r)); }
  // The fake drawing's live text with this handle.
  const TFakeEntity* entity(const std::wstring& handle) {
    for (const TFakeEntity& e : cad.doc().entities) {
      if (!e.erased && e.handle == handle) return &e;
    }
    return nullptr;
  }
  std::vector<const TFakeEntity*> liveTexts(const std::wstring& text) {
    std::vector<const TFakeEntity*> out;
    for (const TFakeEntity& e : cad.doc().entities) {
      if (!e.erased && e.isText() && e.text == text) out.push_back(&e);
    }
    return out;
  }
  std::string lastBringToTop() const {
    for (auto it = desktop.calls.rbegin(); it != desktop.calls.rend(); ++it) {
      if (it->rfind("bringWindowToTop", 0) == 0) return *it;
    }
    return {};
  }
  int writes() const {
    int n = 0;
    for (const std::wstring& call : cad.calls) {
      n += call.rfind(L"Text.", 0) == 0 || call.rfind(L"Document.HandleToObject", 0) == 0 ? 1 : 0;
    }
    return n;
  }
  // TextAry and the tags describe the drawing: each tagged cell's record
  // names a live text holding the record's string (an MTEXT's with its
  // codes), and no live text made by Update lacks a cell.
  void expectConsistent() {
    for (int r = 1; r <= kRows; ++r) {
      for (int c = 1; c <= kCols; ++c) {
        const std::int32_t tag = grid().Tag(c, r);
        if (tag == 0) continue;
        const int i = findTextByHandle(form->table().TextAry, handleString(tag));
        ASSERT_GE(i, 0) << c << "," << r;
        const TFakeEntity* e = entity(form->table().TextAry[static_cast<std::size_t>(i)].sHandle);
        ASSERT_NE(e, nullptr) << c << "," << r;
        const TMrvText& record = form->table().TextAry[static_cast<std::size_t>(i)];
        EXPECT_EQ(e->isMText(), record.isMText) << c << "," << r;
        EXPECT_EQ(e->text, record.isMText ? record.sSource : record.sText) << c << "," << r;
      }
    }
  }

  TFakeDesktop desktop;
  TFakeCad cad;
  TFakeTextMetrics metrics;
  std::unique_ptr<TMorvaneForm> form;
};

