// The CAD client against an in-process IDispatch fake: which members it calls
// and how replies of every shape are decoded, including the malformed ones a
// server might send.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cad/win32/cad_client.h"
#include "cad/win32/cad_ids.h"
#include "fake_dispatch.h"

namespace {

// An application whose document has a selection set holding `entity`.
struct TFakeDrawing {
  TComPtr<TFakeDispatch> app = TFakeDispatch::create();
  TComPtr<TFakeDispatch> doc = TFakeDispatch::create();
  TComPtr<TFakeDispatch> sets = TFakeDispatch::create();
  TComPtr<TFakeDispatch> set = TFakeDispatch::create();
  TDispIdCachePtr cache = std::make_shared<TDispIdCache>(L"CAD");

  TFakeDrawing() {
    app->interfaces.push_back(kCadApplicationIid);
    app->returns(L"ActiveDocument", dispatchReply(doc.get()).get());
    doc->returns(L"SelectionSets", dispatchReply(sets.get()).get());
    sets->returns(L"Add", dispatchReply(set.get()).get());
  }
  std::unique_ptr<TCadApplication> application() { return makeCadApplication(app.share(), cache); }
  std::unique_ptr<TCadSelectionSet> selectionSet() {
    return application()->ActiveDocument()->SelectionSets()->Add(L"ssTemp");
  }
};

}  // namespace

TEST(CadClientDecoding, IntegersOfEveryWidthAreAcceptedAndNarrowed) {
  TFakeDrawing d;
  auto app = d.application();
  d.app->returns(L"HWND", typedReply(VT_I8, 0x0000000700012345LL).get());
  EXPECT_EQ(app->windowHandle(), 0x00012345);  // the low 32 bits, as the program keeps it
  TComPtr<TFakeDispatch> docs = TFakeDispatch::create();
  d.app->returns(L"Documents", dispatchReply(docs.get()).get());
  for (const VARTYPE vt : {VT_I2, VT_I4, VT_I8, VT_UI1, VT_UI2, VT_UI4, VT_UI8, VT_INT, VT_UINT, VT_I1}) {
    docs->returns(L"Count", typedReply(vt, 2).get());
    EXPECT_EQ(app->DocumentsCount(), 2) << "VARTYPE " << vt;
  }
  // Beyond 32 bits, a number that is no integer, a string: each named in the message.
  const std::function<TVariant()> refused[] = {[] { return typedReply(VT_I8, 0x100000000LL); },
                                               [] { return TVariant::fromDouble(2); },
                                               [] { return TVariant::fromString(L"2"); }};
  for (const auto& reply : refused) {
    docs->returns(L"Count", reply().get());
    const std::wstring message = messageOf([&] { app->DocumentsCount(); });
    EXPECT_NE(message.find(L"Count: "), std::wstring::npos) << toUtf8(message);
  }
}

TEST(CadClientDecoding, TextPropertiesAndTheirMalformedReplies) {
  TComPtr<TFakeDispatch> text = TFakeDispatch::create();
  text->interfaces.push_back(kCadTextIid);
  TDispIdCachePtr cache = std::make_shared<TDispIdCache>(L"CAD");
  auto entity = makeCadEntity(text.share(), cache);
  text->returns(L"ObjectName", TVariant::fromString(L"AcDbText").get());
  text->returns(L"TextString", TVariant::fromString(L"品名").get());
  text->returns(L"Handle", TVariant::fromString(L"2A3F").get());
  text->returns(L"Alignment", typedReply(VT_I2, 10).get());
  text->returns(L"InsertionPoint", doubleArrayReply({1.5, -2.25, 0}).get());
  text->returns(L"ObjectID", typedReply(VT_I8, 0x7FFFFFFF00000010LL).get());
  EXPECT_EQ(entity->ObjectName(), L"AcDbText");
  auto t = entity->asText();
  EXPECT_EQ(t->TextString(), L"品名");
  EXPECT_EQ(t->Handle(), L"2A3F");
  EXPECT_EQ(t->Alignment(), 10);
  EXPECT_EQ(t->InsertionPoint(), (TPoint3{1.5, -2.25, 0}));
  EXPECT_EQ(t->ObjectID(), 0x10);

  // Replies the client must refuse, each with the member it answers and what
  // the message says besides: "CAD の応答が不正です (member: ...)".
  struct TMalformed {
    const wchar_t* member;
    std::function<TVariant()> reply;
    const wchar_t* detail;
  };
  std::vector<TMalformed> cases = {
      {L"TextString", [] { return int32Reply(5); }, L"expected a string"},
      {L"InsertionPoint", [] { return doubleArrayReply({1, 2}); }, L"a point of 2 values"},
      {L"InsertionPoint",
       [] {
         SAFEARRAYBOUND bounds[2] = {{3, 0}, {1, 0}};
         return TVariant::fromArray(VT_R8, SafeArrayCreate(VT_R8, 2, bounds));
       },
       L"array of rank 2"},
      {L"InsertionPoint", [] { return TVariant::fromString(L"1,2,3"); }, L"expected an array"},
      // An array that claims doubles but holds 4-byte elements: reading it as
      // doubles would run past the block.
      {L"InsertionPoint", [] { return TVariant::fromArray(VT_R8, SafeArrayCreateVector(VT_I4, 0, 3)); },
       L"element size"},
      // Seen while fuzzing: 8-byte integers that a reply calls doubles have the
      // doubles' size and were read as doubles' bit patterns.
      {L"InsertionPoint", [] { return TVariant::fromArray(VT_R8, SafeArrayCreateVector(VT_I8, 0, 3)); },
       L"array of VARTYPE 20"},
      {L"Alignment", [] { return typedReply(VT_I8, 1LL << 40); }, L"integer out of range"},
  };
  // By-reference replies whose reference is null: reading through them would crash.
  for (const int vt : {int{VT_BSTR}, int{VT_I4}, VT_ARRAY | VT_R8, int{VT_DISPATCH}, int{VT_VARIANT}}) {
    for (const wchar_t* member : {L"TextString", L"Alignment", L"InsertionPoint", L"Copy"}) {
      const auto nullRef = [vt] {
        TVariant r;
        r.ptr()->vt = static_cast<VARTYPE>(VT_BYREF | vt);
        r.ptr()->byref = nullptr;
        return r;
      };
      cases.push_back({member, nullRef, L"null reference"});
    }
  }
  const std::map<std::wstring, std::function<void()>> reads = {
      {L"TextString", [&] { t->TextString(); }},
      {L"InsertionPoint", [&] { t->InsertionPoint(); }},
      {L"Alignment", [&] { t->Alignment(); }},
      {L"Copy", [&] { t->Copy(); }},
  };
  for (const TMalformed& c : cases) {
    text->returns(c.member, c.reply().get());
    const std::wstring message = messageOf(reads.at(c.member));
    EXPECT_EQ(message.rfind(L"CAD の応答が不正です (" + std::wstring(c.member) + L": ", 0), 0u) << toUtf8(message);
    EXPECT_NE(message.find(c.detail), std::wstring::npos) << toUtf8(message);
  }
  // A point whose array starts at 1 is still the same three values.
  text->returns(L"TextAlignmentPoint", doubleArrayReply({4, 5, 6}, 1).get());
  EXPECT_EQ(t->TextAlignmentPoint(), (TPoint3{4, 5, 6}));

  // A by-reference reply that does point somewhere is read through its target.
  {
    LONG alignment = 4;
    TVariant ref;
    ref.ptr()->vt = VT_BYREF | VT_I4;
    ref.ptr()->plVal = &alignment;
    text->returns(L"Alignment", ref.get());
    EXPECT_EQ(t->Alignment(), 4);
  }
}

TEST(CadClientDecoding, PolylineVerticesAndClosedFlag) {
  TComPtr<TFakeDispatch> pl = TFakeDispatch::create();
  pl->interfaces.push_back(kCadPolylineIid);
  auto poly = makeCadEntity(pl.share(), std::make_shared<TDispIdCache>(L"CAD"))->asPolyline();
  pl->returns(L"Coordinates", doubleArrayReply({0, 0, 10, 0, 10, 5}).get());
  EXPECT_EQ(poly->Coordinates(), (std::vector<double>{0, 0, 10, 0, 10, 5}));
  pl->returns(L"Coordinates", doubleArrayReply({0, 0, 10}).get());
  EXPECT_NE(messageOf([&] { poly->Coordinates(); }).find(L"odd"), std::wstring::npos);
  pl->returns(L"Coordinates", doubleArrayReply({}).get());
  EXPECT_TRUE(poly->Coordinates().empty());
  TVariant nullArray;
  nullArray.ptr()->vt = VT_ARRAY | VT_R8;
  nullArray.ptr()->parray = nullptr;
  pl->returns(L"Coordinates", nullArray.get());
  EXPECT_NE(messageOf([&] { poly->Coordinates(); }), L"<no error>");
  // An array whose header claims hundreds of millions of elements is refused
  // before anything is sized by it.
  pl->on(L"Coordinates", [](const TFakeDispatch::TCall&, VARIANT* r, EXCEPINFO*) {
    TVariant reply = doubleArrayReply({0, 0, 10, 0});
    reply.ptr()->parray->rgsabound[0].cElements = 300'000'000;
    *r = reply.get();
    VariantInit(reply.ptr());
    return S_OK;
  });
  EXPECT_NE(messageOf([&] { poly->Coordinates(); }).find(L"Coordinates"), std::wstring::npos);

  // A boolean, or any integer: non-zero is closed.
  const struct {
    VARTYPE vt;
    LONGLONG bits;
    bool closed;
  } flags[] = {{VT_BOOL, VARIANT_TRUE, true}, {VT_BOOL, VARIANT_FALSE, false}, {VT_I4, 1, true}, {VT_UI1, 0, false}};
  for (const auto& f : flags) {
    pl->returns(L"Closed", typedReply(f.vt, f.bits).get());
    EXPECT_EQ(poly->Closed(), f.closed) << "VARTYPE " << f.vt << " " << f.bits;
  }
  pl->returns(L"Closed", TVariant::fromString(L"yes").get());
  EXPECT_NE(messageOf([&] { poly->Closed(); }), L"<no error>");
}

TEST(CadClientDecoding, ClaimedCountsAreCappedAndNamed) {
  TFakeDrawing d;
  auto set = d.selectionSet();
  d.set->returns(L"Count", int32Reply(2).get());
  EXPECT_EQ(set->Count(), 2);
  for (const LONG claimed : {LONG{300'000'000}, LONG{-5}}) {
    d.set->returns(L"Count", int32Reply(claimed).get());
    const std::wstring message = messageOf([&] { set->Count(); });
    EXPECT_EQ(message.rfind(L"Count: ", 0), 0u) << toUtf8(message);
  }
}

TEST(CadClientDecoding, KindQueriesAndNullObjects) {
  TFakeDrawing d;
  TComPtr<TFakeDispatch> text = TFakeDispatch::create();
  text->interfaces.push_back(kCadTextIid);
  d.set->on(L"Item", [&](const TFakeDispatch::TCall& c, VARIANT* r, EXCEPINFO*) {
    if (c.args.size() != 1 || c.args[0].type() != VT_I4) return DISP_E_TYPEMISMATCH;
    if (c.args[0].get().lVal == 0) {
      r->vt = VT_DISPATCH;
      r->pdispVal = text.get();
      text->AddRef();
    } else {
      r->vt = VT_DISPATCH;
      r->pdispVal = nullptr;  // a null object
    }
    return S_OK;
  });
  auto set = d.selectionSet();
  auto entity = set->Item(0);
  EXPECT_NE(messageOf([&] { entity->asLine(); }), L"<no error>");
  EXPECT_NE(messageOf([&] { entity->asPolyline(); }), L"<no error>");
  EXPECT_NO_THROW(entity->asText());
  EXPECT_NE(messageOf([&] { set->Item(1); }).find(L"null"), std::wstring::npos);
  d.doc->returns(L"HandleToObject", int32Reply(0).get());
  EXPECT_NE(messageOf([&] { d.application()->ActiveDocument()->HandleToObject(L"1F"); }), L"<no error>");
}

TEST(CadClientCalls, ReadingATextCostsOneQueryAndOneCallPerProperty) {
  TFakeDrawing d;
  TComPtr<TFakeDispatch> text = TFakeDispatch::create();
  text->interfaces = {kCadEntityIid, kCadTextIid};
  text->returns(L"ObjectName", TVariant::fromString(L"AcDbText").get());
  text->returns(L"TextString", TVariant::fromString(L"A").get());
  text->returns(L"Handle", TVariant::fromString(L"1").get());
  text->returns(L"Alignment", int32Reply(0).get());
  text->returns(L"InsertionPoint", doubleArrayReply({0, 0, 0}).get());
  d.set->returns(L"Item", dispatchReply(text.get()).get());
  auto set = d.selectionSet();
  for (int i = 0; i < 3; ++i) {
    auto entity = set->Item(i);
    ASSERT_EQ(entity->ObjectName(), L"AcDbText");
    auto t = entity->asText();
    t->Alignment();
    t->TextString();
    t->Handle();
    t->InsertionPoint();
  }
  EXPECT_EQ(text->queries, 3);            // the kind's interface once per entity, no entity query
  EXPECT_EQ(text->calls.size(), 15u);     // five properties per entity
  EXPECT_EQ(text->nameLookups, 5);        // the first entity only
  EXPECT_EQ(d.set->callsOf(L"Item").size(), 3u);
}

// An MTEXT is used through the IDispatch its entity came as: no interface is
// queried (the CADs give it ids of their own), four calls read it, and its
// names are looked up once, under a kind of their own.
TEST(CadClientCalls, AnMTextIsReadAndWrittenByNameWithoutAQuery) {
  TFakeDrawing d;
  TComPtr<TFakeDispatch> mtext = TFakeDispatch::create();
  TComPtr<TFakeDispatch> copy = TFakeDispatch::create();
  mtext->returns(L"ObjectName", TVariant::fromString(L"AcDbMText").get());
  mtext->returns(L"TextString", TVariant::fromString(L"\\H2;A").get());
  mtext->returns(L"Handle", TVariant::fromString(L"1").get());
  mtext->returns(L"InsertionPoint", doubleArrayReply({1, 2, 0}).get());
  mtext->returns(L"Copy", dispatchReply(copy.get()).get());
  copy->on(L"TextString", [](const TFakeDispatch::TCall&, VARIANT*, EXCEPINFO*) { return S_OK; });
  d.set->returns(L"Item", dispatchReply(mtext.get()).get());
  auto set = d.selectionSet();
  for (int i = 0; i < 3; ++i) {
    auto entity = set->Item(i);
    ASSERT_EQ(entity->ObjectName(), L"AcDbMText");
    auto t = entity->asMText();
    EXPECT_EQ(t->TextString(), L"\\H2;A");
    EXPECT_EQ(t->InsertionPoint(), (TPoint3{1, 2, 0}));
    t->Handle();
  }
  EXPECT_EQ(mtext->queries, 0);
  EXPECT_EQ(mtext->calls.size(), 12u);
  EXPECT_EQ(mtext->nameLookups, 4);
  EXPECT_NE(messageOf([&] { set->Item(0)->asText(); }), L"<no error>");
  set->Item(0)->asMText()->Copy()->asMText()->setTextString(L"\\H2;B");
  const auto put = copy->callsOf(L"TextString");
  ASSERT_EQ(put.size(), 1u);
  EXPECT_EQ(put[0]->flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(copy->queries, 0);
}

TEST(CadClientCalls, EveryPortOperationCallsItsMember) {
  TFakeDrawing d;
  d.app->returns(L"HWND", typedReply(VT_I8, 0x1234).get());
  d.app->on(L"ZoomWindow", [](const TFakeDispatch::TCall&, VARIANT*, EXCEPINFO*) { return S_OK; });
  d.doc->returns(L"Name", TVariant::fromString(L"表.dxf").get());
  d.doc->returns(L"HWND", typedReply(VT_I8, 0x99).get());
  d.doc->returns(L"GetVariable", TVariant::fromDouble(297.5).get());
  for (const wchar_t* m : {L"Regen", L"SendCommand"}) {
    d.doc->on(m, [](const TFakeDispatch::TCall&, VARIANT*, EXCEPINFO*) { return S_OK; });
  }
  d.sets->returns(L"Count", typedReply(VT_I2, 1).get());
  d.sets->returns(L"Item", dispatchReply(d.set.get()).get());
  d.set->returns(L"Name", TVariant::fromString(L"ssTemp").get());
  d.set->returns(L"Count", typedReply(VT_UI4, 7).get());
  for (const wchar_t* m : {L"Clear", L"Delete", L"SelectOnScreen"}) {
    d.set->on(m, [](const TFakeDispatch::TCall&, VARIANT*, EXCEPINFO*) { return S_OK; });
  }

  auto app = d.application();
  EXPECT_EQ(app->windowHandle(), 0x1234);
  app->ZoomWindow({1, 2, 0}, {3, 4, 0});
  const auto zoom = d.app->callsOf(L"ZoomWindow");
  ASSERT_EQ(zoom.size(), 1u);
  ASSERT_EQ(zoom[0]->args.size(), 2u);
  EXPECT_EQ(doublesOf(zoom[0]->args[0]), (std::vector<double>{1, 2, 0}));
  EXPECT_EQ(doublesOf(zoom[0]->args[1]), (std::vector<double>{3, 4, 0}));

  auto doc = app->ActiveDocument();
  EXPECT_EQ(doc->Name(), L"表.dxf");
  EXPECT_EQ(doc->windowHandle(), 0x99);
  EXPECT_DOUBLE_EQ(doc->GetVariable(L"VIEWSIZE"), 297.5);
  EXPECT_EQ(TBstr::toString(d.doc->callsOf(L"GetVariable")[0]->args[0].get().bstrVal), L"VIEWSIZE");
  doc->Regen(1);
  EXPECT_EQ(d.doc->callsOf(L"Regen")[0]->args[0].type(), VT_I4);
  EXPECT_EQ(d.doc->callsOf(L"Regen")[0]->args[0].get().lVal, 1);
  doc->SendCommand(L"REGEN\r");
  EXPECT_EQ(TBstr::toString(d.doc->callsOf(L"SendCommand")[0]->args[0].get().bstrVal), L"REGEN\r");

  auto sets = doc->SelectionSets();
  EXPECT_EQ(sets->Count(), 1);
  auto set = sets->Item(0);
  EXPECT_EQ(d.sets->callsOf(L"Item")[0]->args[0].get().lVal, 0);
  EXPECT_EQ(set->Name(), L"ssTemp");
  EXPECT_EQ(set->Count(), 7);
  set->SelectOnScreen({0, 8}, {L"TEXT,LINE,LWPOLYLINE", L"表"});
  const auto sel = d.set->callsOf(L"SelectOnScreen");
  ASSERT_EQ(sel.size(), 1u);
  ASSERT_EQ(sel[0]->args.size(), 2u);
  const VARIANT& codes = sel[0]->args[0].get();
  const VARIANT& values = sel[0]->args[1].get();
  ASSERT_EQ(codes.vt, VT_ARRAY | VT_I2);
  ASSERT_EQ(values.vt, VT_ARRAY | VT_VARIANT);
  ASSERT_EQ(SafeArrayGetDim(codes.parray), 1u);
  ASSERT_EQ(SafeArrayGetDim(values.parray), 1u);
  EXPECT_EQ(codes.parray->rgsabound[0].lLbound, 0);
  EXPECT_EQ(values.parray->rgsabound[0].lLbound, 0);
  for (LONG i = 0; i < 2; ++i) {
    SHORT code = -1;
    SafeArrayGetElement(codes.parray, &i, &code);
    EXPECT_EQ(code, i == 0 ? 0 : 8);
    TVariant value;
    SafeArrayGetElement(values.parray, &i, value.ptr());
    ASSERT_EQ(value.type(), VT_BSTR);
    EXPECT_EQ(TBstr::toString(value.get().bstrVal), i == 0 ? L"TEXT,LINE,LWPOLYLINE" : L"表");
  }
  EXPECT_NE(messageOf([&] { set->SelectOnScreen({0}, {}); }), L"<no error>");
  set->Clear();
  set->Delete();
  EXPECT_EQ(d.set->callsOf(L"Clear").size(), 1u);
  EXPECT_EQ(d.set->callsOf(L"Delete").size(), 1u);
}

TEST(CadClientCalls, TextWritesCopyEraseAndUpdate) {
  TComPtr<TFakeDispatch> text = TFakeDispatch::create();
  TComPtr<TFakeDispatch> copy = TFakeDispatch::create();
  text->interfaces.push_back(kCadTextIid);
  copy->interfaces.push_back(kCadTextIid);
  copy->returns(L"Handle", TVariant::fromString(L"B0").get());
  text->returns(L"Copy", dispatchReply(copy.get()).get());
  for (const wchar_t* m : {L"TextString", L"InsertionPoint", L"TextAlignmentPoint", L"Erase", L"Update"}) {
    text->on(m, [](const TFakeDispatch::TCall&, VARIANT*, EXCEPINFO*) { return S_OK; });
  }
  auto t = makeCadEntity(text.share(), std::make_shared<TDispIdCache>(L"CAD"))->asText();
  t->setTextString(L"値");
  t->setInsertionPoint({1, 2, 3});
  t->setTextAlignmentPoint({4, 5, 6});
  EXPECT_EQ(t->Copy()->asText()->Handle(), L"B0");
  t->Erase();
  t->Update();
  const auto ip = text->callsOf(L"InsertionPoint");
  ASSERT_EQ(ip.size(), 1u);
  EXPECT_EQ(ip[0]->flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(doublesOf(ip[0]->args[0]), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(doublesOf(text->callsOf(L"TextAlignmentPoint")[0]->args[0]), (std::vector<double>{4, 5, 6}));
  EXPECT_EQ(text->callsOf(L"Erase").size(), 1u);
  EXPECT_EQ(text->callsOf(L"Update").size(), 1u);
  // A copy that is not a text is refused rather than used as one, and can
  // still be erased through the object the CAD handed back.
  copy->interfaces.clear();
  copy->on(L"Erase", [](const TFakeDispatch::TCall&, VARIANT*, EXCEPINFO*) { return S_OK; });
  const std::unique_ptr<TCadEntity> stray = t->Copy();
  EXPECT_NE(messageOf([&] { stray->asText(); }), L"<no error>");
  stray->Erase();
  EXPECT_EQ(copy->callsOf(L"Erase").size(), 1u);
}
