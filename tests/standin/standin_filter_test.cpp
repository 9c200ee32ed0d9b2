// Selection filters and wildcards as the stand-in CAD evaluates them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing.h"

namespace {

using standin::Entity;
using standin::isValidFilter;
using standin::matchesFilter;
using standin::wildcardMatch;

Entity entity(const std::string& type, const std::wstring& layer = L"0") {
  Entity e;
  e.type = type;
  e.layer = layer;
  e.groups = {{0, type}, {8, "layer"}};
  return e;
}

// The filter Acquire passes, with and without the excluded layers.
const std::vector<short> kTypeOnly = {0};
const std::vector<short> kTypeAndLayers = {0, -4, 8, -4};

std::vector<std::wstring> excluding(const std::wstring& layers) { return {L"TEXT,*LINE", L"<NOT", layers, L"NOT>"}; }

TEST(StandinFilter, TextAndEveryTypeEndingInLine) {
  const std::vector<std::wstring> values = {L"TEXT,*LINE"};
  EXPECT_TRUE(matchesFilter(entity("LINE"), kTypeOnly, values));
  EXPECT_TRUE(matchesFilter(entity("LWPOLYLINE"), kTypeOnly, values));
  EXPECT_TRUE(matchesFilter(entity("TEXT"), kTypeOnly, values));
  EXPECT_TRUE(matchesFilter(entity("XLINE"), kTypeOnly, values));
  EXPECT_TRUE(matchesFilter(entity("POLYLINE"), kTypeOnly, values));
  EXPECT_FALSE(matchesFilter(entity("CIRCLE"), kTypeOnly, values));
  EXPECT_FALSE(matchesFilter(entity("MTEXT"), kTypeOnly, values));
  EXPECT_FALSE(matchesFilter(entity("LINEAR"), kTypeOnly, values));
  EXPECT_FALSE(matchesFilter(entity("DIMENSION"), kTypeOnly, values));
}

TEST(StandinFilter, MTextOnlyWhereTheTypeListNamesIt) {
  struct TCase {
    const wchar_t* types;
    const char* type;
    const wchar_t* layer;
    bool selected;
  };
  const TCase cases[] = {
      {L"TEXT,*LINE", "MTEXT", L"0", false},        {L"TEXT,*LINE", "TEXT", L"0", true},
      {L"TEXT,MTEXT,*LINE", "MTEXT", L"0", true},   {L"TEXT,MTEXT,*LINE", "TEXT", L"0", true},
      {L"TEXT,MTEXT,*LINE", "LWPOLYLINE", L"0", true}, {L"TEXT,MTEXT,*LINE", "CIRCLE", L"0", false},
      {L"TEXT,MTEXT,*LINE", "MTEXT", L"HOJO", false}, {L"TEXT,MTEXT,*LINE", "MTEXT", L"XHOJO", true},
      {L"text,mtext,*line", "MTEXT", L"0", true},   {L"*TEXT", "MTEXT", L"0", true},
      {L"*TEXT", "TEXT", L"0", true},               {L"*TEXT", "LINE", L"0", false},
      {L"MTEXT", "TEXT", L"0", false},
  };
  for (const TCase& c : cases) {
    const std::vector<std::wstring> values = {c.types, L"<NOT", L"HOJO*", L"NOT>"};
    EXPECT_EQ(matchesFilter(entity(c.type, c.layer), kTypeAndLayers, values), c.selected)
        << c.type << " on layer " << c.layer << " through " << c.types;
  }
}

TEST(StandinFilter, ExcludedLayersUnderNot) {
  const auto values = excluding(L"HOJO*,JOGAI*");
  EXPECT_TRUE(matchesFilter(entity("TEXT", L"TEXT"), kTypeAndLayers, values));
  EXPECT_TRUE(matchesFilter(entity("LINE", L"0"), kTypeAndLayers, values));
  EXPECT_FALSE(matchesFilter(entity("TEXT", L"HOJO"), kTypeAndLayers, values));
  EXPECT_FALSE(matchesFilter(entity("TEXT", L"HOJO-memo"), kTypeAndLayers, values));
  EXPECT_FALSE(matchesFilter(entity("LINE", L"JOGAI_1"), kTypeAndLayers, values));
  EXPECT_TRUE(matchesFilter(entity("TEXT", L"XHOJO"), kTypeAndLayers, values));
  EXPECT_FALSE(matchesFilter(entity("CIRCLE", L"TEXT"), kTypeAndLayers, values));
}

TEST(StandinFilter, NamesCompareWithoutCase) {
  EXPECT_TRUE(matchesFilter(entity("TEXT", L"hojo2"), kTypeOnly, {L"text,*line"}));
  EXPECT_FALSE(matchesFilter(entity("TEXT", L"hojo2"), kTypeAndLayers, excluding(L"HOJO*")));
  EXPECT_FALSE(matchesFilter(entity("TEXT", L"ＨＯＪＯ"), kTypeAndLayers, excluding(L"ｈｏｊｏ")));
  EXPECT_TRUE(wildcardMatch(L"Façade", L"FAÇADE"));
}

TEST(StandinFilter, EmptyExcludedPatternExcludesNothing) {
  const auto values = excluding(L"");
  EXPECT_TRUE(matchesFilter(entity("TEXT", L"HOJO"), kTypeAndLayers, values));
  EXPECT_TRUE(matchesFilter(entity("LINE", L"0"), kTypeAndLayers, values));
  EXPECT_FALSE(wildcardMatch(L"", L"0"));
  EXPECT_TRUE(wildcardMatch(L"", L""));
}

TEST(StandinFilter, NoFilterSelectsEverything) {
  EXPECT_TRUE(matchesFilter(entity("CIRCLE"), {}, {}));
}

TEST(StandinFilter, JapaneseLayerNames) {
  EXPECT_FALSE(matchesFilter(entity("TEXT", L"補助線"), kTypeAndLayers, excluding(L"補助*,除外*")));
  EXPECT_TRUE(matchesFilter(entity("TEXT", L"表"), kTypeAndLayers, excluding(L"補助*,除外*")));
}

TEST(StandinFilter, NestedAndOrXor) {
  const std::vector<short> codes = {-4, 0, 0, -4, -4, 8, -4};
  const std::vector<std::wstring> values = {L"<OR", L"CIRCLE", L"ARC", L"OR>", L"<NOT", L"HIDDEN", L"NOT>"};
  EXPECT_TRUE(matchesFilter(entity("ARC", L"0"), codes, values));
  EXPECT_FALSE(matchesFilter(entity("ARC", L"HIDDEN"), codes, values));
  EXPECT_FALSE(matchesFilter(entity("LINE", L"0"), codes, values));

  const std::vector<short> xorCodes = {-4, 0, 8, -4};
  const std::vector<std::wstring> xorValues = {L"<XOR", L"LINE", L"A", L"XOR>"};
  EXPECT_TRUE(matchesFilter(entity("LINE", L"B"), xorCodes, xorValues));
  EXPECT_FALSE(matchesFilter(entity("LINE", L"A"), xorCodes, xorValues));
  EXPECT_TRUE(matchesFilter(entity("TEXT", L"A"), xorCodes, xorValues));
}

TEST(StandinFilter, ColourWithRelationalOperatorAndByLayerDefault) {
  Entity red = entity("LINE");
  red.groups = {{0, "LINE"}, {8, "0"}, {62, "     1"}};
  const Entity byLayer = entity("LINE");
  EXPECT_TRUE(matchesFilter(red, {62}, {L"1"}));
  EXPECT_FALSE(matchesFilter(byLayer, {62}, {L"1"}));
  EXPECT_TRUE(matchesFilter(byLayer, {-4, 62}, {L">=", L"256"}));
  EXPECT_FALSE(matchesFilter(red, {-4, 62}, {L">", L"1"}));
}

TEST(StandinFilter, AStrayOperatorDoesNotEndTheFilter) {
  // Conditions after an empty or unknown -4 entry still count.
  EXPECT_FALSE(matchesFilter(entity("CIRCLE"), {-4, 0}, {L"", L"LINE"}));
  EXPECT_FALSE(matchesFilter(entity("CIRCLE"), {-4, 0}, {L"NOT>", L"LINE"}));
  EXPECT_TRUE(matchesFilter(entity("LINE"), {-4, 0}, {L"", L"LINE"}));
}

TEST(StandinFilter, ValidityOfOperators) {
  std::string error;
  EXPECT_TRUE(isValidFilter(kTypeAndLayers, excluding(L"HOJO*"), &error)) << error;
  EXPECT_FALSE(isValidFilter({0, -4, 8}, {L"TEXT", L"<NOT", L"A"}, &error));
  EXPECT_NE(error.find("not closed"), std::string::npos);
  EXPECT_FALSE(isValidFilter({-4, 8, -4}, {L"<NOT", L"A", L"OR>"}, &error));
  EXPECT_FALSE(isValidFilter({0, 8}, {L"TEXT"}, &error));
  EXPECT_FALSE(isValidFilter({-4}, {L"<NAND"}, &error));
  EXPECT_FALSE(isValidFilter({-4}, {L">"}, &error));
}

TEST(StandinWildcard, SingleCharacterClasses) {
  EXPECT_TRUE(wildcardMatch(L"A#", L"A7"));
  EXPECT_FALSE(wildcardMatch(L"A#", L"AB"));
  EXPECT_TRUE(wildcardMatch(L"@1", L"x1"));
  EXPECT_FALSE(wildcardMatch(L"@1", L"71"));
  EXPECT_TRUE(wildcardMatch(L"A.B", L"A-B"));
  EXPECT_FALSE(wildcardMatch(L"A.B", L"AXB"));
  EXPECT_TRUE(wildcardMatch(L"A?C", L"A表C"));
  EXPECT_FALSE(wildcardMatch(L"A?C", L"AC"));
}

TEST(StandinWildcard, StarsBacktrack) {
  EXPECT_TRUE(wildcardMatch(L"*LINE", L"LWPOLYLINE"));
  EXPECT_TRUE(wildcardMatch(L"*L*NE*", L"LINELINE"));
  EXPECT_TRUE(wildcardMatch(L"A*B*C", L"AXBYBZC"));
  EXPECT_FALSE(wildcardMatch(L"A*B*C", L"AXBYBZ"));
  EXPECT_TRUE(wildcardMatch(L"*", L""));
  EXPECT_TRUE(wildcardMatch(L"**", L"anything"));
}

TEST(StandinWildcard, BracketsRangesAndNegation) {
  EXPECT_TRUE(wildcardMatch(L"LAYER[123]", L"layer2"));
  EXPECT_FALSE(wildcardMatch(L"LAYER[123]", L"layer4"));
  EXPECT_TRUE(wildcardMatch(L"[A-C]X", L"bx"));
  EXPECT_FALSE(wildcardMatch(L"[A-C]X", L"DX"));
  EXPECT_TRUE(wildcardMatch(L"[~A-C]X", L"DX"));
  EXPECT_FALSE(wildcardMatch(L"[~A-C]X", L"AX"));
  EXPECT_TRUE(wildcardMatch(L"A[B", L"A[B"));  // no closing bracket: a plain character
}

TEST(StandinWildcard, TildeNegatesAnAlternativeAndBackquoteEscapes) {
  EXPECT_TRUE(wildcardMatch(L"~HOJO*", L"TABLE"));
  EXPECT_FALSE(wildcardMatch(L"~HOJO*", L"HOJO1"));
  EXPECT_TRUE(wildcardMatch(L"`*A", L"*A"));
  EXPECT_FALSE(wildcardMatch(L"`*A", L"XA"));
  EXPECT_TRUE(wildcardMatch(L"A`,B", L"A,B"));
  EXPECT_FALSE(wildcardMatch(L"A`,B", L"A"));
  EXPECT_TRUE(wildcardMatch(L"X,A", L"A"));
  EXPECT_TRUE(wildcardMatch(L"X,", L""));
}

}  // namespace
