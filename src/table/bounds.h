#pragma once
// Row and column boundaries of a drawn table, derived from its ruling lines.
#include "table/mrv_records.h"

// Replaces `tate` with the x of every vertical line and `yoko` with the y of
// every horizontal line of `lines`, in list order. A line is vertical when its
// ends differ by less than `tolerance` in x (tested first), else horizontal
// when they differ by less than `tolerance` in y; others add nothing. With no
// lines at all both arrays keep what they held.
void collectBounds(const TLineAry& lines, double tolerance, TDblAry& tate, TDblAry& yoko);

// Sorts `tate` ascending and `yoko` descending and drops every value that
// lies within `tolerance` of the last value kept. Arrays of fewer than two
// values are left alone.
void sortBounds(double tolerance, TDblAry& tate, TDblAry& yoko);
