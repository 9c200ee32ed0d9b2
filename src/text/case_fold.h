#pragma once
// Case folding that keeps a text's length: every character folds to one
// character, so positions found in a folded text are positions in the original.
#include <string>

// The lower-case form of the ASCII, full-width Latin, Latin-1, Greek and
// Cyrillic capitals; every other character as it is.
wchar_t foldCase(wchar_t ch);
std::wstring foldCase(std::wstring text);
