#include "vexlo9/output/NamespaceAliasMap.h"

#include <gtest/gtest.h>

#include "vexlo9/platform/Error.h"

#include <string>
#include <vector>

namespace vexlo9 {
namespace {

std::vector<std::string> Entries(const NamespaceAliasMap& map) {
  std::vector<std::string> entries;
  for (const auto& entry : map) entries.push_back(entry->NamespaceAlias() + "=" + entry->NamespaceURI());
  return entries;
}

std::shared_ptr<NamespaceAliasMap> MapOf(const std::vector<std::pair<std::string, std::string>>& uriAlias) {
  auto map = detail::NewNamespaceAliasMap();
  for (const auto& [uri, alias] : uriAlias) map->Add(uri, alias);
  return map;
}

TEST(NamespaceAliasMap, AddingAKnownUriReplacesItsAliasInPlace) {
  auto map = detail::NewNamespaceAliasMap();
  EXPECT_TRUE(map->Add("urn:a", "a").IsEmpty());
  EXPECT_TRUE(map->Add("urn:b", "b").IsEmpty());
  auto first = map->Item(Variant(int32_t{1}));
  EXPECT_TRUE(map->Add("urn:a", "c").IsEmpty());
  EXPECT_EQ(Entries(*map), (std::vector<std::string>{"c=urn:a", "b=urn:b"}));
  EXPECT_EQ(first->NamespaceAlias(), "c");  // the same entry, changed
}

TEST(NamespaceAliasMap, KeysAreCaseSensitiveAndAliasesUnchecked) {
  auto map = MapOf({{"urn:A", "x"}, {"urn:a", "x"}, {"urn:e", ""}});
  EXPECT_EQ(Entries(*map), (std::vector<std::string>{"x=urn:A", "x=urn:a", "=urn:e"}));
  EXPECT_TRUE(map->NamespaceURIExists("urn:A"));
  EXPECT_FALSE(map->NamespaceURIExists("URN:a"));
  EXPECT_TRUE(map->NamespaceAliasExists(""));
  EXPECT_TRUE(map->NamespaceAliasExists("x"));
  EXPECT_FALSE(map->NamespaceAliasExists("X"));
  EXPECT_EQ(map->Item(Variant("urn:a")), map->Item(Variant(int32_t{2})));
}

TEST(NamespaceAliasMap, ItemTakesAPositionOfAnyNumericKindOrAUri) {
  auto map = MapOf({{"urn:a", "a"}, {"urn:b", "b"}, {"urn:c", "c"}});
  const struct {
    Variant index;
    const char* alias;
  } cases[] = {
      {Variant(int32_t{1}), "a"}, {Variant(int16_t{3}), "c"}, {Variant(uint8_t{2}), "b"},
      {Variant(2.4), "b"},        {Variant(2.5f), "b"},       {Variant(2.6), "c"},
      {Variant("urn:b"), "b"},    {Variant("urn:c"), "c"},
  };
  for (const auto& c : cases) EXPECT_EQ(map->Item(c.index)->NamespaceAlias(), c.alias) << c.index.ToString();
}

TEST(NamespaceAliasMap, ItemAndRemoveOutsideTheMapRaiseAndChangeNothing) {
  const struct {
    Variant index;
    int32_t number;
    const char* description;
  } cases[] = {
      {Variant(int32_t{0}), 9, "Subscript out of range"},
      {Variant(int32_t{3}), 9, "Subscript out of range"},
      {Variant(int32_t{-1}), 9, "Subscript out of range"},
      {Variant(0.4), 9, "Subscript out of range"},
      {Variant(true), 9, "Subscript out of range"},
      {Variant("1"), 5, "Invalid procedure call or argument [1]"},
      {Variant("URN:A"), 5, "Invalid procedure call or argument [URN:A]"},
      {Variant(), 13, "Type mismatch"},
      {Variant::Nothing(), 13, "Type mismatch"},
  };
  auto map = MapOf({{"urn:a", "a"}, {"urn:b", "b"}});
  for (const auto& c : cases) {
    for (const char* member : {"Item", "Remove"}) {
      try {
        if (std::string(member) == "Item") map->Item(c.index);
        else map->Remove(c.index);
        ADD_FAILURE() << member << " raised nothing";
      } catch (const Error& e) {
        EXPECT_EQ(e.Number(), c.number) << member;
        EXPECT_EQ(e.Source(), std::string("NamespaceAliasMap.") + member);
        EXPECT_EQ(e.Description(), c.description);
      }
    }
  }
  EXPECT_EQ(Entries(*map), (std::vector<std::string>{"a=urn:a", "b=urn:b"}));
}

TEST(NamespaceAliasMap, RemoveByPositionOrUri) {
  auto map = MapOf({{"urn:a", "a"}, {"urn:b", "b"}, {"urn:c", "c"}, {"urn:d", "d"}});
  map->Remove(Variant(int32_t{2}));
  EXPECT_EQ(Entries(*map), (std::vector<std::string>{"a=urn:a", "c=urn:c", "d=urn:d"}));
  map->Remove(Variant("urn:d"));
  EXPECT_EQ(Entries(*map), (std::vector<std::string>{"a=urn:a", "c=urn:c"}));
  map->Remove(Variant(int32_t{1}));
  map->Remove(Variant("urn:c"));
  EXPECT_EQ(map->Count(), 0);
  map->Add("urn:a", "again");  // a removed URI is a new entry
  EXPECT_EQ(Entries(*map), (std::vector<std::string>{"again=urn:a"}));
}

TEST(NamespaceAliasMap, AnswersItsMembersByName) {
  auto map = detail::NewNamespaceAliasMap();
  std::vector<Variant> add = {Variant("urn:p"), Variant("p")};
  EXPECT_TRUE(map->Invoke("Add", add).IsEmpty());
  std::vector<Variant> exists = {Variant("p")};
  EXPECT_TRUE(map->Invoke("NamespaceAliasExists", exists).ToBoolean());
  exists = {Variant("urn:q")};
  EXPECT_FALSE(map->Invoke("NamespaceURIExists", exists).ToBoolean());
  EXPECT_EQ(map->GetProperty("Count").ToLong(), 1);

  std::vector<Variant> index = {Variant(int32_t{1})};
  ObjectPtr entry = map->Invoke("Item", index).ToObject();
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->TypeName(), "NamespaceMapEntry");
  EXPECT_EQ(entry->GetProperty("NamespaceAlias").ToString(), "p");
  EXPECT_EQ(entry->GetProperty("NamespaceURI").ToString(), "urn:p");
  EXPECT_EQ(map->TypeName(), "NamespaceAliasMap");

  std::vector<Variant> tooFew = {Variant("urn:p")};
  try {
    map->Invoke("Add", tooFew);
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 450);
  }
  map->Invoke("Remove", index);
  EXPECT_EQ(map->Count(), 0);
}

}  // namespace
}  // namespace vexlo9
