// Repeated particles: the collection descriptors and the collection of generated objects.
#include <gtest/gtest.h>

#include "support/Caught.h"
#include "serialization/ScriptedClasses.h"
#include "vexlo9/collections/XmlGeneratedClassCol.h"

namespace vexlo9::testing {
namespace {

// An item with one integer element.
class Entry : public Bag {
 public:
  explicit Entry(std::string name) : Bag(std::move(name)) {
    Info().AddElmSeqPrimMnd("v", "", "V", type_i4, "", WhitespaceRule_Collapse, "", -1, -1, "", "", "", "", -1);
    props = {{"V", Variant()}};
  }
};

using EntryCol = XmlGeneratedClassCol<Entry>;

std::shared_ptr<Bag> NewList(XmlGroupType group, int32_t minOccurs, int32_t maxOccurs,
                             std::shared_ptr<EntryCol>& entries) {
  auto list = std::make_shared<Bag>("list");
  list->Info().GroupType(group);
  switch (group) {
    case XmlGroupType::Sequence: list->Info().AddElmSeqClsCol("e", "", "Entries", XmlElementType::Element); break;
    case XmlGroupType::Choice: list->Info().AddElmChoiceClsCol("e", "", "Entries", XmlElementType::Element); break;
    case XmlGroupType::All: list->Info().AddElmAllClsCol("e", "", "Entries", XmlElementType::Element); break;
  }
  entries = std::make_shared<EntryCol>("e", "", minOccurs, maxOccurs);
  list->props = {{"Entries", Variant(entries)}};
  list->onInit = [collection = entries.get()] { collection->Clear(); };
  return list;
}

TEST(ClassCollections, ReadAndWriteARun) {
  std::shared_ptr<EntryCol> entries;
  auto list = NewList(XmlGroupType::Sequence, 0, -1, entries);
  int changes = 0;
  entries->OnCollectionChange().Connect([&] { ++changes; });
  Read(*list, "<list><e><v>1</v></e><e><v>2</v></e><e><v>3</v></e></list>");
  ASSERT_EQ(entries->Count(), 3);
  EXPECT_EQ(entries->Item(3)->props["V"], Variant(int32_t{3}));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Write(*list), "<list><e><v>1</v></e><e><v>2</v></e><e><v>3</v></e></list>");
  EXPECT_EQ(entries->GetProperty("Count"), Variant(int32_t{3}));
  EXPECT_EQ(Catch([&] { entries->Item(4); }).number, 9);
  entries->Remove(1);
  EXPECT_EQ(entries->Item(1)->props["V"], Variant(int32_t{2}));
  entries->Clear();
  EXPECT_EQ(Write(*list), "<list/>") << "an empty collection writes nothing";
}

TEST(ClassCollections, SequenceCountsAreCheckedAfterReadingAndBeforeWriting) {
  std::shared_ptr<EntryCol> entries;
  auto list = NewList(XmlGroupType::Sequence, 1, 2, entries);
  const Caught few = Catch([&] { Read(*list, "<list/>"); });
  EXPECT_EQ(few.number, 107);
  EXPECT_EQ(few.source, "XmlCollectionBase_ValidateCount");
  EXPECT_EQ(
      few.description,
      "Failed to process the element [list]\r\nThe Minimum number of [e] elements allowed in this collection is 1");
  const Caught many = Catch([&] { Read(*list, "<list><e><v>1</v></e><e><v>2</v></e><e><v>3</v></e></list>"); });
  EXPECT_EQ(many.number, 107);
  EXPECT_EQ(
      many.description,
      "Failed to process the element [list]\r\nThe Maximum number of [e] elements allowed in this collection is 2");

  auto lenient = NewContext();
  lenient->IgnoreInvalidCollectionCounts(true);
  Read(*list, "<list/>", lenient);
  EXPECT_EQ(entries->Count(), 0);

  const Caught writing = Catch([&] { Write(*list); });
  EXPECT_EQ(writing.number, 107);
  EXPECT_EQ(writing.source, "Vexlo9");
  EXPECT_EQ(writing.description,
            "Failed to convert the element [list] to XML\r\nThe Minimum number of [e] elements allowed in this "
            "collection is 1");
  EXPECT_EQ(Write(*list, lenient), "<list/>");
}

TEST(ClassCollections, ChoiceCollectionThatReadsNothingIsNotTheChosenBranch) {
  std::shared_ptr<EntryCol> entries;
  auto list = NewList(XmlGroupType::Choice, 1, -1, entries);
  list->Info().AddElmChoicePrimOpt("alt", "", "Alt", "AltValid", type_string, "", WhitespaceRule_Preserve, "", -1, -1,
                                   "", "", "", "", -1);
  list->props["Alt"] = Variant();
  list->props["AltValid"] = Variant(false);
  const auto& descriptor = list->Info().HiddenElements().Item(1);
  EXPECT_EQ(descriptor->Traits().property, "Entries");

  Read(*list, "<list><alt>x</alt></list>");
  EXPECT_EQ(entries->Count(), 0) << "no count error: the other branch was chosen";
  EXPECT_EQ(list->props["Alt"], Variant("x"));
  Read(*list, "<list><e><v>1</v></e></list>");
  EXPECT_EQ(entries->Count(), 1);

  // The emptiness test reads the bounds of the collection its traits name.
  std::shared_ptr<EntryCol> optional;
  auto onlyCollection = NewList(XmlGroupType::Choice, 0, -1, optional);
  Read(*onlyCollection, "<list/>");
  std::shared_ptr<EntryCol> required;
  auto strict = NewList(XmlGroupType::Choice, 1, -1, required);
  EXPECT_EQ(Catch([&] { Read(*strict, "<list/>"); }).number, 157);
}

TEST(ClassCollections, AllGroupCountIsJudgedOnceByValidate) {
  std::shared_ptr<EntryCol> entries;
  auto list = NewList(XmlGroupType::All, 2, -1, entries);
  list->Info().AddElmAllPrimOpt("x", "", "X", "XValid", type_string, "", WhitespaceRule_Preserve, "", -1, -1, "", "",
                                "", "", -1);
  list->props["X"] = Variant();
  list->props["XValid"] = Variant(false);
  Read(*list, "<list><e><v>1</v></e><x>a</x><e><v>2</v></e></list>");
  EXPECT_EQ(entries->Count(), 2) << "both runs read into the one collection";
  const Caught e = Catch([&] { Read(*list, "<list><x>a</x><e><v>1</v></e></list>"); });
  EXPECT_EQ(e.number, 107);

  XmlSerializationContext context;
  const auto& descriptor = list->Info().HiddenElements().Item(1);
  EXPECT_FALSE(descriptor->Validate(context, *list, false, false)) << "swallowed when not told to raise";
  context.IgnoreInvalidCollectionCounts(true);
  EXPECT_TRUE(descriptor->Validate(context, *list, false, true));
}

TEST(ClassCollections, PseudoElementItemsReadWhileTheyConsume) {
  class Pair : public Bag {
   public:
    explicit Pair(std::string name) : Bag(std::move(name)) {
      Info().ElementType(XmlElementType::PseudoElement);
      Info().AddElmSeqPrimMnd("k", "", "K", type_string, "", WhitespaceRule_Preserve, "", -1, -1, "", "", "", "", -1);
      Info().AddElmSeqPrimMnd("v", "", "V", type_string, "", WhitespaceRule_Preserve, "", -1, -1, "", "", "", "", -1);
      props = {{"K", Variant()}, {"V", Variant()}};
    }
  };
  auto pairs = std::make_shared<XmlGeneratedClassCol<Pair>>("pair", "", 0, -1, XmlElementType::PseudoElement);
  auto map = std::make_shared<Bag>("map");
  map->Info().AddElmSeqClsCol("pair", "", "Pairs", XmlElementType::PseudoElement);
  map->Info().AddElmSeqPrimOpt("end", "", "End", "EndValid", type_string, "", WhitespaceRule_Preserve, "", -1, -1, "",
                               "", "", "", -1);
  map->props = {{"Pairs", Variant(pairs)}, {"End", Variant()}, {"EndValid", Variant(false)}};
  Read(*map, "<map><k>a</k><v>1</v><k>b</k><v>2</v><end>.</end></map>");
  ASSERT_EQ(pairs->Count(), 2);
  EXPECT_EQ(pairs->Item(2)->props["K"], Variant("b"));
  EXPECT_EQ(map->props["End"], Variant("."));
  map->props["EndValid"] = Variant(true);
  EXPECT_EQ(Write(*map), "<map><k>a</k><v>1</v><k>b</k><v>2</v><end>.</end></map>");
}

TEST(CollectionDescriptors, CheckRestrictionIsALogicError) {
  ClassInfo info;
  info.AddElmSeqPrimCol("a", "", "A");
  info.AddElmChoiceEnumCol("b", "", "B");
  info.AddElmAllAbsClsCol("c", "", "C", XmlElementType::Element);
  const char* sources[] = {"ElementInfoSeqPrimCol.CheckRestriction", "ElementInfoChoiceEnumCol.CheckRestriction",
                           "ElementInfoAllAbsClsCol.CheckRestriction"};
  for (int16_t i = 1; i <= 3; ++i) {
    const Caught e = Catch([&] { info.CheckElementRestriction(i, Variant(1)); });
    EXPECT_EQ(e.number, 110);
    EXPECT_EQ(e.source, sources[i - 1]);
    EXPECT_EQ(e.description, "Program Logic Error, Sub should never be called");
  }
}

}  // namespace
}  // namespace vexlo9::testing
