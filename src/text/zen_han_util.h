#pragma once
// zenHanUtil: the ten full-width/half-width conversions. Eight work on one
// character class each by a fixed table of pairs; zenToHan and hanToZen map
// the whole text through the platform's width mapping.
#include <span>
#include <string>

#include "text/text_services.h"

namespace zenHanUtil {

// One pair table: row i of the full-width side corresponds to row i of the
// half-width side. Row order matters: the katakana table's two-character
// half-width rows come first.
struct TPairTable {
  std::span<const wchar_t* const> zen;
  std::span<const wchar_t* const> han;
};

const TPairTable& kanaTable();   // zenKana / hanKana, 84 rows
const TPairTable& numTable();    // zenNum / hanNum, 10 rows
const TPairTable& alphaTable();  // zenAlpha / hanAlpha, 52 rows
const TPairTable& symTable();    // zenSym / hanSym, 33 rows

// The table conversions. Each gives what replacing every row's source by its
// target, row after row in table order, would give, in one pass over the text.
void hanKanaToZen(std::wstring& text);
void hanNumToZen(std::wstring& text);
void hanAlphaToZen(std::wstring& text);
void hanSymToZen(std::wstring& text);
void zenKanaToHan(std::wstring& text);
void zenNumToHan(std::wstring& text);
void zenAlphaToHan(std::wstring& text);
void zenSymToHan(std::wstring& text);

// The whole-text conversions.
void zenToHan(std::wstring& text, TTextServices& services);
void hanToZen(std::wstring& text, TTextServices& services);

}  // namespace zenHanUtil
