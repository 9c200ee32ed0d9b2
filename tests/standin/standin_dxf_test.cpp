// The stand-in CAD's drawing model: reading, editing and writing DXF.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "drawing.h"
#include "standin_test_files.h"

namespace {

using standin::Drawing;
using standin::Entity;
using namespace standin_test;

const TGroups kLine = {{0, "LINE"}, {5, "20"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "TABLE"}, {100, "AcDbLine"},
                       {10, "1.5"}, {20, "2.5"}, {30, "0.25"}, {11, "101.5"}, {21, "2.5"}, {31, "0.75"}};
const TGroups kPolyline = {{0, "LWPOLYLINE"}, {5, "21"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "TABLE"},
                           {100, "AcDbPolyline"}, {90, "4"}, {70, "1"}, {38, "3.0"},
                           {10, "0.0"}, {20, "0.0"}, {10, "100.0"}, {20, "0.0"}, {42, "0.5"},
                           {10, "100.0"}, {20, "50.0"}, {10, "0.0"}, {20, "50.0"}};
const TGroups kText = {{0, "TEXT"}, {5, "22"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "TEXT"}, {62, "3"},
                       {100, "AcDbText"}, {10, "10.0"}, {20, "20.0"}, {30, "0.0"}, {40, "3.5"}, {1, "Hello"},
                       {50, "30.0"}, {41, "0.8"}, {7, "MINCHO"}, {72, "2"}, {11, "50.0"}, {21, "20.0"},
                       {31, "0.0"}, {100, "AcDbText"}, {73, "2"}, {1001, "MORVANE_TEST"}, {1000, "kept"}};
const TGroups kCircle = {{0, "CIRCLE"}, {5, "23"}, {102, "{ACAD_REACTORS"}, {330, "9F"}, {102, "}"},
                         {330, "1F"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbCircle"},
                         {10, "5.0"}, {20, "5.0"}, {30, "0.0"}, {40, "2.0"}};
const TGroups kPaperText = {{0, "TEXT"}, {5, "25"}, {330, "1B"}, {100, "AcDbEntity"}, {67, "1"}, {8, "0"},
                            {100, "AcDbText"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "2.5"},
                            {1, "paper"}, {100, "AcDbText"}};
const TGroups kOldPolyline = {{0, "POLYLINE"}, {5, "26"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "0"},
                              {100, "AcDb2dPolyline"}, {66, "1"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {70, "0"},
                              {0, "VERTEX"}, {5, "27"}, {330, "26"}, {100, "AcDbEntity"}, {8, "0"},
                              {100, "AcDbVertex"}, {100, "AcDb2dVertex"}, {10, "1.0"}, {20, "2.0"}, {30, "0.0"},
                              {0, "VERTEX"}, {5, "28"}, {330, "26"}, {100, "AcDbEntity"}, {8, "0"},
                              {100, "AcDbVertex"}, {100, "AcDb2dVertex"}, {10, "3.0"}, {20, "4.0"}, {30, "0.0"},
                              {0, "SEQEND"}, {5, "29"}, {330, "26"}, {100, "AcDbEntity"}, {8, "0"}};

TGroups r2000Drawing(const std::string& seed = "40") {
  return drawingGroups("AC1015", "ANSI_1252", seed,
                       concat({kLine, kPolyline, kText, kCircle, kPaperText, kOldPolyline}), "9F");
}

Drawing loaded(const std::string& path) {
  Drawing d;
  std::string error;
  EXPECT_TRUE(d.load(path, &error)) << error;
  return d;
}

const Entity& only(const Drawing& d, std::uint64_t handle) {
  const Entity* e = d.byHandle(handle);
  EXPECT_NE(e, nullptr) << std::hex << handle;
  static const Entity kNone;
  return e != nullptr ? *e : kNone;
}

// The groups between "0 TYPE" of the entity with that handle and the next entity.
TGroups entityGroupsInFile(const std::string& bytes, const std::string& handle) {
  Drawing d;
  TTempDir dir;
  writeFile(dir.file("x.dxf"), bytes);
  std::string error;
  if (!d.load(dir.file("x.dxf"), &error)) return {};
  std::uint64_t h = std::stoull(handle, nullptr, 16);
  const Entity* e = d.byHandle(h);
  return e != nullptr ? e->groups : TGroups{};
}

TEST(StandinDxfRead, LineFieldsWithAllThreeCoordinates) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing()));
  const Drawing d = loaded(dir.file("a.dxf"));
  const Entity& line = only(d, 0x20);
  EXPECT_EQ(line.type, "LINE");
  EXPECT_EQ(line.layer, L"TABLE");
  EXPECT_DOUBLE_EQ(line.p1.x, 1.5);
  EXPECT_DOUBLE_EQ(line.p1.y, 2.5);
  EXPECT_DOUBLE_EQ(line.p1.z, 0.25);
  EXPECT_DOUBLE_EQ(line.p2.x, 101.5);
  EXPECT_DOUBLE_EQ(line.p2.y, 2.5);
  EXPECT_DOUBLE_EQ(line.p2.z, 0.75);
  EXPECT_EQ(line.objectName(), L"AcDbLine");
}

TEST(StandinDxfRead, LightweightPolylineVerticesClosedFlagAndElevation) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing()));
  const Drawing d = loaded(dir.file("a.dxf"));
  const Entity& p = only(d, 0x21);
  ASSERT_EQ(p.vertices.size(), 4u);
  EXPECT_EQ(p.vertices[1], std::make_pair(100.0, 0.0));
  EXPECT_EQ(p.vertices[2], std::make_pair(100.0, 50.0));
  EXPECT_EQ(p.vertices[3], std::make_pair(0.0, 50.0));
  EXPECT_TRUE(p.closed);
  EXPECT_DOUBLE_EQ(p.elevation, 3.0);
  EXPECT_EQ(p.objectName(), L"AcDbPolyline");
}

TEST(StandinDxfRead, TextFieldsIncludingBothSubclassParts) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing()));
  const Drawing d = loaded(dir.file("a.dxf"));
  const Entity& t = only(d, 0x22);
  EXPECT_EQ(t.text, L"Hello");
  EXPECT_EQ(t.layer, L"TEXT");
  EXPECT_EQ(t.style, L"MINCHO");
  EXPECT_DOUBLE_EQ(t.p1.x, 10);
  EXPECT_DOUBLE_EQ(t.p1.y, 20);
  EXPECT_DOUBLE_EQ(t.p2.x, 50);
  EXPECT_DOUBLE_EQ(t.height, 3.5);
  EXPECT_DOUBLE_EQ(t.rotation, 30);
  EXPECT_DOUBLE_EQ(t.widthFactor, 0.8);
  EXPECT_EQ(t.halign, 2);
  EXPECT_EQ(t.valign, 2);
  EXPECT_EQ(t.alignment(), 11);  // middle right
  EXPECT_EQ(t.objectName(), L"AcDbText");
}

TEST(StandinDxfRead, PaperSpaceIsKeptButNotInModelSpace) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing()));
  Drawing d = loaded(dir.file("a.dxf"));
  const auto& model = d.entities();
  EXPECT_TRUE(std::none_of(model.begin(), model.end(), [](const Entity& e) { return e.handle == 0x25; }));
  ASSERT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  EXPECT_NE(readFile(dir.file("b.dxf")).find("paper"), std::string::npos);
}

TEST(StandinDxfRead, PolylineWithVerticesIsOneEntity) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing()));
  const Drawing d = loaded(dir.file("a.dxf"));
  ASSERT_EQ(d.entities().size(), 5u);  // LINE, LWPOLYLINE, TEXT, CIRCLE, POLYLINE
  const Entity& p = only(d, 0x26);
  EXPECT_EQ(p.objectName(), L"AcDb2dPolyline");
  ASSERT_EQ(p.vertices.size(), 2u);
  EXPECT_EQ(p.vertices[1], std::make_pair(3.0, 4.0));
  EXPECT_EQ(d.byHandle(0x27), nullptr);  // vertices are not entities of their own
}

TEST(StandinDxfRead, LayersAndVersion) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing()));
  const Drawing d = loaded(dir.file("a.dxf"));
  EXPECT_EQ(d.version(), "AC1015");
  EXPECT_EQ(d.layers(), (std::vector<std::wstring>{L"0", L"TABLE"}));
  EXPECT_EQ(d.name(), L"a.dxf");
}

TEST(StandinDxfRead, LineFeedOnlyFilesReadAndStayLineFeedOnly) {
  TTempDir dir;
  const std::string bytes = dxfText(r2000Drawing("A0"), "\n");
  writeFile(dir.file("a.dxf"), bytes);
  Drawing d = loaded(dir.file("a.dxf"));
  EXPECT_EQ(only(d, 0x22).text, L"Hello");
  ASSERT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  EXPECT_EQ(readFile(dir.file("b.dxf")), bytes);
}

TEST(StandinDxfRead, BrokenFilesFailWithAReasonAndLeaveTheDrawingEmpty) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing()));
  Drawing d = loaded(dir.file("a.dxf"));
  ASSERT_FALSE(d.entities().empty());

  std::string error;
  EXPECT_FALSE(d.load(dir.file("missing.dxf"), &error));
  EXPECT_NE(error.find("missing.dxf"), std::string::npos);
  EXPECT_TRUE(d.entities().empty());

  writeFile(dir.file("text.dxf"), "hello\nworld\n");
  error.clear();
  EXPECT_FALSE(d.load(dir.file("text.dxf"), &error));
  EXPECT_FALSE(error.empty());

  writeFile(dir.file("open.dxf"), dxfText({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {5, "1"}}));
  error.clear();
  EXPECT_FALSE(d.load(dir.file("open.dxf"), &error));
  EXPECT_NE(error.find("not closed"), std::string::npos);

  writeFile(dir.file("odd.dxf"), "  0\nSECTION\n  2\n");
  EXPECT_FALSE(d.load(dir.file("odd.dxf"), nullptr));  // no error string wanted: must not crash either
  EXPECT_TRUE(d.entities().empty());
}

TEST(StandinDxfWrite, UnchangedDrawingIsWrittenByteForByte) {
  TTempDir dir;
  const std::string bytes = dxfText(r2000Drawing("A0"));
  writeFile(dir.file("a.dxf"), bytes);
  const Drawing d = loaded(dir.file("a.dxf"));
  ASSERT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  EXPECT_EQ(readFile(dir.file("b.dxf")), bytes);
}

TEST(StandinDxfWrite, EntitiesNotEditedKeepTheirGroupsWhenOthersChange) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing()));
  Drawing d = loaded(dir.file("a.dxf"));
  d.byHandle(0x20)->p2.x = 7;
  d.byHandle(0x20)->modified = true;
  ASSERT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  const std::string saved = readFile(dir.file("b.dxf"));
  EXPECT_EQ(entityGroupsInFile(saved, "23"), kCircle);
  EXPECT_EQ(entityGroupsInFile(saved, "26"), kOldPolyline);
  EXPECT_EQ(entityGroupsInFile(saved, "22"), kText);
  const Drawing again = loaded(dir.file("b.dxf"));
  EXPECT_DOUBLE_EQ(only(again, 0x20).p2.x, 7);
  EXPECT_DOUBLE_EQ(only(again, 0x20).p1.z, 0.25);
}

TEST(StandinDxfWrite, ModifiedTextIsRegeneratedWithSubclassMarkersColourAndExtendedData) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing()));
  Drawing d = loaded(dir.file("a.dxf"));
  Entity& t = *d.byHandle(0x22);
  t.text = L"World";
  t.setAlignment(10);  // middle centre
  t.p2 = {60, 25, 0};
  t.modified = true;
  ASSERT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  const TGroups groups = entityGroupsInFile(readFile(dir.file("b.dxf")), "22");
  const TGroups expected = {{0, "TEXT"}, {5, "22"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "TEXT"}, {62, "3"},
                            {100, "AcDbText"}, {10, "10.0"}, {20, "20.0"}, {30, "0.0"}, {40, "3.5"},
                            {1, "World"}, {50, "30.0"}, {41, "0.8"}, {7, "MINCHO"}, {72, "1"},
                            {11, "60.0"}, {21, "25.0"}, {31, "0.0"}, {100, "AcDbText"}, {73, "2"},
                            {1001, "MORVANE_TEST"}, {1000, "kept"}};
  EXPECT_EQ(groups, expected);
}

TEST(StandinDxfWrite, ModifiedTextInR12FileHasNoSubclassMarkers) {
  TTempDir dir;
  const TGroups text = {{0, "TEXT"}, {5, "30"}, {8, "0"}, {10, "1.0"}, {20, "2.0"}, {30, "0.0"},
                        {40, "2.5"}, {1, "old"}};
  writeFile(dir.file("a.dxf"), dxfText(drawingGroups("AC1009", "ANSI_1252", "40", text)));
  Drawing d = loaded(dir.file("a.dxf"));
  Entity& t = *d.byHandle(0x30);
  t.text = L"new";
  t.setAlignment(2);
  t.p2 = {9, 2, 0};
  t.modified = true;
  ASSERT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  const TGroups expected = {{0, "TEXT"}, {5, "30"}, {8, "0"}, {10, "1.0"}, {20, "2.0"}, {30, "0.0"},
                            {40, "2.5"}, {1, "new"}, {72, "2"}, {11, "9.0"},
                            {21, "2.0"}, {31, "0.0"}};
  EXPECT_EQ(entityGroupsInFile(readFile(dir.file("b.dxf")), "30"), expected);
}

TEST(StandinDxfWrite, ModifiedPolylineKeepsBulgesWhileItsVertexCountStays) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing()));
  Drawing d = loaded(dir.file("a.dxf"));
  Entity& p = *d.byHandle(0x21);
  p.vertices[2].first = 120;
  p.modified = true;
  ASSERT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  TGroups groups = entityGroupsInFile(readFile(dir.file("b.dxf")), "21");
  const auto bulge = std::find(groups.begin(), groups.end(), std::make_pair(42, std::string("0.5")));
  ASSERT_NE(bulge, groups.end());
  EXPECT_EQ(*(bulge - 2), std::make_pair(10, std::string("100.0")));  // still after the second vertex
  EXPECT_NE(std::find(groups.begin(), groups.end(), std::make_pair(10, std::string("120.0"))), groups.end());

  p.closed = false;
  p.vertices.pop_back();
  ASSERT_TRUE(d.save(dir.file("c.dxf"), nullptr));
  const Drawing again = loaded(dir.file("c.dxf"));
  EXPECT_FALSE(only(again, 0x21).closed);
  EXPECT_EQ(only(again, 0x21).vertices.size(), 3u);
  groups = entityGroupsInFile(readFile(dir.file("c.dxf")), "21");
  EXPECT_EQ(std::count_if(groups.begin(), groups.end(), [](const auto& g) { return g.first == 42; }), 0);
}

TEST(StandinDxfEdit, CopyGetsAHandleAboveEveryHandleInUseAndRaisesTheSeed) {
  TTempDir dir;
  // The seed (40) is stale: the OBJECTS dictionary already has 9F.
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing("40")));
  Drawing d = loaded(dir.file("a.dxf"));
  const Entity& copy = d.addCopy(*d.byHandle(0x22));
  EXPECT_EQ(copy.handle, 0xA0u);
  EXPECT_EQ(copy.text, L"Hello");
  EXPECT_EQ(d.entities().back().handle, 0xA0u);
  const Entity& second = d.addCopy(d.entities().back());
  EXPECT_EQ(second.handle, 0xA1u);
  ASSERT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  const std::string saved = readFile(dir.file("b.dxf"));
  EXPECT_NE(saved.find("$HANDSEED\r\n  5\r\nA2\r\n"), std::string::npos);
  TGroups expected = kText;
  expected[1].second = "A0";
  EXPECT_EQ(entityGroupsInFile(saved, "A0"), expected);
}

TEST(StandinDxfEdit, CopyTakesTheSeedWhenItIsAboveEveryHandle) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing("200")));
  Drawing d = loaded(dir.file("a.dxf"));
  EXPECT_EQ(d.addCopy(*d.byHandle(0x20)).handle, 0x200u);
}

TEST(StandinDxfEdit, CopyDropsReactorsAndRenumbersItsVertices) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing()));
  Drawing d = loaded(dir.file("a.dxf"));
  const Entity circle = d.addCopy(*d.byHandle(0x23));
  EXPECT_EQ(std::count_if(circle.groups.begin(), circle.groups.end(), [](const auto& g) { return g.first == 102; }), 0);
  EXPECT_EQ(std::count(circle.groups.begin(), circle.groups.end(), std::make_pair(330, std::string("1F"))), 1);

  const Entity polyline = d.addCopy(*d.byHandle(0x26));
  // The copy, two vertices and the end marker: four new handles, owners following.
  EXPECT_EQ(polyline.handle, 0xA1u);
  const TGroups& g = polyline.groups;
  EXPECT_EQ(std::count(g.begin(), g.end(), std::make_pair(330, std::string("A1"))), 3);
  EXPECT_EQ(std::count(g.begin(), g.end(), std::make_pair(330, std::string("26"))), 0);
  EXPECT_EQ(std::count(g.begin(), g.end(), std::make_pair(5, std::string("A4"))), 1);
  EXPECT_EQ(d.addCopy(*d.byHandle(0x20)).handle, 0xA5u);
}

TEST(StandinDxfEdit, EraseRemovesTheEntityFromModelSpaceAndTheFile) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing()));
  Drawing d = loaded(dir.file("a.dxf"));
  EXPECT_TRUE(d.erase(0x22));
  EXPECT_FALSE(d.erase(0x22));
  EXPECT_FALSE(d.erase(0x25));  // paper space is not the model's to erase
  EXPECT_FALSE(d.erase(0x12345));
  EXPECT_EQ(d.byHandle(0x22), nullptr);
  EXPECT_EQ(d.entities().size(), 4u);
  ASSERT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  const std::string saved = readFile(dir.file("b.dxf"));
  EXPECT_EQ(saved.find("Hello"), std::string::npos);
  EXPECT_EQ(loaded(dir.file("b.dxf")).entities().size(), 4u);
}

TEST(StandinDxfEdit, EntitiesWithoutHandlesGetOnesTheFileThenKeeps) {
  TTempDir dir;
  const TGroups entities = {{0, "LINE"}, {8, "0"}, {10, "0.0"}, {20, "0.0"}, {11, "1.0"}, {21, "1.0"},
                            {0, "LINE"}, {8, "0"}, {10, "0.0"}, {20, "0.0"}, {11, "2.0"}, {21, "2.0"}};
  writeFile(dir.file("a.dxf"), dxfText({{0, "SECTION"}, {2, "ENTITIES"}}) + dxfText(entities) +
                                   dxfText({{0, "ENDSEC"}, {0, "EOF"}}));
  Drawing d = loaded(dir.file("a.dxf"));
  ASSERT_EQ(d.entities().size(), 2u);
  const std::uint64_t first = d.entities()[0].handle;
  const std::uint64_t second = d.entities()[1].handle;
  EXPECT_NE(first, 0u);
  EXPECT_NE(first, second);
  ASSERT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  const Drawing again = loaded(dir.file("b.dxf"));
  EXPECT_EQ(again.entities()[0].handle, first);
  EXPECT_EQ(again.entities()[1].handle, second);
  EXPECT_DOUBLE_EQ(again.entities()[1].p2.x, 2);
}

TEST(StandinDxfWrite, AnEmptyDrawingSavesAFileThatReadsBack) {
  TTempDir dir;
  Drawing d;
  EXPECT_EQ(d.version(), "AC1027");
  EXPECT_EQ(d.name(), L"Drawing1.dxf");
  EXPECT_TRUE(d.entities().empty());
  ASSERT_TRUE(d.save(dir.file("new.dxf"), nullptr));
  const Drawing again = loaded(dir.file("new.dxf"));
  EXPECT_EQ(again.version(), "AC1027");
  EXPECT_EQ(again.layers(), std::vector<std::wstring>{L"0"});
  EXPECT_TRUE(again.entities().empty());
  EXPECT_FALSE(again.extents().valid);
}

TEST(StandinDxfWrite, SavingIntoAMissingFolderFailsAndSaysWhere) {
  TTempDir dir;
  const Drawing d;
  std::string error;
  EXPECT_FALSE(d.save(dir.file("no/such/folder/x.dxf"), &error));
  EXPECT_NE(error.find("x.dxf"), std::string::npos);
}

TEST(StandinDxfWrite, AFailedSaveLeavesTheOldFileWhole) {
  TTempDir dir;
  const std::string bytes = dxfText(r2000Drawing("A0"));
  writeFile(dir.file("a.dxf"), bytes);
  Drawing d = loaded(dir.file("a.dxf"));
  d.erase(0x20);
  // The file the save writes first cannot be created: a folder holds its name.
  std::filesystem::create_directory(dir.file("a.dxf.tmp"));
  std::string error;
  EXPECT_FALSE(d.save(dir.file("a.dxf"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(readFile(dir.file("a.dxf")), bytes);
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("a.dxf.tmp")));  // not the saver's to remove
}

TEST(StandinDxfWrite, ExtentsCoverModelSpace) {
  TTempDir dir;
  writeFile(dir.file("a.dxf"), dxfText(r2000Drawing()));
  const Drawing d = loaded(dir.file("a.dxf"));
  const Drawing::Extents x = d.extents();
  ASSERT_TRUE(x.valid);
  EXPECT_DOUBLE_EQ(x.minx, 0);
  EXPECT_DOUBLE_EQ(x.miny, 0);
  EXPECT_DOUBLE_EQ(x.maxx, 101.5);
  EXPECT_GE(x.maxy, 50);
}

TEST(StandinEntity, AlignmentMapsBothWaysForEveryValue) {
  const std::pair<int, int> expected[15] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {0, 3}, {1, 3},
                                            {2, 3}, {0, 2}, {1, 2}, {2, 2}, {0, 1}, {1, 1}, {2, 1}};
  for (int a = 0; a < 15; ++a) {
    Entity e;
    e.setAlignment(a);
    EXPECT_EQ(std::make_pair(e.halign, e.valign), expected[a]) << a;
    EXPECT_EQ(e.alignment(), a);
  }
}

TEST(StandinEntity, AlignedMiddleAndFitIgnoreTheVerticalPart) {
  Entity e;
  e.halign = 4;
  e.valign = 2;
  EXPECT_EQ(e.alignment(), 4);
  e.halign = 5;
  e.valign = 1;
  EXPECT_EQ(e.alignment(), 5);
}

TEST(StandinEntity, OutOfRangeAlignmentIsLeftAlone) {
  Entity e;
  e.setAlignment(7);
  e.setAlignment(15);
  e.setAlignment(-1);
  EXPECT_EQ(e.alignment(), 7);
}

TEST(StandinEntity, ObjectNamesOfOtherTypes) {
  Entity e;
  e.type = "MTEXT";
  EXPECT_EQ(e.objectName(), L"AcDbMText");
  e.type = "INSERT";
  EXPECT_EQ(e.objectName(), L"AcDbBlockReference");
  e.type = "DIMENSION";
  e.groups = {{0, "DIMENSION"}, {70, "33"}};
  EXPECT_EQ(e.objectName(), L"AcDbAlignedDimension");
  e.type = "XLINE";
  EXPECT_EQ(e.objectName(), L"AcDbXline");
}

}  // namespace

namespace {

TEST(StandinDxfRead, HandlesGivenTwiceOrUnreadableAreReplaced) {
  TTempDir dir;
  // The second LINE repeats the first one's handle, the third repeats the LAYER
  // table's, the fourth has no hexadecimal number for one, the fifth has a
  // second group 5 (found by fuzzing: its handle changed with every save).
  const TGroups entities = {{0, "LINE"}, {5, "20"}, {8, "0"}, {10, "0.0"}, {20, "0.0"}, {11, "1.0"}, {21, "0.0"},
                            {0, "LINE"}, {5, "20"}, {8, "0"}, {10, "0.0"}, {20, "0.0"}, {11, "2.0"}, {21, "0.0"},
                            {0, "LINE"}, {5, "11"}, {8, "0"}, {10, "0.0"}, {20, "0.0"}, {11, "3.0"}, {21, "0.0"},
                            {0, "LINE"}, {5, "XYZ"}, {8, "0"}, {10, "0.0"}, {20, "0.0"}, {11, "4.0"}, {21, "0.0"},
                            {0, "LINE"}, {5, "25"}, {8, "0"}, {5, "0"}, {10, "0.0"}, {20, "0.0"}, {11, "5.0"}, {21, "0.0"}};
  writeFile(dir.file("a.dxf"), dxfText(drawingGroups("AC1009", "ANSI_1252", "30", entities)));
  Drawing d = loaded(dir.file("a.dxf"));
  ASSERT_EQ(d.entities().size(), 5u);
  EXPECT_EQ(d.entities()[4].handle, 0x25u);
  EXPECT_EQ(d.entities()[0].handle, 0x20u);
  EXPECT_EQ(d.entities()[1].handle, 0x30u);
  EXPECT_EQ(d.entities()[2].handle, 0x31u);
  EXPECT_EQ(d.entities()[3].handle, 0x32u);
  EXPECT_DOUBLE_EQ(only(d, 0x31).p2.x, 3);
  const TGroups& last = d.entities()[3].groups;
  EXPECT_EQ(std::count_if(last.begin(), last.end(), [](const auto& g) { return g.first == 5; }), 1);
  ASSERT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  const Drawing again = loaded(dir.file("b.dxf"));
  EXPECT_DOUBLE_EQ(only(again, 0x32).p2.x, 4);
  EXPECT_DOUBLE_EQ(only(again, 0x25).p2.x, 5);
}

// Damaged files, made deterministically from a good one: whatever the reader
// makes of them, it must neither crash nor read out of bounds (the native
// build runs under the address and undefined-behaviour sanitizers), and what
// it accepts it must be able to write and read again.
TEST(StandinDxfRead, DamagedFilesAreRejectedOrReadButNeverCrashTheReader) {
  TTempDir dir;
  const std::string good = dxfText(r2000Drawing());
  std::uint32_t state = 12345;
  auto next = [&state](std::uint32_t bound) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % bound;
  };
  int accepted = 0;
  int rejected = 0;
  for (int round = 0; round < 300; ++round) {
    std::string bytes = good;
    switch (round % 4) {
      case 0:
        bytes.resize(next(static_cast<std::uint32_t>(bytes.size())));
        break;
      case 1:
        for (int k = 0; k < 4; ++k) bytes[next(static_cast<std::uint32_t>(bytes.size()))] = static_cast<char>(next(256));
        break;
      case 2: {
        const std::size_t at = next(static_cast<std::uint32_t>(bytes.size()));
        const std::size_t line = bytes.find('\n', at);
        if (line != std::string::npos) bytes.erase(at, line - at + 1);
        break;
      }
      default: {
        const std::size_t at = next(static_cast<std::uint32_t>(bytes.size()));
        bytes.insert(at, "  0\r\nLWPOLYLINE\r\n 20\r\n1e999\r\n 10\r\n-\r\n");
        break;
      }
    }
    writeFile(dir.file("damaged.dxf"), bytes);
    Drawing d;
    std::string error;
    if (!d.load(dir.file("damaged.dxf"), &error)) {
      EXPECT_FALSE(error.empty()) << "round " << round;
      EXPECT_TRUE(d.entities().empty());
      ++rejected;
      continue;
    }
    ++accepted;
    for (auto& e : d.entities()) {
      (void)standin::entityBox(e);
      (void)e.objectName();
      e.modified = true;
    }
    ASSERT_TRUE(d.save(dir.file("again.dxf"), &error)) << "round " << round << ": " << error;
    Drawing again;
    EXPECT_TRUE(again.load(dir.file("again.dxf"), &error)) << "round " << round << ": " << error;
    EXPECT_EQ(again.entities().size(), d.entities().size()) << "round " << round;
  }
  EXPECT_GT(accepted, 0);
  EXPECT_GT(rejected, 0);
}

}  // namespace
