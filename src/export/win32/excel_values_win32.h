#pragma once
// A range's "Value" reply read into typed values: a two-dimensional array
// of variants, first dimension the rows, or one value for a one-cell range.
#include <windows.h>
#include <oaidl.h>

#include "export/excel_value.h"

// Raises TExcelShapeError for a reply that is no such array and
// TAutomationError for an element of a type Excel does not give.
TExcelValues excelValuesOf(const VARIANT& reply);
