#pragma once
// The Japanese Windows code page (932: Shift_JIS with its vendor rows),
// double-byte codes to UTF-16, for text that names characters by their code.

inline constexpr int kCp932LeadCount = 60;
inline constexpr int kCp932TrailCount = 188;
// Generated (make_cp932_table.py); 0 marks a pair with no character.
extern const char16_t kCp932Double[kCp932LeadCount * kCp932TrailCount];
