#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Caught.h"
#include "vexlo9/output/NamespaceAliasMap.h"
#include "vexlo9/output/detail/NamespaceMap.h"
#include "vexlo9/output/detail/NamespaceUtilsCls.h"
#include "vexlo9/platform/XmlDom.h"

namespace vexlo9::testing {
namespace {

using detail::NamespaceMap;
using detail::NamespaceUtilsCls;

std::string Entries(const NamespaceMap& map) {
  std::string text;
  for (const detail::Namespace& ns : map) text += ns.Prefix() + "=" + ns.NamesapceUrl() + " ";
  return text;
}

TEST(NamespaceMap, KeepsItsOwnEntriesInOrderComparedCaseSensitively) {
  NamespaceMap map;
  detail::Namespace original("p", "urn:X");
  map.Add(original);
  original.Prefix("changed");
  map.AddNamespace("P", "urn:x");
  map.AddNamespace("p", "urn:y");  // prefixes may repeat
  EXPECT_EQ(Entries(map), "p=urn:X P=urn:x p=urn:y ");
  EXPECT_EQ(map.Item("urn:x").Prefix(), "P");
  EXPECT_EQ(ErrorText([&] { map.Item("urn:b"); }), "5 NamespaceMap: Invalid procedure call or argument [urn:b]");

  // Truncate keeps the oldest entries and never grows the map; dropped keys may come back.
  map.Truncate(1);
  EXPECT_FALSE(map.Exists("urn:x"));
  map.AddNamespace("d", "urn:d");
  map.Truncate(5);
  map.AddNamespace("P", "urn:x");
  EXPECT_EQ(Entries(map), "p=urn:X d=urn:d P=urn:x ");
}

TEST(NamespaceMap, FreePrefixIsTheFirstTwoLetterNameNotInScope) {
  std::vector<std::string> allTwoLetter;
  for (char first = 'A'; first <= 'Z'; ++first) {
    for (char second = 'A'; second <= 'Z'; ++second) allTwoLetter.push_back({first, second});
  }
  const struct {
    std::vector<std::string> inScope;
    const char* expected;
  } cases[] = {
      {{}, "AA"},
      {{"AA", "AC"}, "AB"},  // a gap is filled
      {{"aa", "Aa"}, "AA"},  // prefixes compare case-sensitively
      {{allTwoLetter.begin(), allTwoLetter.begin() + 26}, "BA"},
      {allTwoLetter, "AAA"},
  };
  for (const auto& c : cases) {
    NamespaceMap scope;
    for (const std::string& prefix : c.inScope) scope.AddNamespace(prefix, "urn:" + prefix);
    EXPECT_EQ(detail::FreePrefix(scope), c.expected);
  }
}

std::string Entries(const NamespaceAliasMap& map) {
  std::string text;
  for (const auto& entry : map) text += entry->NamespaceAlias() + "=" + entry->NamespaceURI() + " ";
  return text;
}

TEST(NamespaceAliasMap, ItemAndRemoveTakeAOneBasedPositionOfAnyNumericKindOrAUri) {
  auto map = detail::NewNamespaceAliasMap();
  for (const char* name : {"a", "b", "c"}) map->Add(std::string("urn:") + name, "x");
  const auto first = map->Item(Variant(int32_t{1}));
  for (const char* name : {"a", "b", "c"}) map->Add(std::string("urn:") + name, name);  // known URIs: in place
  EXPECT_EQ(first->NamespaceAlias(), "a");
  EXPECT_TRUE(map->NamespaceAliasExists("a") && !map->NamespaceAliasExists("A"));
  const std::string outside = "9 NamespaceAliasMap.Item: Subscript out of range";
  const struct {
    Variant index;
    std::string item;  // the alias, or the error Item and Remove raise
  } cases[] = {
      {Variant(int16_t{3}), "c"},
      {Variant(2.5f), "b"},
      {Variant(2.6), "c"},
      {Variant("urn:b"), "b"},
      {Variant(int32_t{4}), outside},
      {Variant(0.4), outside},
      {Variant("1"), "5 NamespaceAliasMap.Item: Invalid procedure call or argument [1]"},
      {Variant("URN:A"), "5 NamespaceAliasMap.Item: Invalid procedure call or argument [URN:A]"},
      {Variant(), "13 NamespaceAliasMap.Item: Type mismatch"},
  };
  for (size_t row = 0; row < std::size(cases); ++row) {
    const auto& c = cases[row];
    SCOPED_TRACE(::testing::Message() << "row " << row + 1);
    std::string item;
    const std::string error = ErrorText([&] { item = map->Item(c.index)->NamespaceAlias(); });
    EXPECT_EQ(error == "no error" ? item : error, c.item);
    if (error != "no error") {
      std::string fromRemove = error;
      EXPECT_EQ(ErrorText([&] { map->Remove(c.index); }), fromRemove.replace(error.find(".Item:"), 6, ".Remove:"));
    }
  }
  EXPECT_EQ(Entries(*map), "a=urn:a b=urn:b c=urn:c ");
  map->Remove(Variant(int32_t{2}));
  map->Remove(Variant("urn:a"));
  map->Add("urn:a", "again");  // a removed URI comes back as a new entry
  EXPECT_EQ(Entries(*map), "c=urn:c again=urn:a ");
}

TEST(NamespaceUtilsCls, RecognisesDeclarationsReservedSchemaInstanceAttributesAndNil) {
  XmlDocument doc;
  ASSERT_TRUE(doc.loadXML(
      "<r xmlns=\"urn:d\" xmlns:p=\"urn:p\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
      " xmlns:i2=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"T\" xsi:schemaLocation=\"urn:d d.xsd\""
      " i2:noNamespaceSchemaLocation=\"n.xsd\" xsi:nil=\"true\" xsi:other=\"1\" plain=\"1\" p:q=\"2\" xml:lang=\"en\""
      " p:type=\"3\" p:nil=\"4\" type=\"5\" nil=\"6\" XMLNS=\"7\"><c i2:nil=\"false\"/></r>"));
  std::string declarations;
  std::string nils;
  const XmlNode root = doc.documentElement();
  for (const XmlNode element : {root, root.firstChild()}) {
    for (const XmlAttribute attr : element.attributes()) {
      if (NamespaceUtilsCls::IsNamespaceAttribute(attr)) declarations += attr.name() + " ";
      if (NamespaceUtilsCls::IsNilAttribute(attr)) nils += attr.name() + " ";
    }
  }
  // Reserved names count only in the schema-instance namespace, under any prefix, and compare case-sensitively.
  EXPECT_EQ(declarations, "xmlns xmlns:p xmlns:xsi xmlns:i2 xsi:type xsi:schemaLocation i2:noNamespaceSchemaLocation ");
  // Plain "xmlns" is no nil candidate: readers ask IsNamespaceAttribute first.
  EXPECT_EQ(nils, "xmlns:p xmlns:xsi xmlns:i2 xsi:nil i2:nil ");
  EXPECT_FALSE(NamespaceUtilsCls::IsNamespaceAttribute({}) || NamespaceUtilsCls::IsNilAttribute({}));
}

}  // namespace
}  // namespace vexlo9::testing
