#include "vexlo9/output/detail/NamespaceMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vexlo9/platform/Error.h"

namespace vexlo9::detail {
namespace {

std::vector<std::string> Entries(const NamespaceMap& map) {
  std::vector<std::string> entries;
  for (const Namespace& ns : map) entries.push_back(ns.Prefix() + "=" + ns.NamesapceUrl());
  return entries;
}

NamespaceMap MapWithPrefixes(const std::vector<std::string>& prefixes) {
  NamespaceMap map;
  for (const std::string& prefix : prefixes) map.AddNamespace(prefix, "urn:" + prefix);
  return map;
}

TEST(NamespaceMap, KeepsInsertionOrderAndCopiesEntries) {
  NamespaceMap map;
  Namespace original("p", "urn:p");
  const Namespace& added = map.Add(original);
  original.Prefix("changed");
  EXPECT_EQ(added.Prefix(), "p");
  map.AddNamespace("b", "urn:b");
  map.AddNamespace("a", "urn:a");
  EXPECT_EQ(Entries(map), (std::vector<std::string>{"p=urn:p", "b=urn:b", "a=urn:a"}));
  EXPECT_EQ(map.Count(), 3);
  EXPECT_EQ(map.Item("urn:b").Prefix(), "b");

  NamespaceMap copy = map;
  copy.AddNamespace("c", "urn:c");
  EXPECT_EQ(map.Count(), 3);
}

TEST(NamespaceMap, LooksUpUrisAndPrefixesCaseSensitively) {
  NamespaceMap map;
  map.AddNamespace("p", "urn:X");
  map.AddNamespace("P", "urn:x");  // a different key
  map.AddNamespace("p", "urn:y");  // prefixes may repeat
  EXPECT_EQ(map.Count(), 3);
  EXPECT_EQ(map.Item("urn:x").Prefix(), "P");
  EXPECT_TRUE(map.Exists("urn:X"));
  EXPECT_FALSE(map.Exists("URN:x"));
  EXPECT_TRUE(map.NamespaceAliasExists("P"));
  EXPECT_FALSE(map.NamespaceAliasExists("q"));
  EXPECT_EQ(map.Find("urn:z"), nullptr);
}

TEST(NamespaceMap, RejectsADuplicateUriAndAnUnknownItem) {
  NamespaceMap map;
  map.AddNamespace("a", "urn:a");
  try {
    map.Add(Namespace("b", "urn:a"));
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 457);
    EXPECT_EQ(e.Source(), "NamespaceMap");
    EXPECT_EQ(e.Description(), "This key is already associated with an element of this collection [urn:a]");
  }
  EXPECT_EQ(Entries(map), (std::vector<std::string>{"a=urn:a"}));
  try {
    map.Item("urn:b");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 5);
    EXPECT_EQ(e.Source(), "NamespaceMap");
    EXPECT_EQ(e.Description(), "Invalid procedure call or argument [urn:b]");
  }
}

TEST(NamespaceMap, TruncateDropsTheNewestEntriesAndReusesTheirSlots) {
  NamespaceMap map = MapWithPrefixes({"a", "b", "c"});
  map.Truncate(1);
  EXPECT_EQ(Entries(map), (std::vector<std::string>{"a=urn:a"}));
  EXPECT_FALSE(map.Exists("urn:b"));
  EXPECT_FALSE(map.NamespaceAliasExists("c"));
  map.AddNamespace("d", "urn:d");
  map.Truncate(5);  // never grows
  map.Truncate(-1);
  EXPECT_EQ(Entries(map), (std::vector<std::string>{"a=urn:a", "d=urn:d"}));
  map.AddNamespace("b", "urn:b");  // dropped keys may come back
  EXPECT_EQ(map.Count(), 3);
}

TEST(NamespaceMap, FreePrefixIsTheFirstTwoLetterNameNotInScope) {
  std::vector<std::string> allTwoLetter;
  for (char first = 'A'; first <= 'Z'; ++first) {
    for (char second = 'A'; second <= 'Z'; ++second) allTwoLetter.push_back({first, second});
  }
  std::vector<std::string> firstRow(allTwoLetter.begin(), allTwoLetter.begin() + 26);
  std::vector<std::string> allButYZ = allTwoLetter;
  allButYZ.erase(allButYZ.begin() + 24 * 26 + 25);
  std::vector<std::string> withThreeLetters = allTwoLetter;
  withThreeLetters.insert(withThreeLetters.end(), {"AAA", "AAB"});

  const struct {
    const char* what;
    std::vector<std::string> inScope;
    const char* expected;
  } cases[] = {
      {"empty scope", {}, "AA"},
      {"only xml", {"xml"}, "AA"},
      {"AA and AB used", {"AA", "AB"}, "AC"},
      {"a gap is reused", {"AA", "AC"}, "AB"},
      {"only AB used", {"AB"}, "AA"},
      {"prefixes compare case-sensitively", {"aa", "Aa"}, "AA"},
      {"first row used", firstRow, "BA"},
      {"all but YZ used", allButYZ, "YZ"},
      {"every two-letter name used", allTwoLetter, "AAA"},
      {"beyond that, three letters in order", withThreeLetters, "AAC"},
  };
  for (const auto& c : cases) EXPECT_EQ(FreePrefix(MapWithPrefixes(c.inScope)), c.expected) << c.what;
}

}  // namespace
}  // namespace vexlo9::detail
