#pragma once
// What a fuzz target asks of the shim beyond the OLE functions: counts of what
// is alive (so that a leak or a lock left behind shows), and an array that only
// claims its size.
#include <cstddef>

#include "ole_shim.h"

// Arrays and strings allocated and not yet freed; arrays still locked.
std::size_t oleShimLiveArrays();
std::size_t oleShimLiveStrings();
std::size_t oleShimLockedArrays();

// The most data bytes an array may have: a larger SafeArrayCreate fails, as an
// allocation the machine cannot make would.
inline constexpr std::size_t kOleShimMaxDataBytes = std::size_t{64} << 20;

// A descriptor whose bounds claim more elements than its data holds (room for
// one element only). Reading it as far as it claims runs off the data; a copy
// fails as an allocation of that size would.
SAFEARRAY* oleShimClaimedArray(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds);
