// Acquire on real drawings written by other CAD software, loaded with the
// stand-in CAD's reader into the fake CAD. These tests read ../shared/drawings
// beside the clone and skip when it is absent.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "app/morvane_form.h"
#include "drawing.h"
#include "fake_cad.h"
#include "fake_desktop.h"
#include "sheet/sheet_fill.h"

namespace {

std::string sharedDrawing(const std::string& name) {
  return (std::filesystem::path(MORVANE_SHARED_DRAWINGS) / name).string();
}

#define REQUIRE_SHARED_DRAWING(path) \
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "shared drawing absent: " << (path)

std::wstring hexHandle(std::uint64_t h) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring out;
  do {
    out.insert(out.begin(), kDigits[h & 0xF]);
    h >>= 4;
  } while (h != 0);
  return out;
}

TPoint3 point(const standin::Point& p) { return {p.x, p.y, p.z}; }

// Puts the drawing's model space into the fake CAD, entity by entity.
void loadInto(const standin::Drawing& drawing, TFakeCad& cad) {
  for (const standin::Entity& e : drawing.entities()) {
    std::size_t index = 0;
    if (e.type == "LINE") {
      index = cad.addLine(point(e.p1), point(e.p2), e.layer);
    } else if (e.type == "LWPOLYLINE") {
      std::vector<double> xy;
      for (const auto& [x, y] : e.vertices) {
        xy.push_back(x);
        xy.push_back(y);
      }
      index = cad.addPolyline(xy, e.closed, e.elevation, e.layer);
    } else if (e.type == "TEXT") {
      index = cad.addText(e.text, point(e.p1), e.alignment(), point(e.p2), e.layer, hexHandle(e.handle));
    } else {
      index = cad.addOther(e.objectName(), std::wstring(e.type.begin(), e.type.end()), e.layer);
    }
    cad.doc().entities[index].handle = hexHandle(e.handle);
  }
}

class AcquireDrawingTest : public ::testing::Test {
 protected:
  void acquire(const std::string& path) {
    standin::Drawing drawing;
    std::string error;
    ASSERT_TRUE(drawing.load(path, &error)) << error;
    loadInto(drawing, cad);
    addCadWindow(desktop, cad);
    form = std::make_unique<TMorvaneForm>(TMorvanePorts{desktop, cad, metrics});
    form->Button1.Click();
    ASSERT_TRUE(desktop.messages.empty()) << toUtf8(desktop.messages.front());
  }
  TFakeDesktop desktop;
  TFakeCad cad;
  TFakeTextMetrics metrics;
  std::unique_ptr<TMorvaneForm> form;
};

TEST_F(AcquireDrawingTest, ExplodedSevenCellTableWithItsMergedTitleRow) {
  const std::string path = sharedDrawing("exploded-table-7cells.dxf");
  REQUIRE_SHARED_DRAWING(path);
  acquire(path);
  // 4 horizontal rules, 2 full and 2 partial verticals; 7 centred texts.
  EXPECT_EQ(form->Memo1.Lines()[2], L"Line = 8, Text = 7");
  EXPECT_EQ(form->Memo1.Lines()[3], L"Yoko = 4, Tate = 4");
  const TStringGrid& g = form->StringGrid1;
  // The title spans the top row; its anchor, the row's centre, is in column 2.
  EXPECT_EQ(g.Cell(2, 1), L"Title");
  EXPECT_EQ(g.Tag(2, 1), 0x2F);
  EXPECT_EQ(g.Cell(1, 1), L"");
  EXPECT_EQ(g.Cell(3, 1), L"");
  const wchar_t* const body[2][3] = {{L"1", L"2", L"3"}, {L"4", L"5", L"6"}};
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 3; ++c) EXPECT_EQ(g.Cell(c + 1, r + 2), body[r][c]) << r << "," << c;
  }
  EXPECT_EQ(g.Tag(3, 3), 0x35);
  EXPECT_TRUE(form->Button2.Enabled());
  EXPECT_TRUE(form->CheckBox1.Enabled());
}

TEST_F(AcquireDrawingTest, ProcessSheetWithFloatNoiseAndDoubledRules) {
  const std::string path = sharedDrawing("qcad-tehnoloski_list-text.dxf");
  REQUIRE_SHARED_DRAWING(path);
  acquire(path);
  EXPECT_EQ(form->Memo1.Lines()[0], L"Select = 104");
  EXPECT_EQ(form->Memo1.Lines()[2], L"Line = 87, Text = 17");
  // Noise such as 20.99999999999997 merges with 21: boundaries stay apart
  // by more than the tolerance.
  for (std::size_t i = 1; i < form->table().bounds.cols().size(); ++i) {
    EXPECT_GT(form->table().bounds.cols()[i] - form->table().bounds.cols()[i - 1], 0.1);
  }
  for (std::size_t i = 1; i < form->table().bounds.rows().size(); ++i) {
    EXPECT_GT(form->table().bounds.rows()[i - 1] - form->table().bounds.rows()[i], 0.1);
  }
  // Every tagged cell shows the text whose handle it holds, and no text is
  // shown twice.
  std::set<std::int32_t> tags;
  const TStringGrid& g = form->StringGrid1;
  for (std::int32_t r = 1; r < g.RowCount(); ++r) {
    for (std::int32_t c = 1; c < g.ColCount(); ++c) {
      const std::int32_t tag = g.Tag(c, r);
      if (tag == 0) continue;
      EXPECT_TRUE(tags.insert(tag).second);
      bool found = false;
      for (const TMrvText& t : form->table().TextAry) {
        found = found || (handleToTag(t.sHandle) == tag && t.sText == g.Cell(c, r));
      }
      EXPECT_TRUE(found) << c << "," << r;
    }
  }
  EXPECT_FALSE(tags.empty());
}

}  // namespace
