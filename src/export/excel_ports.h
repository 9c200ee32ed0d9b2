#pragma once
// What the export asks of a running Excel: its application object, the
// active worksheet, a range of it and the range's value. On Windows these
// are late-bound calls by name; a test gives a fake. Every member raises an
// exception when the call fails. Each object holds its reference to the
// server for as long as it lives, so dropping it drops the reference.
#include <memory>
#include <string>

#include "export/excel_value.h"
#include "platform/errors.h"
#include "export/transfer_array.h"

// A reply to "Value" that is no two-dimensional block of values.
class TExcelShapeError : public TMorvaneError {
 public:
  using TMorvaneError::TMorvaneError;
};

class TExcelRange {
 public:
  virtual ~TExcelRange() = default;
  // Assigns the array to the range's "Value" in one call. The array is
  // handed over: a by-reference call may give it back changed, so it is
  // never used again.
  virtual void setValue(TTransferArray array) = 0;
  // The range's "Value" read in one call. A one-cell range's single value
  // comes as a 1 x 1 block; a reply of another shape raises TExcelShapeError.
  virtual TExcelValues Value() = 0;
  // Assigns the range's "NumberFormat" ("@": every cell keeps its text).
  virtual void setNumberFormat(const std::wstring& format) = 0;
};

class TExcelWorksheet {
 public:
  virtual ~TExcelWorksheet() = default;
  // The worksheet's "Range" from the first to the last cell, both A1-style names.
  virtual std::unique_ptr<TExcelRange> Range(const std::wstring& first, const std::wstring& last) = 0;
};

class TExcelApplication {
 public:
  virtual ~TExcelApplication() = default;
  // The application's "ActiveSheet"; fails when no workbook is open.
  virtual std::unique_ptr<TExcelWorksheet> ActiveSheet() = 0;
};

class TExcelConnector {
 public:
  virtual ~TExcelConnector() = default;
  // The Excel that is running now; fails when none is. Never starts one.
  virtual std::unique_ptr<TExcelApplication> activeExcel() = 0;
};
