// The RAII owners: each reference, string, variant and array is released
// exactly once, however ownership moves.
#include <gtest/gtest.h>

#include "fake_dispatch.h"
#include "platform/win32/com_init.h"

TEST(ComOwners, ComPtrReleasesOnceAcrossMovesShareAndReceive) {
  TComPtr<TFakeDispatch> keeper = TFakeDispatch::create();
  TFakeDispatch* raw = keeper.get();
  ASSERT_EQ(raw->refs(), 1u);
  {
    TComPtr<TFakeDispatch> second = keeper.share();
    EXPECT_EQ(raw->refs(), 2u);
    TComPtr<TFakeDispatch> moved = std::move(second);
    EXPECT_FALSE(second);
    EXPECT_EQ(raw->refs(), 2u);
    TComPtr<IDispatch> asDispatch;
    EXPECT_EQ(moved.queryInterface(IID_IDispatch, asDispatch), S_OK);
    EXPECT_EQ(raw->refs(), 3u);
    // receive() lets go of what it held before the out-parameter is written.
    IDispatch** out = asDispatch.receive();
    EXPECT_EQ(*out, nullptr);
    EXPECT_EQ(raw->refs(), 2u);
    moved = TComPtr<TFakeDispatch>();
    EXPECT_EQ(raw->refs(), 1u);
  }
  EXPECT_EQ(raw->refs(), 1u);
  TComPtr<IUnknown> none;
  TComPtr<IDispatch> target;
  EXPECT_EQ(none.queryInterface(IID_IDispatch, target), E_POINTER);
}

TEST(ComOwners, VariantOwnsWhatItHoldsAndMovesIt) {
  TComPtr<TFakeDispatch> object = TFakeDispatch::create();
  TFakeDispatch* raw = object.get();
  {
    TVariant v = TVariant::fromDispatch(raw);
    EXPECT_EQ(raw->refs(), 2u);
    TVariant w = std::move(v);
    EXPECT_EQ(v.type(), VT_EMPTY);
    EXPECT_EQ(w.type(), VT_DISPATCH);
    EXPECT_EQ(raw->refs(), 2u);
    *w.receive() = TVariant::fromInt32(4).release();  // receive clears the object first
    EXPECT_EQ(raw->refs(), 1u);
    EXPECT_EQ(w.get().lVal, 4);
  }
  TVariant s = TVariant::fromString(std::wstring(L"a\0b", 3));
  EXPECT_EQ(SysStringLen(s.get().bstrVal), 3u);  // embedded nulls survive
}

TEST(ComOwners, BstrAndSafeArray) {
  TBstr b(L"図面");
  EXPECT_EQ(b.str(), L"図面");
  TBstr moved = std::move(b);
  EXPECT_EQ(b.get(), nullptr);
  EXPECT_EQ(moved.str(), L"図面");
  EXPECT_EQ(TBstr().str(), L"");

  TSafeArray a = TSafeArray::create(VT_R8, 3);
  ASSERT_TRUE(a);
  {
    const TSafeArrayAccess access(a.get());
    ASSERT_TRUE(access.ok());
    access.data<double>()[2] = 7.5;
    // Locked while accessed: destroying now must fail.
    EXPECT_EQ(SafeArrayDestroy(a.get()), DISP_E_ARRAYISLOCKED);
  }
  LONG index = 2;
  double value = 0;
  ASSERT_EQ(SafeArrayGetElement(a.get(), &index, &value), S_OK);
  EXPECT_EQ(value, 7.5);
  EXPECT_FALSE(TSafeArrayAccess(nullptr).ok());
}

TEST(ComOwners, ComInitBalancesOnlyASuccessfulInitialisation) {
  const TComInit outer;
  ASSERT_TRUE(outer.ok());
  {
    const TComInit inner;  // S_FALSE: already initialised, still to be balanced
    EXPECT_TRUE(inner.ok());
    const TComInit wrongModel(COINIT_MULTITHREADED);
    EXPECT_FALSE(wrongModel.ok());
    EXPECT_EQ(wrongModel.result(), RPC_E_CHANGED_MODE);
  }
  // The outer initialisation is still in force.
  TComPtr<IUnknown> unknown;
  EXPECT_NE(CoGetMalloc(1, reinterpret_cast<IMalloc**>(unknown.receive())), CO_E_NOTINITIALIZED);
}
