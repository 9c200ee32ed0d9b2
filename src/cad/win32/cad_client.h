#pragma once
// The CAD ports over the CAD's automation objects, called late-bound by name.
// Every object of one connection shares one DISPID cache.
#include <windows.h>
#include <oaidl.h>

#include <memory>

#include "cad/cad_ports.h"
#include "cad/win32/cad_ids.h"
#include "platform/win32/dispatch.h"
#include "platform/win32/com_ptr.h"

// Wraps an application object that the caller already holds (tests hand in
// their own objects here); `cache` may be shared with other connections.
std::unique_ptr<TCadApplication> makeCadApplication(
    TComPtr<IDispatch> application, TDispIdCachePtr cache = std::make_shared<TDispIdCache>(kCadServerName));

// An entity as Item or HandleToObject hands it out.
std::unique_ptr<TCadEntity> makeCadEntity(TComPtr<IDispatch> entity, TDispIdCachePtr cache);

// Creates the application object of the running CAD through COM.
class TComCadConnector : public TCadConnector {
 public:
  std::unique_ptr<TCadApplication> createApplication() override;
  // A class id in braces is taken as it is; a ProgID is looked up in the
  // registry (CLSIDFromProgID) here, once.
  bool useClass(const std::wstring& classId) override;
  // Kept for the connector's life: every command connects afresh, and a name
  // is looked up once per run of the program rather than once per command.
  const TDispIdCachePtr& cache() const noexcept { return FCache; }

 private:
  TDispIdCachePtr FCache = std::make_shared<TDispIdCache>(kCadServerName);
  CLSID FClass = kCadApplicationClsid;
};
