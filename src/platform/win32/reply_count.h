#pragma once
// How far the program believes what an automation server claims. Plain C++:
// the reply decoding that uses it is also built natively, for fuzzing.
#include <cstddef>
#include <cstdint>

// The most elements a reply may claim (a count, an array length). Nothing
// larger is believed: a claim beyond it is a TAutomationError naming the member, so
// that no allocation is sized by what a server says.
inline constexpr std::int64_t kMaxReplyElements = 10'000'000;
std::size_t checkedReplyCount(std::int64_t claimed, const wchar_t* member);
