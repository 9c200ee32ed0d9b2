#include "platform/win32/system_message.h"

#include <cwchar>

std::wstring systemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message;
  if (length > 0 && text != nullptr) {
    message.assign(text, length);
  }
  if (text != nullptr) {
    LocalFree(text);
  }
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
    message.pop_back();
  }
  if (message.empty()) {
    wchar_t hex[16] = {};
    std::swprintf(hex, 16, L"0x%08lX", static_cast<unsigned long>(code));
    message = hex;
  }
  return message;
}
