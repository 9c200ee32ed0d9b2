// Acquire end to end inside one process: the form's Button1 with the real COM
// client and the real desktop port, against the stand-in CAD serving a drawing
// (the stand-in completes the on-screen selection by script). Checks the
// lists, the log lines, the sheet, and what the drawing's own ruling gives for
// the real drawings in ../shared/drawings.
#include <gtest/gtest.h>

#include <cstdio>
#include <cctype>
#include <map>
#include <regex>

#include "app/morvane_form.h"
#include "cad/win32/message_filter.h"
#include "standin_session.h"
#include "test_drawings.h"

namespace {

using standin_test::tempFile;
using test_drawings::TDxf;

// The real desktop, but message boxes are recorded instead of shown: a box
// would wait for a user who is not there.
class TQuietDesktop : public TDesktopWin32 {
 public:
  void showInformation(const std::wstring&, const std::wstring& text) override { boxes.push_back(text); }
  void showMessage(const std::wstring& text) override { boxes.push_back(text); }
  void showError(const std::wstring& text) override { boxes.push_back(text); }
  std::vector<std::wstring> boxes;
};

// Width in the sheet's font, roughly: the fill only needs a monotone measure.
class TFixedPitchMetrics : public TTextMetrics {
 public:
  int textWidth(const std::wstring& text) override { return static_cast<int>(text.size()) * 8; }
};

// A hidden top-level window standing in for the main window, so that
// minimising, restoring and bringing it to the top are real requests.
class TOwnWindow {
 public:
  TOwnWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MorvaneAcquireTestWindow";
    RegisterClassW(&wc);
    FWnd = CreateWindowExW(0, wc.lpszClassName, L"Morvane", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                           nullptr, wc.hInstance, nullptr);
  }
  TOwnWindow(const TOwnWindow&) = delete;
  TOwnWindow& operator=(const TOwnWindow&) = delete;
  ~TOwnWindow() { DestroyWindow(FWnd); }
  HWND get() const { return FWnd; }

 private:
  HWND FWnd = nullptr;
};

// The stand-in started with a drawing, the message filter registered as the
// program registers it, and a form wired to the real ports.
class TAcquireRun {
 public:
  bool start(const std::wstring& drawing, const std::vector<std::wstring>& extra = {}) {
    std::vector<std::wstring> args{drawing, L"--auto-select=all"};
    args.insert(args.end(), extra.begin(), extra.end());
    if (!cad.start(args)) return false;
    filter = makeMessageFilter();
    filter->RegisterFilter();
    form.Window.Handle = fromHwnd(own.get());
    return true;
  }
  // Presses 取得; the time it took in *elapsedMs.
  void acquire(DWORD* elapsedMs = nullptr) {
    const DWORD started = GetTickCount();
    form.Button1.Click();
    if (elapsedMs != nullptr) *elapsedMs = GetTickCount() - started;
  }
  ~TAcquireRun() {
    if (filter) filter->RevokeFilter();
  }

  TStandinSession cad;
  TQuietDesktop desktop;
  TComCadConnector connector;
  TFixedPitchMetrics metrics;
  TOwnWindow own;
  TComPtr<TMessageFilter> filter;
  TMorvaneForm form{TMorvanePorts{desktop, connector, metrics}};
};

struct TCellExpectation {
  int col;
  int row;
  const wchar_t* text;
  const wchar_t* handle;
};

struct TDrawingExpectation {
  const char* file;
  int selected;
  int lines;
  int texts;
  int yoko;
  int tate;
  std::vector<TCellExpectation> cells;
};

std::int32_t tagOf(const std::wstring& handle) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(std::wcstoul(handle.c_str(), nullptr, 16)));
}

bool isTimeLine(const std::wstring& line) {
  static const std::wregex pattern(L"[0-9]+[.,][0-9]{3} sec");
  return std::regex_match(line, pattern);
}

// Every data cell of the sheet: the expected ones hold their text and tag,
// all others are empty with tag 0.
// Every text read is either shown in one cell or counted in the line that
// follows Acquire's own four, which is there exactly when a text is not shown.
void expectEveryTextAccountedFor(const std::vector<std::wstring>& log, std::size_t texts, const TStringGrid& grid) {
  std::size_t shown = 0;
  for (std::int32_t r = 1; r < grid.RowCount(); ++r) {
    for (std::int32_t c = 1; c < grid.ColCount(); ++c) shown += grid.Tag(c, r) != 0 ? 1 : 0;
  }
  if (shown == texts) {
    EXPECT_EQ(log.size(), 4u);
    return;
  }
  ASSERT_EQ(log.size(), 5u);
  const std::wstring count = L"表示されない文字 = " + std::to_wstring(texts - shown) + L" (";
  EXPECT_EQ(log[4].rfind(count, 0), 0u) << toUtf8(log[4]);
}

void expectSheet(const TStringGrid& grid, const std::vector<TCellExpectation>& cells) {
  std::map<std::pair<int, int>, const TCellExpectation*> byCell;
  for (const TCellExpectation& c : cells) byCell[{c.col, c.row}] = &c;
  for (std::int32_t r = 1; r < grid.RowCount(); ++r) {
    for (std::int32_t c = 1; c < grid.ColCount(); ++c) {
      const auto it = byCell.find({c, r});
      if (it == byCell.end()) {
        EXPECT_EQ(grid.Cell(c, r), L"") << "cell " << c << "," << r;
        EXPECT_EQ(grid.Tag(c, r), 0) << "cell " << c << "," << r;
      } else {
        EXPECT_EQ(grid.Cell(c, r), it->second->text) << "cell " << c << "," << r;
        EXPECT_EQ(grid.Tag(c, r), tagOf(it->second->handle)) << "cell " << c << "," << r;
      }
    }
  }
  for (std::int32_t c = 1; c < grid.ColCount(); ++c) EXPECT_EQ(grid.Cell(c, 0), std::to_wstring(c));
  for (std::int32_t r = 1; r < grid.RowCount(); ++r) EXPECT_EQ(grid.Cell(0, r), std::to_wstring(r));
}

std::wstring sharedDrawing(const char* file) {
#ifdef MORVANE_SHARED_DRAWINGS
  const std::wstring path = standin_test::hostPath(std::string(MORVANE_SHARED_DRAWINGS) + "/" + file);
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
#endif
  (void)file;
  return std::wstring();
}

// A 2 x 3 table: ruling from lines and a closed polyline frame, Japanese
// texts, one middle-centre text anchored at its alignment point, a text
// outside the table and a circle the filter leaves out.
TDxf smallTable() {
  TDxf dxf;
  dxf.polyline({{0, 0}, {90, 0}, {90, 20}, {0, 20}}, true);  // 100: frame, 4 segments
  dxf.line(0, 10, 0, 90, 10, 0);                             // 101: row boundary
  dxf.line(30, 0, 0, 30, 20, 0);                             // 102: column boundaries
  dxf.line(60, 0, 0, 60, 20, 0);                             // 103
  dxf.text("品名", 2, 13);                                    // 104: cell 1,1
  dxf.text("数量", 32, 13);                                   // 105: cell 2,1
  dxf.text("ボルト", 2, 3);                                    // 106: cell 1,2
  dxf.text("12", 40, 0.5, 1, 2, 45, 5);                       // 107: cell 2,2 by its alignment point
  dxf.text("外", 100, 5);                                      // 108: outside every cell
  dxf.circle(75, 5, 2);                                       // 109
  return dxf;
}

}  // namespace

TEST(AcquireIntegration, ReadsADrawnTableIntoListsLogAndSheet) {
  SKIP_WITHOUT_STANDIN();
  const std::wstring path = tempFile(L"acquire") + L".dxf";
  ASSERT_TRUE(smallTable().save(path));
  TAcquireRun run;
  ASSERT_TRUE(run.start(path));
  run.acquire();
  ASSERT_TRUE(run.desktop.boxes.empty()) << toUtf8(run.desktop.boxes.front());
  TMorvaneForm& form = run.form;

  const std::vector<std::wstring> log = form.Memo1.Lines();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0], L"Select = 9");
  EXPECT_EQ(log[4], L"表示されない文字 = 1 (表の外 = 1): 「外」");
  EXPECT_TRUE(isTimeLine(log[1])) << toUtf8(log[1]);
  EXPECT_EQ(log[2], L"Line = 7, Text = 5");
  EXPECT_EQ(log[3], L"Yoko = 3, Tate = 4");

  ASSERT_EQ(form.table().LineAry.size(), 7u);
  EXPECT_EQ(form.table().LineAry[3].st, (std::array<double, 3>{0, 20, 0}));  // the frame closes back to its start
  EXPECT_EQ(form.table().LineAry[3].ed, (std::array<double, 3>{0, 0, 0}));
  EXPECT_EQ(form.table().LineAry[6].st, (std::array<double, 3>{60, 0, 0}));
  ASSERT_EQ(form.table().TextAry.size(), 5u);
  EXPECT_EQ(form.table().TextAry[0].sText, L"品名");
  EXPECT_EQ(form.table().TextAry[0].sHandle, L"104");
  EXPECT_EQ(form.table().TextAry[0].code, 0);
  EXPECT_EQ(form.table().TextAry[0].base, (std::array<double, 3>{2, 13, 0}));
  EXPECT_EQ(form.table().TextAry[3].code, 10);
  EXPECT_EQ(form.table().TextAry[3].base, (std::array<double, 3>{45, 5, 0}));
  EXPECT_EQ(form.table().TextAry[4].sText, L"外");
  EXPECT_EQ(form.table().bounds.cols(), (TDblAry{0, 30, 60, 90}));
  EXPECT_EQ(form.table().bounds.rows(), (TDblAry{20, 10, 0}));

  ASSERT_EQ(form.StringGrid1.RowCount(), 3);
  ASSERT_EQ(form.StringGrid1.ColCount(), 4);
  expectSheet(form.StringGrid1, {{1, 1, L"品名", L"104"}, {2, 1, L"数量", L"105"}, {1, 2, L"ボルト", L"106"},
                                 {2, 2, L"12", L"107"}});
  EXPECT_TRUE(form.Button2.Enabled());
  EXPECT_TRUE(form.Button3.Enabled());
  EXPECT_EQ(form.Window.Caption(),
            std::wstring(kAppTitle) + L" [ nanoCAD 5 ] " + path.substr(path.find_last_of(L'\\') + 1));
  EXPECT_FALSE(IsIconic(run.own.get()));  // restored after the selection

  // "ssTemp" does not outlive the command.
  auto app = run.cad.connect();
  ASSERT_NE(app, nullptr);
  auto sets = app->ActiveDocument()->SelectionSets();
  for (std::int32_t i = 0; i < sets->Count(); ++i) EXPECT_NE(sets->Item(i)->Name(), L"ssTemp");
}

TEST(AcquireIntegration, AServerErrorWhileReadingIsShownAndTheSetIsStillDeleted) {
  SKIP_WITHOUT_STANDIN();
  const std::wstring path = tempFile(L"acquire-fail") + L".dxf";
  ASSERT_TRUE(smallTable().save(path));
  TAcquireRun run;
  ASSERT_TRUE(run.start(path, {L"--fail=TextString:文字列を読めません"}));
  run.acquire();
  ASSERT_EQ(run.desktop.boxes.size(), 1u);
  EXPECT_EQ(run.desktop.boxes[0], L"TextString: 文字列を読めません");
  EXPECT_FALSE(run.form.Button2.Enabled());
  auto app = run.cad.connect();
  ASSERT_NE(app, nullptr);
  auto sets = app->ActiveDocument()->SelectionSets();
  for (std::int32_t i = 0; i < sets->Count(); ++i) EXPECT_NE(sets->Item(i)->Name(), L"ssTemp");
}

// The cross-process calls Acquire makes per entity, from the stand-in's call
// log: after the selection every served call until the set is emptied belongs
// to one entity, starting with its Item.
TEST(AcquireIntegration, CallsPerEntityFromTheCallLog) {
  SKIP_WITHOUT_STANDIN();
  const std::wstring path = tempFile(L"acquire-calls") + L".dxf";
  ASSERT_TRUE(smallTable().save(path));
  const std::wstring logPath = tempFile(L"acquire-calls") + L".log";
  {
    TAcquireRun run;
    ASSERT_TRUE(run.start(path, {L"--call-log=" + logPath}));
    run.acquire();
    ASSERT_TRUE(run.desktop.boxes.empty());
    ASSERT_EQ(run.form.Memo1.Lines().size(), 5u);  // "外" lies outside the table
  }
  const std::vector<std::string> lines = standin_test::readLines(logPath);
  const auto select = std::find(lines.begin(), lines.end(), "SelectOnScreen");
  ASSERT_NE(select, lines.end());
  std::vector<std::vector<std::string>> entities;
  for (auto it = select + 1; it != lines.end() && *it != "Clear"; ++it) {
    if (*it == "Item") entities.emplace_back();
    if (!entities.empty()) entities.back().push_back(*it);
  }
  ASSERT_EQ(entities.size(), 9u);
  int lineCalls = 0, textCalls = 0, polylineCalls = 0, others = 0;
  for (const auto& calls : entities) {
    const auto has = [&](const char* m) { return std::find(calls.begin(), calls.end(), m) != calls.end(); };
    if (has("StartPoint")) {
      lineCalls = static_cast<int>(calls.size());
      EXPECT_EQ(calls, (std::vector<std::string>{"Item", "ObjectName", "StartPoint", "EndPoint"}));
    } else if (has("TextString")) {
      textCalls = static_cast<int>(calls.size());
      EXPECT_EQ(calls.size(), 6u);  // Item, ObjectName and the four properties Acquire keeps
    } else if (has("Coordinates")) {
      polylineCalls = static_cast<int>(calls.size());
      EXPECT_EQ(calls, (std::vector<std::string>{"Item", "ObjectName", "Coordinates", "Closed"}));
    } else {
      others = static_cast<int>(calls.size());
      EXPECT_EQ(calls, (std::vector<std::string>{"Item", "ObjectName"}));
    }
  }
  std::printf("[ figures  ] calls per entity: line %d, text %d, polyline %d, other kind %d; each but the other "
              "kind also queries its kind's interface once\n", lineCalls, textCalls, polylineCalls, others);
  std::printf("[ figures  ] calls of the whole Acquire: %d\n", static_cast<int>(lines.size()) - 1);
}

TEST(AcquireIntegration, TwoThousandEntitiesTimePerEntity) {
  SKIP_WITHOUT_STANDIN();
  // A table of 50 rows and 38 columns: 51 + 39 ruling lines, 1900 texts, and
  // ten vertical lines drawn twice: 2,000 entities.
  TDxf dxf;
  const int rows = 50, cols = 38;
  for (int r = 0; r <= rows; ++r) dxf.line(0, -10.0 * r, 0, 20.0 * cols, -10.0 * r, 0);
  for (int c = 0; c <= cols; ++c) dxf.line(20.0 * c, 0, 0, 20.0 * c, -10.0 * rows, 0);
  for (int c = 0; c < 10; ++c) dxf.line(20.0 * c, 0, 0, 20.0 * c, -10.0 * rows, 0);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) dxf.text(std::to_string(r) + "-" + std::to_string(c), 20.0 * c + 2, -10.0 * r - 7);
  }
  const std::wstring path = tempFile(L"acquire-2000") + L".dxf";
  ASSERT_TRUE(dxf.save(path));
  TAcquireRun run;
  ASSERT_TRUE(run.start(path));
  DWORD elapsed = 0;
  run.acquire(&elapsed);
  ASSERT_TRUE(run.desktop.boxes.empty()) << toUtf8(run.desktop.boxes.front());
  const std::vector<std::wstring> log = run.form.Memo1.Lines();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], L"Select = 2000");
  EXPECT_EQ(log[2], L"Line = 100, Text = 1900");
  EXPECT_EQ(log[3], L"Yoko = 51, Tate = 39");
  EXPECT_EQ(run.form.StringGrid1.Cell(38, 50), L"49-37");
  EXPECT_EQ(run.form.StringGrid1.Cell(1, 1), L"0-0");
  const double loopSeconds = std::wcstod(log[1].c_str(), nullptr);
  std::printf("[ figures  ] 2,000 entities: reading loop %s, %.2f ms per entity; whole command %lu ms\n",
              toUtf8(log[1]).c_str(), loopSeconds * 1000.0 / 2000.0, static_cast<unsigned long>(elapsed));
}

// The real drawings. Expected rows, columns and cells were worked out apart
// from this program, with python3-ezdxf 0.18 (tests/win32/derive_acquire_expectations.py):
// model-space TEXT and *LINE entities as the filter selects them, lines and
// lightweight-polyline segments for the ruling, start-point X of vertical and
// Y of horizontal lines merged under the tolerance 0.1, and each text placed
// in the cell strictly containing its anchor (the alignment point unless the
// text is left-aligned), \U+XXXX escapes decoded.
class AcquireSharedDrawing : public ::testing::TestWithParam<TDrawingExpectation> {};

TEST_P(AcquireSharedDrawing, GivesTheRowsAndColumnsItsRulingDraws) {
  SKIP_WITHOUT_STANDIN();
  const TDrawingExpectation& expected = GetParam();
  const std::wstring path = sharedDrawing(expected.file);
  if (path.empty()) GTEST_SKIP() << "this test reads ../shared/drawings/" << expected.file << ", which is absent";
  TAcquireRun run;
  ASSERT_TRUE(run.start(path));
  run.acquire();
  ASSERT_TRUE(run.desktop.boxes.empty()) << toUtf8(run.desktop.boxes.front());
  const std::vector<std::wstring> log = run.form.Memo1.Lines();
  ASSERT_GE(log.size(), 4u);
  expectEveryTextAccountedFor(log, static_cast<std::size_t>(expected.texts), run.form.StringGrid1);
  EXPECT_EQ(log[0], L"Select = " + std::to_wstring(expected.selected));
  EXPECT_EQ(log[2], L"Line = " + std::to_wstring(expected.lines) + L", Text = " + std::to_wstring(expected.texts));
  EXPECT_EQ(log[3], L"Yoko = " + std::to_wstring(expected.yoko) + L", Tate = " + std::to_wstring(expected.tate));
  ASSERT_EQ(run.form.StringGrid1.RowCount(), expected.yoko);
  ASSERT_EQ(run.form.StringGrid1.ColCount(), expected.tate);
  expectSheet(run.form.StringGrid1, expected.cells);
}

INSTANTIATE_TEST_SUITE_P(RealDrawings, AcquireSharedDrawing, ::testing::Values(
TDrawingExpectation{"exploded-table-7cells.dxf", 15, 8, 7, 4, 4, {
  {2, 1, L"Title", L"2F"},
  {1, 2, L"1", L"30"},
  {2, 2, L"2", L"31"},
  {3, 2, L"3", L"32"},
  {1, 3, L"4", L"33"},
  {2, 3, L"5", L"34"},
  {3, 3, L"6", L"35"},
}},
TDrawingExpectation{"exploded-table-20cells.dxf", 41, 21, 20, 11, 6, {
  {3, 1, L"Title", L"2F"},
  {1, 2, L"1", L"30"},
  {2, 2, L"10", L"31"},
  {1, 3, L"2", L"32"},
  {2, 3, L"11", L"33"},
  {1, 4, L"3", L"34"},
  {2, 4, L"12", L"35"},
  {1, 5, L"4", L"37"},
  {2, 5, L"13", L"38"},
  {1, 6, L"5", L"39"},
  {2, 6, L"14", L"3A"},
  {1, 7, L"6", L"3B"},
  {2, 7, L"15", L"3C"},
  {1, 8, L"7", L"3D"},
  {2, 8, L"16", L"3E"},
  {1, 9, L"8", L"3F"},
  {2, 9, L"17", L"40"},
  {1, 10, L"9", L"41"},
  {2, 10, L"line", L"42"},
}},
TDrawingExpectation{"qcad-tehnoloski_list-text.dxf", 104, 87, 17, 73, 12, {
  {1, 1, L"Razred", L"1000E"},
  {2, 1, L"Tehnološki list za izdelek", L"1000C"},
  {9, 1, L"Šola", L"1000D"},
  {2, 2, L"Datum", L"10010"},
  {4, 2, L"Ime in Priimek", L"10011"},
  {6, 2, L"Podpis", L"10012"},
  {7, 2, L"Ocena", L"10013"},
  {9, 2, L"Številka tehnološkega lista", L"1000F"},
  {1, 3, L"Izdelal", L"1000B"},
  {1, 4, L"Pregledal", L"1000A"},
  {8, 5, L"Gradivo", L"10017"},
  {2, 7, L"Kos.", L"10015"},
}}
), [](const ::testing::TestParamInfo<TDrawingExpectation>& info) {
  std::string name;
  for (const char* p = info.param.file; *p != '\0' && *p != '.'; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
});

namespace {

// A committed sample, its selection window and what its README gives for the log.
struct TSampleExpectation {
  const char* file;
  const char* sheet;  // the expected sheet as the clipboard gives it
  bool layerFilter;
  const wchar_t* window;
  int selected;
  int lines;
  int texts;
  int yoko;
  int tate;
};

std::wstring sampleFile(const char* name) {
#ifdef MORVANE_SAMPLES_DIR
  return standin_test::hostPath(std::string(MORVANE_SAMPLES_DIR) + "/" + name);
#else
  (void)name;
  return std::wstring();
#endif
}

// Rows split at CR LF, cells at TAB.
std::vector<std::vector<std::wstring>> tsvCells(const std::string& bytes) {
  std::vector<std::vector<std::wstring>> rows;
  const std::wstring text = fromUtf8(bytes);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    std::vector<std::wstring> row;
    const std::wstring line = text.substr(start, end - start);
    std::size_t cell = 0;
    for (;;) {
      const std::size_t tab = line.find(L'\t', cell);
      row.push_back(line.substr(cell, tab == std::wstring::npos ? std::wstring::npos : tab - cell));
      if (tab == std::wstring::npos) break;
      cell = tab + 1;
    }
    rows.push_back(row);
    start = end + 2;
  }
  return rows;
}

}  // namespace

// The samples' expected sheets are written by samples/make_samples.py from
// ezdxf's reading of each file, apart from this program.
class AcquireSample : public ::testing::TestWithParam<TSampleExpectation> {};

TEST_P(AcquireSample, ShowsTheSheetTheSampleDraws) {
  SKIP_WITHOUT_STANDIN();
  const TSampleExpectation& expected = GetParam();
  const std::string sheetBytes = standin_test::readFileBytes(sampleFile(expected.sheet));
  ASSERT_FALSE(sheetBytes.empty()) << "samples/" << expected.sheet << " is missing";
  const auto cells = tsvCells(sheetBytes);
  TAcquireRun run;
  ASSERT_TRUE(run.cad.start({sampleFile(expected.file), std::wstring(L"--auto-select=") + expected.window}));
  run.form.Window.Handle = fromHwnd(run.own.get());
  run.form.CheckBox5.setChecked(expected.layerFilter);
  run.form.Edit2.setText(L"HOJO*,JOGAI*");
  run.form.Edit1.setText(L"0.1");
  run.acquire();
  ASSERT_TRUE(run.desktop.boxes.empty()) << toUtf8(run.desktop.boxes.front());
  const std::vector<std::wstring> log = run.form.Memo1.Lines();
  ASSERT_GE(log.size(), 4u);
  expectEveryTextAccountedFor(log, static_cast<std::size_t>(expected.texts), run.form.StringGrid1);
  EXPECT_EQ(log[0], L"Select = " + std::to_wstring(expected.selected));
  EXPECT_EQ(log[2], L"Line = " + std::to_wstring(expected.lines) + L", Text = " + std::to_wstring(expected.texts));
  EXPECT_EQ(log[3], L"Yoko = " + std::to_wstring(expected.yoko) + L", Tate = " + std::to_wstring(expected.tate));
  const TStringGrid& grid = run.form.StringGrid1;
  ASSERT_EQ(static_cast<std::size_t>(grid.RowCount() - 1), cells.size());
  for (std::int32_t r = 1; r < grid.RowCount(); ++r) {
    const auto& row = cells[static_cast<std::size_t>(r - 1)];
    ASSERT_EQ(static_cast<std::size_t>(grid.ColCount() - 1), row.size()) << "row " << r;
    for (std::int32_t c = 1; c < grid.ColCount(); ++c) {
      EXPECT_EQ(grid.Cell(c, r), row[static_cast<std::size_t>(c - 1)]) << "cell " << c << "/" << r;
      EXPECT_EQ(grid.Tag(c, r) != 0, !grid.Cell(c, r).empty()) << "cell " << c << "/" << r;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, AcquireSample, ::testing::Values(
    TSampleExpectation{"parts_list.dxf", "parts_list.expected.tsv", true, L"window:5,139,175,203", 39, 13, 26, 8, 5},
    TSampleExpectation{"double_ruled.dxf", "double_ruled.expected.tsv", true, L"window:-5,55,115,105", 22, 14, 11, 5, 4},
    TSampleExpectation{"table_in_context.dxf", "table_in_context.expected.tsv", true, L"window:-5,45,165,105", 29, 11,
                       18, 6, 5},
    TSampleExpectation{"table_in_context.dxf", "table_in_context.unfiltered.tsv", false, L"window:-5,45,165,105", 32,
                       12, 20, 6, 6}),
    [](const ::testing::TestParamInfo<TSampleExpectation>& info) {
      std::string name;
      for (const char* p = info.param.sheet; *p != '\0' && *p != '.'; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name + (info.param.layerFilter ? "" : "_unfiltered");
    });
