#pragma once
// How a running Excel makes itself found: the ProgID "Excel.Application"
// names Excel's class id in the registry, and the application object is
// registered as the active object of that class in the running object table.
#include <windows.h>
#include <objbase.h>

#include <string>

// Excel's public class id, {00024500-0000-0000-C000-000000000046}.
extern const CLSID kExcelApplicationClsid;

// Writes the ProgID's class id for the machine where that is allowed, else
// for the user (whose classes Windows merges over the machine's). Returns
// where it went ("machine", "user"), or empty when both were refused.
std::wstring registerExcelProgId();

// The application object's entry in the running object table, revoked once:
// by revoke() or at the latest when the owner goes.
class TActiveObjectRegistration {
 public:
  TActiveObjectRegistration() = default;
  TActiveObjectRegistration(const TActiveObjectRegistration&) = delete;
  TActiveObjectRegistration& operator=(const TActiveObjectRegistration&) = delete;
  ~TActiveObjectRegistration() { revoke(); }

  HRESULT registerObject(IUnknown* object);
  void revoke();

 private:
  DWORD FCookie = 0;
  bool FRegistered = false;
};
