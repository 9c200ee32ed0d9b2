#pragma once
// The cell tag codec: a drawing text's handle (hexadecimal digits, as the CAD
// spells them) kept in a cell's 32-bit tag, and the handle string written
// back from a tag. Every reading and writing of a handle as a tag goes
// through here, so that "2a", "2A" and "002A" are one handle everywhere.
#include <cstdint>
#include <optional>
#include <string>

// The cell tag of a handle: its hexadecimal digits, either case, as a 32-bit
// pattern (eight F digits give -1). Raises TConvertError naming the handle
// when it is empty, holds anything but hexadecimal digits or has more than 8
// significant digits.
std::int32_t handleToTag(const std::wstring& handle);

// The same without raising: no value for what cannot be a tag.
std::optional<std::int32_t> tagOfHandle(const std::wstring& handle) noexcept;

// The cell tag as an unsigned 32-bit number in upper-case hexadecimal without
// leading zeros; "0" for an untagged cell.
std::wstring handleString(std::int32_t tag);

// Whether two handle strings name the same entity: equal values when both are
// tags, the same string otherwise. Handle 0 names none, not even itself.
bool sameHandle(const std::wstring& a, const std::wstring& b) noexcept;
