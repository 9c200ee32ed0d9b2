#pragma once
// The fuzz build's stand-in for the system header of this name.
#include "ole_shim.h"
