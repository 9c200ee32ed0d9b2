#pragma once
// What a range's "Value" carries across the call, read the way Excel reads
// it: a two-dimensional array (of variants, or of strings) with any lower
// bounds, by value or by reference, its first dimension the rows; or one
// value for every cell of the range.
#include <windows.h>
#include <oaidl.h>

#include "cell_sheet.h"

// The texts of an assigned value for a range of rows x cols. Numbers and
// other scalars become their text; empty and null give empty texts. Throws
// TExcelFault (type mismatch) for what is neither.
TValueBlock valueBlock(const VARIANT& value, std::int32_t rangeRows, std::int32_t rangeCols);

// The range's value as Excel gives it: one cell a single value, more a
// rows x cols array of variants with both lower bounds 1. Cells come typed:
// empty, string, double, date, boolean or Excel's error code. The result is
// the caller's.
VARIANT rangeValue(const TTypedBlock& block);

// "3x2 byref": the shape of an assigned value, for the call log.
std::wstring describeValue(const VARIANT& value);
