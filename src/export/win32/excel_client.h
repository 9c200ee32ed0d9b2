#pragma once
// The Excel port over a running Excel's automation objects, late-bound by
// name. Excel is found in the running object table and never started.
#include <memory>

#include "platform/win32/dispatch.h"
#include "export/excel_ports.h"

class TComExcelConnector : public TExcelConnector {
 public:
  // CLSIDFromProgID("Excel.Application"), then the active object of that class.
  std::unique_ptr<TExcelApplication> activeExcel() override;

 private:
  // Kept for the connector's life, so that a name is looked up once per run.
  TDispIdCachePtr FCache = std::make_shared<TDispIdCache>(L"Excel");
};
