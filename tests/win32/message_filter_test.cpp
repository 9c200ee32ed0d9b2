// The message filter's answers, and that registering and revoking it puts
// back the filter that was there before.
#include <gtest/gtest.h>

#include "cad/win32/message_filter.h"
#include "platform/win32/com_init.h"

TEST(MessageFilter, AnswersOfTheThreeCallbacks) {
  TComPtr<TMessageFilter> filter = makeMessageFilter();
  EXPECT_EQ(filter->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr), 0u);
  EXPECT_EQ(filter->RetryRejectedCall(nullptr, 5000, SERVERCALL_RETRYLATER), 1000u);
  EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_REJECTED), static_cast<DWORD>(-1));
  EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, 7), static_cast<DWORD>(-1));
  // 1: keep waiting for the reply without dispatching the pending message.
  EXPECT_EQ(filter->MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL), 1u);
  EXPECT_EQ(filter->MessagePending(nullptr, 100000, PENDINGTYPE_NESTED), 1u);
}

TEST(MessageFilter, RegisterKeepsThePreviousFilterAndRevokePutsItBack) {
  const TComInit com;
  ASSERT_TRUE(com.ok());
  TComPtr<TMessageFilter> first = makeMessageFilter();
  TComPtr<TMessageFilter> second = makeMessageFilter();
  ASSERT_EQ(first->RegisterFilter(), S_OK);
  ASSERT_EQ(second->RegisterFilter(), S_OK);
  EXPECT_EQ(second->RegisterFilter(), S_FALSE);  // never registered twice

  IMessageFilter* current = nullptr;
  // Asking by registering nothing hands back the one in force; put it back at once.
  ASSERT_EQ(CoRegisterMessageFilter(nullptr, &current), S_OK);
  EXPECT_EQ(current, static_cast<IMessageFilter*>(second.get()));
  IMessageFilter* none = nullptr;
  CoRegisterMessageFilter(current, &none);
  current->Release();

  ASSERT_EQ(second->RevokeFilter(), S_OK);
  ASSERT_EQ(CoRegisterMessageFilter(nullptr, &current), S_OK);
  EXPECT_EQ(current, static_cast<IMessageFilter*>(first.get()));
  CoRegisterMessageFilter(current, &none);
  current->Release();
  EXPECT_EQ(first->RevokeFilter(), S_OK);
  EXPECT_FALSE(first->isRegistered());
  EXPECT_EQ(first->RevokeFilter(), S_FALSE);
  // Both filters are released by COM: ours are the last references.
  EXPECT_EQ(first->AddRef(), 2u);
  first->Release();
  EXPECT_EQ(second->AddRef(), 2u);
  second->Release();
}
