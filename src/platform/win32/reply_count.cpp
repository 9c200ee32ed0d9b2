#include "platform/win32/reply_count.h"

#include <string>

#include "platform/errors.h"

std::size_t checkedReplyCount(std::int64_t claimed, const wchar_t* member) {
  if (claimed < 0 || claimed > kMaxReplyElements) {
    throw TAutomationError(std::wstring(member) + L": 応答の要素数 " + std::to_wstring(claimed) + L" は扱えません");
  }
  return static_cast<std::size_t>(claimed);
}
