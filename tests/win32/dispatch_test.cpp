// The late-binding helper against an in-process IDispatch fake: argument
// order, property puts, DISPID caching per kind of object, the retry after a
// stale DISPID, and errors that name the member.
#include <gtest/gtest.h>

#include "fake_dispatch.h"
#include "platform/errors.h"
#include "platform/win32/dispatch.h"

TEST(DispatchCalls, ArgumentsGoLastFirstAndPutsNameThePropertyPutArgument) {
  TComPtr<TFakeDispatch> obj = TFakeDispatch::create();
  obj->on(L"ZoomWindow", [&](const TFakeDispatch::TCall&, VARIANT*, EXCEPINFO*) { return S_OK; });
  obj->on(L"TextString", [](const TFakeDispatch::TCall&, VARIANT*, EXCEPINFO*) { return S_OK; });
  TDispatchObject view(std::make_shared<TDispIdCache>(L"CAD"), obj.get(), TDispatchKind::named(L"Text"));
  view.method(L"ZoomWindow", TVariant::fromInt32(1), TVariant::fromString(L"second"));
  view.put(L"TextString", TVariant::fromString(L"新しい"));

  const auto zoom = obj->callsOf(L"ZoomWindow");
  ASSERT_EQ(zoom.size(), 1u);
  ASSERT_EQ(zoom[0]->args.size(), 2u);
  EXPECT_EQ(zoom[0]->args[0].type(), VT_I4);  // first written, first received
  EXPECT_EQ(zoom[0]->args[1].type(), VT_BSTR);
  EXPECT_EQ(zoom[0]->flags, DISPATCH_METHOD);
  EXPECT_TRUE(zoom[0]->named.empty());

  const auto put = obj->callsOf(L"TextString");
  ASSERT_EQ(put.size(), 1u);
  EXPECT_EQ(put[0]->flags, DISPATCH_PROPERTYPUT);
  ASSERT_EQ(put[0]->named.size(), 1u);
  EXPECT_EQ(put[0]->named[0], DISPID_PROPERTYPUT);
  ASSERT_EQ(put[0]->args.size(), 1u);
  EXPECT_EQ(TBstr::toString(put[0]->args[0].get().bstrVal), L"新しい");
}

TEST(DispatchCalls, NamesAreLookedUpOncePerInterfaceAndName) {
  TComPtr<TFakeDispatch> a = TFakeDispatch::create();
  TComPtr<TFakeDispatch> b = TFakeDispatch::create();
  for (auto* o : {a.get(), b.get()}) {
    o->returns(L"Count", int32Reply(3).get());
    o->returns(L"Name", TVariant::fromString(L"x").get());
  }
  auto cache = std::make_shared<TDispIdCache>(L"CAD");
  TDispatchObject first(cache, a.get(), TDispatchKind::named(L"Set"));
  TDispatchObject second(cache, b.get(), TDispatchKind::named(L"Set"));
  TDispatchObject other(cache, b.get(), TDispatchKind::named(L"Sets"));
  first.get(L"Count");
  first.get(L"Count");
  second.get(L"Count");  // same interface: no lookup
  first.get(L"Name");    // another name: one lookup
  other.get(L"Count");   // another interface: one lookup
  EXPECT_EQ(a->nameLookups, 2);
  EXPECT_EQ(b->nameLookups, 1);
  EXPECT_EQ(cache->lookups(), 3u);
  EXPECT_EQ(a->callsOf(L"Count").size(), 2u);
  EXPECT_EQ(a->callsOf(L"Count")[0]->flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
}

TEST(DispatchCalls, AForgottenDispIdIsLookedUpAgainOnce) {
  TComPtr<TFakeDispatch> obj = TFakeDispatch::create();
  obj->returns(L"Count", int32Reply(3).get());
  auto cache = std::make_shared<TDispIdCache>(L"CAD");
  TDispatchObject view(cache, obj.get(), TDispatchKind::named(L"Set"));
  EXPECT_EQ(view.get(L"Count").get().lVal, 3);
  obj->renumber(L"Count", 777);  // the remembered DISPID is now unknown to the server
  EXPECT_EQ(view.get(L"Count").get().lVal, 3);
  EXPECT_EQ(obj->nameLookups, 2);
  EXPECT_EQ(view.get(L"Count").get().lVal, 3);
  EXPECT_EQ(obj->nameLookups, 2);
  // A name the server has dropped altogether is an error after one more lookup.
  obj->renumber(L"Count", 778);
  TComPtr<TFakeDispatch> other = TFakeDispatch::create();
  other->on(L"Other", [](const TFakeDispatch::TCall&, VARIANT*, EXCEPINFO*) { return S_OK; });
  TDispatchObject gone(cache, other.get(), TDispatchKind::named(L"Set"));
  EXPECT_NE(messageOf([&] { gone.get(L"Count"); }), L"<no error>");
}

TEST(DispatchCalls, FailuresCarryTheServersMessage) {
  TComPtr<TFakeDispatch> obj = TFakeDispatch::create();
  obj->on(L"HandleToObject", [](const TFakeDispatch::TCall&, VARIANT*, EXCEPINFO* e) {
    e->bstrDescription = SysAllocString(L"無効なハンドルです");
    e->scode = E_FAIL;
    return DISP_E_EXCEPTION;
  });
  obj->on(L"Silent", [](const TFakeDispatch::TCall&, VARIANT*, EXCEPINFO* e) {
    e->scode = E_ACCESSDENIED;
    return DISP_E_EXCEPTION;
  });
  obj->on(L"Deferred", [](const TFakeDispatch::TCall&, VARIANT*, EXCEPINFO* e) {
    e->pfnDeferredFillIn = [](EXCEPINFO* info) -> HRESULT {
      info->bstrDescription = SysAllocString(L"後から");
      return S_OK;
    };
    return DISP_E_EXCEPTION;
  });
  obj->on(L"Busy", [](const TFakeDispatch::TCall&, VARIANT*, EXCEPINFO*) { return RPC_E_SERVERCALL_RETRYLATER; });
  TDispatchObject view(std::make_shared<TDispIdCache>(L"CAD"), obj.get(), TDispatchKind::named(L"Document"));

  EXPECT_EQ(messageOf([&] { view.method(L"HandleToObject", TVariant::fromString(L"FFFF")); }),
            L"HandleToObject: 無効なハンドルです");
  EXPECT_EQ(messageOf([&] { view.method(L"Deferred"); }), L"Deferred: 後から");
  const std::wstring silent = messageOf([&] { view.method(L"Silent"); });
  EXPECT_EQ(silent.rfind(L"Silent: ", 0), 0u) << toUtf8(silent);
  EXPECT_GT(silent.size(), std::wstring(L"Silent: ").size());
  const std::wstring busy = messageOf([&] { view.method(L"Busy"); });
  EXPECT_EQ(busy.rfind(L"Busy: ", 0), 0u) << toUtf8(busy);
  // Only a call the server never answered is marked so: it says nothing about the object.
  const auto unreachable = [&](const wchar_t* member) {
    try {
      view.method(member);
    } catch (const TAutomationError& e) {
      return e.unreachable();
    }
    ADD_FAILURE() << toUtf8(member) << " did not fail";
    return false;
  };
  EXPECT_TRUE(unreachable(L"Busy"));
  EXPECT_FALSE(unreachable(L"HandleToObject"));
  EXPECT_FALSE(unreachable(L"Silent"));
  const std::wstring unknown = messageOf([&] { view.method(L"NoSuchMember"); });
  EXPECT_EQ(unknown.rfind(L"NoSuchMember: ", 0), 0u) << toUtf8(unknown);
  const std::wstring nothing = messageOf([] {
    TDispIdCache cache(L"CAD");
    invokeByName(cache, nullptr, TDispatchKind::named(L"Document"), L"Name", TInvokeKind::get, nullptr, 0);
  });
  EXPECT_EQ(nothing.rfind(L"Name: ", 0), 0u) << toUtf8(nothing);
}

TEST(DispatchCalls, TheRetryAfterAStaleDispIdGetsAFreshExcepInfo) {
  TComPtr<TFakeDispatch> obj = TFakeDispatch::create();
  obj->returns(L"Count", int32Reply(3).get());
  auto cache = std::make_shared<TDispIdCache>(L"CAD");
  TDispatchObject view(cache, obj.get(), TDispatchKind::named(L"Set"));
  view.get(L"Count");
  // The first attempt leaves strings in the EXCEPINFO and says the member is
  // unknown; the second must start from an empty one.
  int attempts = 0;
  bool secondWasClean = false;
  obj->on(L"Count", [&](const TFakeDispatch::TCall&, VARIANT* r, EXCEPINFO* e) {
    if (++attempts == 1) {
      e->bstrDescription = SysAllocString(L"stale");
      e->bstrSource = SysAllocString(L"server");
      return DISP_E_MEMBERNOTFOUND;
    }
    secondWasClean = e->bstrDescription == nullptr && e->bstrSource == nullptr && e->scode == 0;
    r->vt = VT_I4;
    r->lVal = 4;
    return S_OK;
  });
  EXPECT_EQ(view.get(L"Count").get().lVal, 4);
  EXPECT_EQ(attempts, 2);
  EXPECT_TRUE(secondWasClean);
}

TEST(DispatchCalls, KindsOfObjectsAndInterfaceIdsAreCachedApart) {
  const GUID iid = {0x9CD7E38D, 0x0003, 0x410D, {0xB6, 0xDF, 0xDE, 0x36, 0xFD, 0x19, 0x08, 0x50}};
  const TDispatchKind byId = TDispatchKind::ofInterface(iid);
  EXPECT_EQ(byId.text(), L"{9CD7E38D-0003-410D-B6DF-DE36FD190850}");
  EXPECT_EQ(byId, TDispatchKind::ofInterface(iid));
  // A named kind never reads as an interface id, even when its name is one.
  const TDispatchKind named = TDispatchKind::named(byId.text());
  EXPECT_FALSE(named == byId);
  EXPECT_NE(named.text().front(), L'{');
}

TEST(DispatchCalls, ClaimedCountsBeyondTheLimitNameTheMember) {
  EXPECT_EQ(checkedReplyCount(0, L"Count"), 0u);
  EXPECT_EQ(checkedReplyCount(kMaxReplyElements, L"Count"), static_cast<std::size_t>(kMaxReplyElements));
  for (const std::int64_t claimed : {std::int64_t{-1}, kMaxReplyElements + 1, std::int64_t{300'000'000}}) {
    const std::wstring message = messageOf([&] { checkedReplyCount(claimed, L"Count"); });
    EXPECT_EQ(message.rfind(L"Count: ", 0), 0u) << toUtf8(message);
  }
}
