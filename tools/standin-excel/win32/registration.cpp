#include "registration.h"

#include <oleauto.h>

const CLSID kExcelApplicationClsid = {0x00024500, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

constexpr wchar_t kClsidText[] = L"{00024500-0000-0000-C000-000000000046}";

bool writeProgId(HKEY root, const wchar_t* classes) {
  const std::wstring path = std::wstring(classes) + L"\\Excel.Application\\CLSID";
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG written = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kClsidText),
                                      static_cast<DWORD>(sizeof kClsidText));
  RegCloseKey(key);
  return written == ERROR_SUCCESS;
}

}  // namespace

std::wstring registerExcelProgId() {
  if (writeProgId(HKEY_LOCAL_MACHINE, L"Software\\Classes")) return L"machine";
  if (writeProgId(HKEY_CURRENT_USER, L"Software\\Classes")) return L"user";
  return std::wstring();
}

HRESULT TActiveObjectRegistration::registerObject(IUnknown* object) {
  revoke();
  const HRESULT hr = RegisterActiveObject(object, kExcelApplicationClsid, ACTIVEOBJECT_STRONG, &FCookie);
  FRegistered = SUCCEEDED(hr);
  return hr;
}

void TActiveObjectRegistration::revoke() {
  if (FRegistered) {
    RevokeActiveObject(FCookie, nullptr);
    FRegistered = false;
  }
}
