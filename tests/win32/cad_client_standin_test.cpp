// The COM client against the running stand-in CAD, across processes: every
// port operation, the selection with its filter, and the failure paths
// (failing, rejecting and unregistered servers, no document, a cancelled
// selection).
#include <gtest/gtest.h>

#include <algorithm>

#include "automation_message.h"
#include "cad/win32/message_filter.h"
#include "standin_session.h"
#include "test_drawings.h"

namespace {

using standin_test::tempFile;
using test_drawings::TDxf;

// A line, a closed and an open polyline, two texts (left-aligned and
// middle-centre) and a circle the filter leaves out; handles from 100.
TDxf kindsDrawing() {
  TDxf dxf;
  dxf.line(0, 0, 1.5, 100, 0, 2.5);                                  // 100
  dxf.polyline({{0, 0}, {100, 0}, {100, 30}, {0, 30}}, true, 7);      // 101
  dxf.text("品名", 5, 20);                                            // 102
  dxf.text("数量", 55, 20, 1, 2, 75, 15);                             // 103
  dxf.circle(50, 50, 5);                                             // 104
  dxf.polyline({{0, 10}, {50, 10}, {100, 10}}, false);               // 105
  return dxf;
}

std::wstring savedDrawing(const TDxf& dxf, const wchar_t* stem) {
  const std::wstring path = tempFile(stem) + L".dxf";
  EXPECT_TRUE(dxf.save(path));
  return path;
}

// Selects everything the Acquire filter lets through.
std::unique_ptr<TCadSelectionSet> selectAll(TCadDocument& doc) {
  auto set = doc.SelectionSets()->Add(L"ssTemp");
  set->SelectOnScreen({0}, {L"TEXT,*LINE"});
  return set;
}

// The stand-in CAD of one test. It closes when the test ends, after
// everything the test holds of it has been released.
class StandinCadClient : public ::testing::Test {
 protected:
  void SetUp() override { SKIP_WITHOUT_STANDIN(); }
  // The stand-in started with `args` and its application as Acquire obtains it.
  std::unique_ptr<TCadApplication> connected(const std::vector<std::wstring>& args) {
    return cad.start(args) ? cad.connect() : nullptr;
  }
  TStandinSession cad;
};

}  // namespace

TEST_F(StandinCadClient, ReadsEveryKindThroughThePorts) {
  const std::wstring path = savedDrawing(kindsDrawing(), L"kinds");
  const auto app = connected({path, L"--auto-select=all"});
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(app->windowHandle(), static_cast<std::int32_t>(reinterpret_cast<UINT_PTR>(cad.window())));
  EXPECT_EQ(app->DocumentsCount(), 1);
  auto doc = app->ActiveDocument();
  EXPECT_EQ(doc->Name(), path.substr(path.find_last_of(L'\\') + 1));
  auto set = selectAll(*doc);
  ASSERT_EQ(set->Count(), 5);  // the circle is filtered out

  std::vector<std::wstring> names;
  for (std::int32_t i = 0; i < set->Count(); ++i) names.push_back(set->Item(i)->ObjectName());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"AcDbLine", L"AcDbPolyline", L"AcDbText", L"AcDbText",
                                               L"AcDbPolyline"}));

  auto line = set->Item(0)->asLine();
  EXPECT_EQ(line->StartPoint(), (TPoint3{0, 0, 1.5}));
  EXPECT_EQ(line->EndPoint(), (TPoint3{100, 0, 2.5}));

  auto closed = set->Item(1)->asPolyline();
  EXPECT_EQ(closed->Coordinates(), (std::vector<double>{0, 0, 100, 0, 100, 30, 0, 30}));
  EXPECT_TRUE(closed->Closed());
  auto open = set->Item(4)->asPolyline();
  EXPECT_EQ(open->Coordinates(), (std::vector<double>{0, 10, 50, 10, 100, 10}));
  EXPECT_FALSE(open->Closed());

  auto left = set->Item(2)->asText();
  EXPECT_EQ(left->TextString(), L"品名");
  EXPECT_EQ(left->Handle(), L"102");
  EXPECT_EQ(left->Alignment(), 0);
  EXPECT_EQ(left->InsertionPoint(), (TPoint3{5, 20, 0}));
  auto centred = set->Item(3)->asText();
  EXPECT_EQ(centred->TextString(), L"数量");
  EXPECT_EQ(centred->Handle(), L"103");
  EXPECT_EQ(centred->Alignment(), 10);  // middle centre
  EXPECT_EQ(centred->TextAlignmentPoint(), (TPoint3{75, 15, 0}));
  EXPECT_NE(left->ObjectID(), centred->ObjectID());

  // Each entity answers only for its own kind.
  EXPECT_NE(messageOf([&] { set->Item(0)->asText(); }), L"<no error>");
  EXPECT_NE(messageOf([&] { set->Item(2)->asLine(); }), L"<no error>");
  EXPECT_NE(messageOf([&] { set->Item(1)->asLine(); }), L"<no error>");
  set->Clear();
  EXPECT_EQ(set->Count(), 0);
  set->Delete();
}

TEST_F(StandinCadClient, DocumentSelectionSetsAndTextWrites) {
  const std::wstring path = savedDrawing(kindsDrawing(), L"writes");
  const auto app = connected({path, L"--auto-select=all"});
  ASSERT_NE(app, nullptr);
  auto doc = app->ActiveDocument();
  EXPECT_GT(doc->GetVariable(L"VIEWSIZE"), 0.0);
  EXPECT_NE(doc->windowHandle(), 0);
  EXPECT_NO_THROW(doc->Regen(0));
  EXPECT_NO_THROW(doc->SendCommand(L"REGEN\r"));
  EXPECT_NO_THROW(app->ZoomWindow({0, 0, 0}, {50, 30, 0}));

  auto sets = doc->SelectionSets();
  const std::int32_t before = sets->Count();
  auto added = sets->Add(L"ssTemp");
  EXPECT_EQ(added->Name(), L"ssTemp");
  EXPECT_EQ(sets->Count(), before + 1);
  EXPECT_NE(messageOf([&] { sets->Add(L"ssTemp"); }), L"<no error>");  // the name exists
  bool found = false;
  for (std::int32_t i = 0; i < sets->Count(); ++i) found = found || sets->Item(i)->Name() == L"ssTemp";
  EXPECT_TRUE(found);
  added->Delete();
  EXPECT_EQ(sets->Count(), before);

  auto text = doc->HandleToObject(L"102");
  ASSERT_EQ(text->ObjectName(), L"AcDbText");
  auto t = text->asText();
  t->setTextString(L"ボルト Ｍ１２");
  EXPECT_EQ(doc->HandleToObject(L"102")->asText()->TextString(), L"ボルト Ｍ１２");
  t->setInsertionPoint({6, 21, 0});
  EXPECT_EQ(t->InsertionPoint(), (TPoint3{6, 21, 0}));
  auto centred = doc->HandleToObject(L"103")->asText();
  centred->setTextAlignmentPoint({80, 16, 0});
  EXPECT_EQ(centred->TextAlignmentPoint(), (TPoint3{80, 16, 0}));

  const std::unique_ptr<TCadEntity> made = t->Copy();
  auto copy = made->asText();
  const std::wstring copyHandle = copy->Handle();
  EXPECT_NE(copyHandle, L"102");
  EXPECT_EQ(copy->TextString(), L"ボルト Ｍ１２");
  EXPECT_EQ(copy->InsertionPoint(), (TPoint3{6, 21, 0}));
  copy->Update();
  made->Erase();  // through the entity the copy was handed out as
  // An erased or unknown handle is the server's error, with its own message.
  for (const std::wstring& gone : {copyHandle, std::wstring(L"FFFFF")}) {
    const std::wstring message = messageOf([&] { doc->HandleToObject(gone); });
    EXPECT_EQ(message.rfind(L"HandleToObject: ", 0), 0u) << toUtf8(message);
    EXPECT_GT(message.size(), std::wstring(L"HandleToObject: ").size()) << toUtf8(message);
  }
}

TEST_F(StandinCadClient, AFailingMemberRaisesTheServersMessage) {
  const std::wstring path = savedDrawing(kindsDrawing(), L"fail");
  const auto app = connected({path, L"--auto-select=all", L"--fail=TextString:文字列を読めません"});
  ASSERT_NE(app, nullptr);
  auto t = app->ActiveDocument()->HandleToObject(L"102")->asText();
  EXPECT_EQ(messageOf([&] { t->TextString(); }), L"TextString: 文字列を読めません");
  EXPECT_EQ(t->Handle(), L"102");  // other members still answer
}

TEST_F(StandinCadClient, CancelledSelectionIsAnError) {
  const std::wstring path = savedDrawing(kindsDrawing(), L"cancel");
  const auto app = connected({path, L"--auto-select=cancel"});
  ASSERT_NE(app, nullptr);
  auto set = app->ActiveDocument()->SelectionSets()->Add(L"ssTemp");
  const std::wstring message = messageOf([&] { set->SelectOnScreen({0}, {L"TEXT,*LINE"}); });
  EXPECT_NE(message, L"<no error>");
  EXPECT_EQ(set->Count(), 0);
  set->Delete();
}

TEST_F(StandinCadClient, NoDocumentOpen) {
  const auto app = connected({L"--no-document"});
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(app->DocumentsCount(), 0);
  EXPECT_NE(messageOf([&] { app->ActiveDocument(); }), L"<no error>");
}

TEST_F(StandinCadClient, AWindowWhoseProcessServesNothingFailsQuietly) {
  ASSERT_TRUE(cad.start({L"--no-register"}));
  EXPECT_NE(cad.desktop().findTopLevelWindow(kCadWindowTitle), 0u);
  std::unique_ptr<TCadApplication> app;
  EXPECT_NO_THROW(app = cad.connect());
  EXPECT_EQ(app, nullptr);
  cad.close();
}

// Under Wine the server's "retry later" never reaches the client's filter
// (the call simply runs); on Windows the filter retries it after 1000 ms.
// Either way, with the program's filter in place, every call succeeds with
// its right value and is served exactly once.
TEST_F(StandinCadClient, ARejectingServerStillAnswersEveryCallOnce) {
  const std::wstring log = tempFile(L"reject") + L".log";
  ASSERT_TRUE(cad.start({L"--reject-calls=2", L"--call-log=" + log}));
  TComPtr<TMessageFilter> filter = makeMessageFilter();
  ASSERT_EQ(filter->RegisterFilter(), S_OK);
  {
    auto app = cad.connect();
    ASSERT_NE(app, nullptr);
    const auto expected = static_cast<std::int32_t>(reinterpret_cast<UINT_PTR>(cad.window()));
    for (int i = 0; i < 4; ++i) {
      std::int32_t wnd = 0;
      EXPECT_EQ(messageOf([&] { wnd = app->windowHandle(); }), L"<no error>") << "call " << i;
      EXPECT_EQ(wnd, expected) << "call " << i;
    }
  }
  filter->RevokeFilter();
  cad.close();
  std::vector<std::string> lines = standin_test::readLines(log);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front().rfind("pid ", 0), 0u);
  lines.erase(lines.begin());
  // The two calls turned away ("retry later") and then each call served once.
  EXPECT_EQ(lines, (std::vector<std::string>{"rejected", "rejected", "HWND", "HWND", "HWND", "HWND"}));
}

TEST_F(StandinCadClient, AServerThatExitsMidCommandGivesAnErrorNotACrash) {
  const auto app = connected({L"--exit-after=3"});
  ASSERT_NE(app, nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(messageOf([&] { app->windowHandle(); }), L"<no error>") << "call " << i;
  ASSERT_TRUE(cad.process().waitForExit(15000)) << "the stand-in did not exit after its calls";
  const std::wstring message = messageOf([&] { app->DocumentsCount(); });
  EXPECT_NE(message, L"<no error>");
  // A transport failure, not a server's message: it names the member that failed.
  EXPECT_EQ(message.rfind(L"Documents: ", 0), 0u) << toUtf8(message);
}

// A call the server refuses outright is cancelled by the filter (on Windows)
// or refused by the transport (under Wine): either way the caller gets an
// error naming the member, and a refused name lookup is not remembered.
TEST_F(StandinCadClient, ARefusedCallIsAnErrorAndTheNextOneWorks) {
  ASSERT_TRUE(cad.start({L"--reject-calls=2", L"--reject-type=rejected"}));
  TComPtr<TMessageFilter> filter = makeMessageFilter();
  ASSERT_EQ(filter->RegisterFilter(), S_OK);
  {
    auto app = cad.connect();
    ASSERT_NE(app, nullptr);
    const std::wstring first = messageOf([&] { app->windowHandle(); });   // the name lookup is refused
    EXPECT_EQ(first.rfind(L"HWND: ", 0), 0u) << toUtf8(first);
    const std::wstring second = messageOf([&] { app->windowHandle(); });  // the lookup passes, the call is refused
    EXPECT_EQ(second.rfind(L"HWND: ", 0), 0u) << toUtf8(second);
    std::int32_t wnd = 0;
    EXPECT_EQ(messageOf([&] { wnd = app->windowHandle(); }), L"<no error>");
    EXPECT_EQ(wnd, static_cast<std::int32_t>(reinterpret_cast<UINT_PTR>(cad.window())));
  }
  filter->RevokeFilter();
  cad.close();
}

// Every command connects afresh; the names it calls are looked up only in the first.
TEST_F(StandinCadClient, ALaterConnectionLooksUpNoNameAgain) {
  const std::wstring path = savedDrawing(kindsDrawing(), L"names");
  ASSERT_TRUE(cad.start({path, L"--auto-select=all"}));
  const auto readTexts = [this] {
    auto app = cad.connect();
    ASSERT_NE(app, nullptr);
    auto doc = app->ActiveDocument();
    auto set = selectAll(*doc);
    for (std::int32_t i = 2; i < 4; ++i) {
      auto t = set->Item(i)->asText();
      t->TextString();
      t->Handle();
    }
    set->Delete();
  };
  readTexts();
  const std::size_t first = cad.connector().cache()->lookups();
  // ActiveDocument, SelectionSets, Add, SelectOnScreen, Item, TextString, Handle, Delete: once each.
  EXPECT_EQ(first, 8u);
  readTexts();
  EXPECT_EQ(cad.connector().cache()->lookups(), first);
  cad.close();
}
