#pragma once
// The main window's table state, writable, for the tests and benchmarks that
// set up a state no command leaves (a record moved behind the sheet's back, a
// sheet built without a drawing).
#include "app/morvane_form.h"

struct TTableAccess {
  static TTableState& of(TMorvaneForm& form) { return form.FTable; }
};
