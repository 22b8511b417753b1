// Enumerated elements, element wildcards and repeated wildcards, declared through ClassInfo as generated code does.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "support/Caught.h"
#include "serialization/ScriptedClasses.h"
#include "vexlo9/collections/Element.h"
#include "vexlo9/serialization/detail/ElementInfoUntyped.h"

namespace vexlo9::testing {
namespace {

constexpr const char* kWrapped = "Failed to process the element [r]\r\n";

// The generated project's factory: only its enumeration converter is used here.
class Factory : public Object {
 public:
  // "small" <-> 1, "large" <-> 2; records what it was handed.
  class Converter : public Object {
   public:
    Variant Invoke(std::string_view name, std::span<Variant> args) override {
      calls.push_back(std::string(name) + "(" + args[0].ToString() + ")");
      if (name == "SizeToString") {
        if (args[0].kind() != Variant::Kind::Long) throw Error(5, "SizeToString", "not a Long");
        return Variant(args[0].ToLong() == 1 ? "small" : "large");
      }
      if (name == "SizeFromString") {
        const std::string text = args[0].ToString();
        if (text == "small") return Variant(int32_t{1});
        if (text == "large") return Variant(int32_t{2});
        throw Error(380, "SizeFromString", "bad size [" + text + "]");
      }
      return Object::Invoke(name, args);
    }
    std::vector<std::string> calls;
  };

  Variant GetProperty(std::string_view name) override {
    if (name == "EnumConverter") {
      ++fetches;
      return Variant(converter);
    }
    return Object::GetProperty(name);
  }

  std::shared_ptr<Converter> converter = std::make_shared<Converter>();
  int fetches = 0;
};

std::shared_ptr<Bag> NewEnumBag(XmlGroupType group, std::shared_ptr<Factory>& factory) {
  auto bag = std::make_shared<Bag>("r");
  bag->Info().GroupType(group);
  factory = std::make_shared<Factory>();
  bag->Info().ClassFactory(factory);
  return bag;
}

// ---- enumerations

TEST(EnumElements, ReadAndWriteThroughTheConverter) {
  std::shared_ptr<Factory> factory;
  auto bag = NewEnumBag(XmlGroupType::Sequence, factory);
  bag->Info().AddElmSeqEnumMnd("size", "urn:s", "Size", "SizeToString", "SizeFromString");
  bag->Info().AddElmSeqEnumOpt("alt", "", "Alt", "AltValid", "SizeToString", "SizeFromString");
  bag->props = {{"Size", Variant()}, {"Alt", Variant()}, {"AltValid", Variant(false)}};

  Read(*bag, R"(<r xmlns:s="urn:s"><s:size>large</s:size></r>)");
  EXPECT_EQ(bag->props["Size"], Variant(int32_t{2}));
  EXPECT_TRUE(bag->props["Alt"].IsEmpty()) << "an absent optional element is left alone";
  Read(*bag, R"(<r xmlns:s="urn:s"><s:size>small</s:size><alt>large</alt></r>)");
  EXPECT_EQ(bag->props["Alt"], Variant(int32_t{2}));
  EXPECT_EQ(bag->log.back(), "let Alt") << "the value is written, not assigned, and the flag is not touched";

  // The value goes to the converter as a 32-bit integer, whatever the property holds.
  bag->props["Size"] = Variant("1");
  bag->props["AltValid"] = Variant(false);
  EXPECT_EQ(Write(*bag), R"(<r><AA:size xmlns:AA="urn:s">small</AA:size></r>)");
  bag->props["AltValid"] = Variant(true);
  bag->props["Alt"] = Variant(int16_t{2});
  EXPECT_EQ(Write(*bag), R"(<r><AA:size xmlns:AA="urn:s">small</AA:size><alt>large</alt></r>)");
  // Fetched afresh for every element read or written.
  EXPECT_EQ(factory->fetches, 1 + 2 + 1 + 2);
}

TEST(EnumElements, MandatorySequenceElementSkipsAndIgnoresAsTheContextSays) {
  std::shared_ptr<Factory> factory;
  auto bag = NewEnumBag(XmlGroupType::Sequence, factory);
  bag->Info().AddElmSeqEnumMnd("size", "", "Size", "SizeToString", "SizeFromString");
  bag->props = {{"Size", Variant()}};

  const Caught e = Catch([&] { Read(*bag, "<r><x/><size>small</size></r>"); });
  EXPECT_EQ(e.number, 137);
  EXPECT_EQ(e.source, "Vexlo9");
  EXPECT_EQ(e.description, std::string(kWrapped) + "Failed to find a required element [size]");

  auto skip = NewContext();
  skip->IgnoreUnknownElements(true);
  Read(*bag, "<r><x/><y/><size>large</size></r>", skip);
  EXPECT_EQ(bag->props["Size"], Variant(int32_t{2}));
  EXPECT_EQ(Catch([&] { Read(*bag, "<r><x/></r>", skip); }).number, 137) << "skipped to the end: still missing";

  // Ignoring missing elements: true at once, cursor unchanged, nothing skipped.
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<r><x/><size>small</size></r>"));
  const auto& size = bag->Info().HiddenElements().Item(1);
  auto lenient = NewContext();
  lenient->IgnoreMissingMandatoryElements(true);
  lenient->IgnoreUnknownElements(true);
  XmlNode cursor = document.documentElement().firstChild();
  bag->props["Size"] = Variant();
  EXPECT_TRUE(size->ElementFromXml(*lenient, *bag, document.documentElement(), cursor, "", XmlElementType::Element));
  EXPECT_EQ(cursor, document.documentElement().firstChild());
  EXPECT_TRUE(bag->props["Size"].IsEmpty());

  // Under a pseudo-element parent an element that is not there is simply not this group's.
  XmlSerializationContext strict;
  EXPECT_FALSE(
      size->ElementFromXml(strict, *bag, document.documentElement(), cursor, "", XmlElementType::PseudoElement));
  XmlNode none;
  EXPECT_FALSE(size->ElementFromXml(strict, *bag, document.documentElement(), none, "", XmlElementType::PseudoElement));
  EXPECT_EQ(cursor, document.documentElement().firstChild());
}

TEST(EnumElements, ConverterFailuresPassThroughAndNothingIsAssigned) {
  std::shared_ptr<Factory> factory;
  auto bag = NewEnumBag(XmlGroupType::Sequence, factory);
  bag->Info().AddElmSeqEnumMnd("size", "", "Size", "SizeToString", "SizeFromString");
  bag->props = {{"Size", Variant(int32_t{1})}};
  const struct {
    std::string_view xml;
    std::string_view text;  // what the converter was handed
  } cases[] = {
      {"<r><size>medium</size></r>", "medium"},
      {"<r><size> small </size></r>", " small "},  // no whitespace rule applies
      {R"(<r><size xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:nil="true"/></r>)", ""},
  };
  for (const auto& c : cases) {
    bag->log.clear();
    const Caught e = Catch([&] { Read(*bag, c.xml); });
    EXPECT_EQ(e.number, 380) << c.xml;
    EXPECT_EQ(e.source, "SizeFromString");
    EXPECT_EQ(e.description, std::string(kWrapped) + "bad size [" + std::string(c.text) + "]");
    EXPECT_EQ(factory->converter->calls.back(), "SizeFromString(" + std::string(c.text) + ")");
    EXPECT_EQ(std::count(bag->log.begin(), bag->log.end(), "let Size"), 0) << c.xml;
  }
}

TEST(EnumElements, AllAndChoiceGroups) {
  std::shared_ptr<Factory> factory;
  auto all = NewEnumBag(XmlGroupType::All, factory);
  all->Info().AddElmAllEnumMnd("a", "", "A", "SizeToString", "SizeFromString");
  all->Info().AddElmAllEnumOpt("b", "", "B", "BValid", "SizeToString", "SizeFromString");
  all->props = {{"A", Variant()}, {"B", Variant()}, {"BValid", Variant(false)}};
  Read(*all, "<r><b>small</b><a>large</a></r>");
  EXPECT_EQ(all->props["A"], Variant(int32_t{2}));
  EXPECT_EQ(all->props["B"], Variant(int32_t{1}));
  const Caught e = Catch([&] { Read(*all, "<r><b>small</b></r>"); });
  EXPECT_EQ(e.number, 140);
  EXPECT_EQ(e.source, "Vexlo9");
  EXPECT_EQ(e.description, std::string(kWrapped) + "Failed to find the mandatory element [a]");
  Read(*all, "<r><a>small</a></r>");

  // Validate itself: the mandatory one answers whether it was read unless told to raise.
  XmlSerializationContext context;
  const auto& a = all->Info().HiddenElements().Item(1);
  const auto& b = all->Info().HiddenElements().Item(2);
  EXPECT_FALSE(a->Validate(context, *all, false, false));
  EXPECT_TRUE(a->Validate(context, *all, true, true));
  EXPECT_TRUE(b->Validate(context, *all, false, true));

  auto choice = NewEnumBag(XmlGroupType::Choice, factory);
  choice->Info().AddElmChoiceEnumOpt("x", "", "X", "XValid", "SizeToString", "SizeFromString");
  choice->Info().AddElmChoiceEnumOpt("y", "", "Y", "YValid", "SizeToString", "SizeFromString");
  choice->props = {{"X", Variant()}, {"XValid", Variant(false)}, {"Y", Variant()}, {"YValid", Variant(false)}};
  Read(*choice, "<r><y>large</y></r>");
  EXPECT_TRUE(choice->props["X"].IsEmpty());
  EXPECT_EQ(choice->props["Y"], Variant(int32_t{2}));
  choice->props["YValid"] = Variant(true);
  EXPECT_EQ(Write(*choice), "<r><y>large</y></r>");

  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<r><z/></r>"));
  XmlNode cursor = document.documentElement().firstChild();
  EXPECT_FALSE(choice->Info().HiddenElements().Item(1)->ElementFromXml(context, *choice, document.documentElement(),
                                                                       cursor, "", XmlElementType::Element));
  EXPECT_EQ(cursor, document.documentElement().firstChild());
}

// ---- wildcard elements

TEST(UntypedElements, WildcardElementNamespace) {
  const struct {
    std::string_view restriction, parent, target, expected;
  } cases[] = {
      {"##any", "urn:p", "urn:t", "urn:p"},
      {"##other", "", "urn:t", "DefaultNamespace"},
      {"##other", "urn:p", "urn:t", ""},
      {"##local", "urn:p", "urn:t", ""},
      {"##targetNamespace", "urn:p", "urn:t", "urn:t"},
      {"##targetNamespace urn:a", "urn:p", "urn:t", "urn:t"},
      {"##any urn:a", "urn:p", "urn:t", "urn:p"},
      {"urn:a ##targetNamespace", "urn:p", "urn:t", ""},
      {"urn:a", "urn:p", "urn:t", ""},
      {"##ANY", "urn:p", "urn:t", ""},
      {"##", "urn:p", "urn:t", ""},
      {"##unknown urn:a", "urn:p", "urn:t", ""},
      {"", "urn:p", "urn:t", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(detail::WildcardElementNamespace(c.restriction, c.parent, c.target), c.expected) << c.restriction;
  }
}

TEST(UntypedElements, OptionalWildcardOfAnyNameRoundTrips) {
  auto bag = std::make_shared<Bag>("r", "urn:r");
  bag->Info().AddElmSeqUntpdOpt("AnyElement", "", "Any", "##other", "urn:r");
  bag->Info().AddElmSeqPrimMnd("end", "urn:r", "End", type_string, "", WhitespaceRule_Preserve, "", -1, -1, "", "", "",
                               "", -1);
  bag->props = {{"Any", Variant::Nothing()}, {"End", Variant()}};
  const std::string_view xml =
      R"(<r xmlns="urn:r" xmlns:x="urn:x"><x:foo x:k="1" plain="2"><bar>t<x:deep><d/></x:deep></bar>tail</x:foo>)"
      R"(<end>e</end></r>)";
  Read(*bag, xml);
  const auto any = bag->props["Any"].ToObjectOf<Element>();
  ASSERT_TRUE(any);
  EXPECT_EQ(bag->log.front(), "name r");
  EXPECT_EQ(any->ElementName(), "foo");
  EXPECT_EQ(any->Namespace(), "urn:x");
  EXPECT_EQ(any->ElementValue(), "tail");
  ASSERT_EQ(any->Elements()->Count(), 1);
  EXPECT_EQ(any->Elements()->Item(1)->Namespace(), "urn:r") << "a child in the parent's default namespace";
  EXPECT_EQ(any->Elements()->Item(1)->Elements()->Item(1)->Elements()->Item(1)->ElementName(), "d");
  const std::string written = Write(*bag);
  EXPECT_EQ(written,
            R"(<AA:r xmlns:AA="urn:r"><AB:foo xmlns:AB="urn:x" AB:k="1" plain="2"><AA:bar><AB:deep><AA:d/></AB:deep>t)"
            R"(</AA:bar>tail</AB:foo><AA:end>e</AA:end></AA:r>)");
  Read(*bag, written);
  EXPECT_EQ(Write(*bag), written);

  // An element in the target namespace is not one that "##other" takes: left for the next particle.
  bag->props["Any"] = Variant::Nothing();
  Read(*bag, R"(<r xmlns="urn:r"><end>e</end></r>)");
  EXPECT_TRUE(bag->props["Any"].IsNothing());
  EXPECT_EQ(bag->props["End"], Variant("e"));
}

TEST(UntypedElements, NameTestAndWhatANewElementStartsWith) {
  auto bag = std::make_shared<Bag>("r", "urn:p");
  bag->Info().GroupType(XmlGroupType::Choice);
  bag->Info().AddElmChoiceUntpdOpt("w", "", "W", "##any", "urn:t");
  bag->Info().AddElmChoiceUntpdOpt("AnyElement", "", "Any", "##targetNamespace urn:q", "urn:t");
  bag->props = {{"W", Variant::Nothing()}, {"Any", Variant::Nothing()}};
  const auto& w = bag->Info().HiddenElements().Item(1);
  const auto& any = bag->Info().HiddenElements().Item(2);
  XmlSerializationContext context;

  XmlDocument document;
  ASSERT_TRUE(document.loadXML(R"(<r><W/><w/><q:v xmlns:q="urn:q"/><v/></r>)"));
  const XmlNode parent = document.documentElement();
  XmlNode cursor = parent.firstChild();
  EXPECT_FALSE(w->ElementFromXml(context, *bag, parent, cursor, "urn:p", XmlElementType::Element))
      << "names are compared exactly";
  EXPECT_TRUE(bag->props["W"].IsNothing());
  cursor = cursor.nextSibling();
  ASSERT_TRUE(w->ElementFromXml(context, *bag, parent, cursor, "urn:p", XmlElementType::Element));
  EXPECT_EQ(cursor.baseName(), "v");
  EXPECT_EQ(bag->log.back(), "set W");
  const auto taken = bag->props["W"].ToObjectOf<Element>();
  EXPECT_EQ(taken->ElementName(), "w");
  EXPECT_EQ(taken->Namespace(), "");
  EXPECT_EQ(taken->TargetNamespace(), "urn:t");
  // Its children default to the namespace it started with: "##any" takes the parent's.
  EXPECT_EQ(taken->Elements()->AddNew("c")->Namespace(), "urn:p");

  ASSERT_TRUE(any->ElementFromXml(context, *bag, parent, cursor, "urn:p", XmlElementType::Element));
  EXPECT_EQ(bag->props["Any"].ToObjectOf<Element>()->ElementName(), "v");
  EXPECT_EQ(bag->props["Any"].ToObjectOf<Element>()->Elements()->AddNew("c")->Namespace(), "urn:t");
  // The next "v" is in no namespace, which the restriction forbids: nothing consumed, the property kept.
  const ObjectPtr before = bag->props["Any"].ToObject();
  const XmlNode forbidden = cursor;
  EXPECT_FALSE(any->ElementFromXml(context, *bag, parent, cursor, "urn:p", XmlElementType::Element));
  EXPECT_EQ(cursor, forbidden);
  EXPECT_EQ(bag->props["Any"].ToObject(), before);
  XmlNode none;
  EXPECT_FALSE(any->ElementFromXml(context, *bag, parent, none, "urn:p", XmlElementType::Element));
}

TEST(UntypedElements, OptionalAbsenceBySequenceAllAndChoice) {
  auto bag = std::make_shared<Bag>("r");
  bag->Info().AddElmSeqUntpdOpt("a", "", "A", "##any", "");
  bag->Info().AddElmAllUntpdOpt("a", "", "A", "##any", "");
  bag->Info().AddElmChoiceUntpdOpt("a", "", "A", "##any", "");
  bag->props = {{"A", Variant::Nothing()}};
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<r><b/></r>"));
  XmlSerializationContext context;
  const bool expected[] = {true, false, false};
  for (int32_t i = 1; i <= 3; ++i) {
    const auto& descriptor = bag->Info().HiddenElements().Item(i);
    for (XmlNode start : {document.documentElement().firstChild(), XmlNode()}) {
      XmlNode cursor = start;
      EXPECT_EQ(
          descriptor->ElementFromXml(context, *bag, document.documentElement(), cursor, "", XmlElementType::Element),
          expected[i - 1])
          << descriptor->TypeName();
      EXPECT_EQ(cursor, start);
    }
    EXPECT_TRUE(descriptor->Validate(context, *bag, false, true));
  }
  EXPECT_TRUE(bag->log.empty()) << "nothing was assigned";
}

// A parent whose mandatory wildcard's Element is made afresh by Init, as generated code does.
std::shared_ptr<Bag> NewMandatoryBag(XmlGroupType group, std::string_view restriction) {
  auto bag = std::make_shared<Bag>("r");
  bag->Info().GroupType(group);
  if (group == XmlGroupType::All) {
    bag->Info().AddElmAllUntpdMnd("w", "urn:w", "W", restriction, "urn:t");
  } else {
    bag->Info().AddElmSeqUntpdMnd("w", "urn:w", "W", restriction, "urn:t");
  }
  const std::string r(restriction);
  auto* raw = bag.get();
  bag->onInit = [raw, r] { raw->props["W"] = Variant(detail::NewElement("w", "urn:w", r, "urn:t")); };
  bag->onInit();
  return bag;
}

TEST(UntypedElements, MandatorySequenceWildcardRaises150And151WhateverTheSwitches) {
  auto bag = NewMandatoryBag(XmlGroupType::Sequence, "urn:w");
  Read(*bag, R"(<r><w xmlns="urn:w" k="v"><i/></w></r>)");
  const auto w = bag->props["W"].ToObjectOf<Element>();
  EXPECT_EQ(w->Attributes()->Count(), 1);
  EXPECT_EQ(w->Elements()->Count(), 1);
  EXPECT_EQ(bag->log, std::vector<std::string>{"name r"}) << "read into the Element the property holds";
  EXPECT_EQ(Write(*bag), R"(<r><AA:w xmlns:AA="urn:w" k="v"><AA:i/></AA:w></r>)");

  auto lenient = NewContext();
  lenient->IgnoreMissingMandatoryElements(true);
  lenient->IgnoreUnknownElements(true);
  const struct {
    std::string_view xml;
    int32_t number;
    std::string_view description;
  } cases[] = {
      {"<r/>", 150, "Failed to find a required element [w]"},
      {"<r><w/></r>", 151, "Failed to find the required element from namespace [urn:w]"},  // forbidden namespace
      {R"(<r><v xmlns="urn:w"/></r>)", 151, "Failed to find the required element from namespace [urn:w]"},
  };
  for (const auto& c : cases) {
    for (const auto& context : {NewContext(), lenient}) {
      const Caught e = Catch([&] { Read(*bag, c.xml, context); });
      EXPECT_EQ(e.number, c.number) << c.xml;
      EXPECT_EQ(e.source, "Vexlo9");
      EXPECT_EQ(e.description, std::string(kWrapped) + std::string(c.description));
    }
  }

  // Under a pseudo-element parent: no element left is still 150, one not taken is False.
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<r><w/></r>"));
  XmlSerializationContext context;
  const auto& descriptor = bag->Info().HiddenElements().Item(1);
  XmlNode cursor = document.documentElement().firstChild();
  EXPECT_FALSE(
      descriptor->ElementFromXml(context, *bag, document.documentElement(), cursor, "", XmlElementType::PseudoElement));
  EXPECT_EQ(cursor, document.documentElement().firstChild());
  XmlNode none;
  EXPECT_EQ(Catch([&] {
              descriptor->ElementFromXml(context, *bag, document.documentElement(), none, "",
                                         XmlElementType::PseudoElement);
            }).number,
            150);
}

TEST(UntypedElements, MandatoryAllWildcardIsCheckedByValidate) {
  auto bag = NewMandatoryBag(XmlGroupType::All, "##any");
  Read(*bag, "<r><w>x</w></r>");
  EXPECT_EQ(bag->props["W"].ToObjectOf<Element>()->ElementValue(), "x");
  const Caught e = Catch([&] { Read(*bag, "<r/>"); });
  EXPECT_EQ(e.number, 142);
  EXPECT_EQ(e.source, "Vexlo9");
  EXPECT_EQ(e.description, std::string(kWrapped) + "Failed to find the mandatory element [w]");

  XmlSerializationContext context;
  const auto& w = bag->Info().HiddenElements().Item(1);
  EXPECT_TRUE(w->Validate(context, *bag, false, false)) << "True, not whether it was read";
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<r><v/></r>"));
  XmlNode cursor = document.documentElement().firstChild();
  EXPECT_FALSE(w->ElementFromXml(context, *bag, document.documentElement(), cursor, "", XmlElementType::Element));
  XmlNode none;
  EXPECT_FALSE(w->ElementFromXml(context, *bag, document.documentElement(), none, "", XmlElementType::Element));
}

TEST(UntypedElements, ErrorsOfTheElementPassThroughWithTheContextLine) {
  // 105: a child the Element's own collection will not take.
  auto bag = NewMandatoryBag(XmlGroupType::Sequence, "##any");
  bag->onInit = [raw = bag.get()] {
    auto w = detail::NewElement("w", "", "##any", "");
    w->Elements(detail::NewElementCol("", "##local", "", 0, -1));
    raw->props["W"] = Variant(w);
  };
  Caught e = Catch([&] { Read(*bag, R"(<r><w><a/><q:b xmlns:q="urn:q"/></w></r>)"); });
  EXPECT_EQ(e.number, 105);
  EXPECT_EQ(e.source, "Element.FromXmlInt");
  EXPECT_EQ(e.description, std::string(kWrapped) + "Invalid Element [b] found in element [w]");

  // 106: an attribute the Element's own attribute collection will not take.
  bag->onInit = [raw = bag.get()] {
    auto w = detail::NewElement("w", "", "##any", "");
    w->Attributes(detail::NewAttributeCol("", "##local", ""));
    raw->props["W"] = Variant(w);
  };
  e = Catch([&] { Read(*bag, R"(<r><w a="1" q:k="2" xmlns:q="urn:q"/></r>)"); });
  EXPECT_EQ(e.number, 106);
  EXPECT_EQ(e.source, "ToXmlInt");
  EXPECT_EQ(e.description, std::string(kWrapped) + "Invalid Attribute [q]. The attributes namespace is Inappropriate.")
      << "declarations are judged too, and come first";

  // A property that holds no Element where one must exist.
  bag->onInit = [raw = bag.get()] { raw->props["W"] = Variant::Nothing(); };
  EXPECT_EQ(Catch([&] { Read(*bag, "<r><w/></r>"); }).number, 91);
}

TEST(UntypedElements, WrittenWhenThePropertyHoldsAnElement) {
  auto bag = std::make_shared<Bag>("r");
  bag->Info().AddElmSeqUntpdOpt("AnyElement", "", "A", "##any", "");
  bag->Info().AddElmAllUntpdMnd("b", "urn:ignored", "B", "##any", "");
  bag->props = {{"A", Variant::Nothing()}, {"B", Variant::Nothing()}};
  XmlSerializationContext context;
  auto writer = detail::NewXmlTextWriter();
  for (const auto& descriptor : bag->Info().HiddenElements()) {
    EXPECT_FALSE(descriptor->ElementToXml(context, *bag, *writer));
  }
  EXPECT_EQ(writer->Xml(), "");

  auto a = detail::NewElement("named", "urn:n", "##any", "");
  a->ElementValue("v");
  bag->props["A"] = Variant(a);
  bag->props["B"] = Variant(detail::NewElement("b", "", "##any", ""));
  // The Element writes the name and namespace it holds, not the particle's.
  EXPECT_EQ(Write(*bag), R"(<r><AA:named xmlns:AA="urn:n">v</AA:named><b/></r>)");
}

// ---- repeated wildcards

struct UntypedList {
  std::shared_ptr<Bag> bag;
  std::shared_ptr<ElementCol> items;
};

UntypedList NewUntypedList(XmlGroupType group, std::string_view name, std::string_view restriction, int32_t minOccurs,
                           int32_t maxOccurs, std::string_view ns = "") {
  UntypedList list{std::make_shared<Bag>("r"), detail::NewElementCol(ns, restriction, "urn:t", minOccurs, maxOccurs)};
  ClassInfo& info = list.bag->Info();
  info.GroupType(group);
  switch (group) {
    case XmlGroupType::Sequence: info.AddElmSeqUntpdCol(name, "", "Items"); break;
    case XmlGroupType::Choice: info.AddElmChoiceUntpdCol(name, "", "Items"); break;
    case XmlGroupType::All: info.AddElmAllUntpdCol(name, "", "Items"); break;
  }
  list.bag->props = {{"Items", Variant(list.items)}};
  list.bag->onInit = [items = list.items.get()] { items->Clear(); };
  return list;
}

TEST(UntypedCollections, SequenceRunOfAFixedNameStopsAtAnotherName) {
  auto list = NewUntypedList(XmlGroupType::Sequence, "i", "##any", 1, 3);
  const auto& descriptor = list.bag->Info().HiddenElements().Item(1);
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(R"(<r><i>1</i><i q="x"><c/></i><j/><i>3</i></r>)"));
  XmlNode cursor = document.documentElement().firstChild();
  XmlSerializationContext context;
  EXPECT_TRUE(
      descriptor->ElementFromXml(context, *list.bag, document.documentElement(), cursor, "", XmlElementType::Element));
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor.baseName(), "j");
  ASSERT_EQ(list.items->Count(), 2);
  EXPECT_EQ(list.items->Item(2)->Attributes()->Item(1)->AttributeValue(), "x");

  Read(*list.bag, "<r><i>1</i><i>2</i></r>");
  EXPECT_EQ(Write(*list.bag), "<r><i>1</i><i>2</i></r>");
  EXPECT_EQ(list.items->Count(), 2);

  const struct {
    std::string_view xml;
    int32_t number;
    std::string_view description;
  } cases[] = {
      {"<r/>", 107, "The Minimum number of [[Elements]] elements allowed in this collection is 1"},
      {"<r><i/><i/><i/><i/></r>", 107, "The Maximum number of [[Elements]] elements allowed in this collection is 3"},
      {"<r><i/><j/></r>", 127,
       "Failed read all the elements held within the element [r]. The unexpected element [j] remains un processed"},
  };
  for (const auto& c : cases) {
    const Caught e = Catch([&] { Read(*list.bag, c.xml); });
    EXPECT_EQ(e.number, c.number) << c.xml;
    EXPECT_EQ(e.description, std::string(kWrapped) + std::string(c.description));
  }
  auto ignore = NewContext();
  ignore->IgnoreInvalidCollectionCounts(true);
  Read(*list.bag, "<r/>", ignore);
  EXPECT_EQ(list.items->Count(), 0);
  EXPECT_EQ(Write(*list.bag), "<r/>") << "an empty collection writes nothing, whatever its minimum";
}

TEST(UntypedCollections, ANamedRunLeavesAForbiddenNamespaceUnread) {
  auto list = NewUntypedList(XmlGroupType::Sequence, "i", "##local", 0, -1);
  const Caught e = Catch([&] { Read(*list.bag, R"(<r><i/><i xmlns="urn:o"/><i/></r>)"); });
  EXPECT_EQ(e.number, 127);
  EXPECT_EQ(e.description, std::string(kWrapped) +
                               "Failed read all the elements held within the element [r]. The unexpected element [i] "
                               "remains un processed");
  EXPECT_EQ(list.items->Count(), 1) << "what was read before the error stays";
}

TEST(UntypedCollections, AnyElementReadsEveryAllowedSibling) {
  auto list = NewUntypedList(XmlGroupType::Sequence, "AnyElement", "##targetNamespace", 0, -1, "urn:t");
  Read(*list.bag, R"(<r xmlns:t="urn:t"><t:a>1</t:a><t:b><t:c/></t:b></r>)");
  ASSERT_EQ(list.items->Count(), 2);
  EXPECT_EQ(list.items->Item(2)->ElementName(), "b");
  EXPECT_EQ(Write(*list.bag), R"(<r><AA:a xmlns:AA="urn:t">1</AA:a><AA:b xmlns:AA="urn:t"><AA:c/></AA:b></r>)");

  // A sibling in another namespace ends the run and is reported as left over.
  const Caught e = Catch([&] { Read(*list.bag, R"(<r xmlns:t="urn:t"><t:a/><o/></r>)"); });
  EXPECT_EQ(e.number, 127);
  EXPECT_EQ(list.items->Count(), 1);
}

TEST(UntypedCollections, ChoiceCollectionThatReadsNothingIsNotTheChosenBranch) {
  auto list = NewUntypedList(XmlGroupType::Choice, "i", "##any", 2, -1);
  const auto& descriptor = list.bag->Info().HiddenElements().Item(1);
  EXPECT_EQ(descriptor->Traits().property, "Items");
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<r><j/></r>"));
  XmlSerializationContext context;
  XmlNode cursor = document.documentElement().firstChild();
  EXPECT_FALSE(
      descriptor->ElementFromXml(context, *list.bag, document.documentElement(), cursor, "", XmlElementType::Element));
  EXPECT_EQ(cursor, document.documentElement().firstChild());

  Read(*list.bag, "<r><i/><i/></r>");
  EXPECT_EQ(list.items->Count(), 2);
  const Caught e = Catch([&] { Read(*list.bag, "<r><i/></r>"); });
  EXPECT_EQ(e.number, 107);
  EXPECT_EQ(e.description,
            std::string(kWrapped) + "The Minimum number of [[Elements]] elements allowed in this collection is 2");
}

TEST(UntypedCollections, AllGroupReadsThroughTheCollectionAndJudgesTheCountOnce) {
  // Named or not, an all-group collection takes every sibling its restriction allows.
  auto list = NewUntypedList(XmlGroupType::All, "i", "##any", 2, 2);
  const auto& descriptor = list.bag->Info().HiddenElements().Item(1);
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<r><i/><j/><k/></r>"));
  XmlSerializationContext context;
  XmlNode cursor = document.documentElement().firstChild();
  EXPECT_FALSE(
      descriptor->ElementFromXml(context, *list.bag, document.documentElement(), cursor, "", XmlElementType::Element));
  EXPECT_FALSE(cursor);
  EXPECT_EQ(list.items->Count(), 3);
  EXPECT_FALSE(descriptor->Validate(context, *list.bag, false, false));
  const Caught direct = Catch([&] { descriptor->Validate(context, *list.bag, false, true); });
  EXPECT_EQ(direct.number, 107);
  EXPECT_EQ(direct.description, "The Maximum number of [[Elements]] elements allowed in this collection is 2");
  XmlSerializationContext ignore;
  ignore.IgnoreInvalidCollectionCounts(true);
  EXPECT_TRUE(descriptor->Validate(ignore, *list.bag, false, true));

  Read(*list.bag, "<r><a/><b/></r>");
  EXPECT_EQ(list.items->Count(), 2);
  const Caught e = Catch([&] { Read(*list.bag, "<r><a/></r>"); });
  EXPECT_EQ(e.number, 107);
  EXPECT_EQ(e.description,
            std::string(kWrapped) + "The Minimum number of [[Elements]] elements allowed in this collection is 2");
}

TEST(UntypedCollections, WritingChecksTheCountOnlyWhenThereAreItems) {
  auto list = NewUntypedList(XmlGroupType::Sequence, "i", "##any", 2, -1);
  EXPECT_EQ(Write(*list.bag), "<r/>");
  list.items->AddNew("i")->ElementValue("1");
  const Caught e = Catch([&] { Write(*list.bag); });
  EXPECT_EQ(e.number, 107);
  EXPECT_EQ(e.source, "Vexlo9");
  EXPECT_EQ(e.description,
            "Failed to convert the element [r] to XML\r\n"
            "The Minimum number of [[Elements]] elements allowed in this collection is 2");
  auto ignore = NewContext();
  ignore->IgnoreInvalidCollectionCounts(true);
  EXPECT_EQ(Write(*list.bag, ignore), "<r><i>1</i></r>");
  // Items hold their own names: the particle's name only decides what is read.
  list.items->AddNew("other", std::string("urn:o"));
  EXPECT_EQ(Write(*list.bag), R"(<r><i>1</i><AA:other xmlns:AA="urn:o"/></r>)");
}

// ---- the declarations

TEST(Declarations, EachAppendsOneDescriptorOfItsClass) {
  ClassInfo info;
  const struct {
    std::function<void()> declare;
    std::string_view kind;
  } cases[] = {
      {[&] { info.AddElmSeqEnumMnd("e", "", "P", "T", "F"); }, "ElementInfoSeqEnumMnd"},
      {[&] { info.AddElmAllEnumMnd("e", "", "P", "T", "F"); }, "ElementInfoAllEnumMnd"},
      {[&] { info.AddElmSeqEnumOpt("e", "", "P", "V", "T", "F"); }, "ElementInfoSeqEnumOpt"},
      {[&] { info.AddElmChoiceEnumOpt("e", "", "P", "V", "T", "F"); }, "ElementInfoChoiceEnumOpt"},
      {[&] { info.AddElmAllEnumOpt("e", "", "P", "V", "T", "F"); }, "ElementInfoAllEnumOpt"},
      {[&] { info.AddElmSeqUntpdMnd("e", "", "P", "##any", ""); }, "ElementInfoSeqUntpdMnd"},
      {[&] { info.AddElmAllUntpdMnd("e", "", "P", "##any", ""); }, "ElementInfoAllUntpdMnd"},
      {[&] { info.AddElmSeqUntpdOpt("e", "", "P", "##any", ""); }, "ElementInfoSeqUntpdOpt"},
      {[&] { info.AddElmChoiceUntpdOpt("e", "", "P", "##any", ""); }, "ElementInfoChoiceUntpdOpt"},
      {[&] { info.AddElmAllUntpdOpt("e", "", "P", "##any", ""); }, "ElementInfoAllUntpdOpt"},
      {[&] { info.AddElmSeqUntpdCol("e", "", "P"); }, "ElementInfoSeqUntpdCol"},
      {[&] { info.AddElmChoiceUntpdCol("e", "", "P"); }, "ElementInfoChoiceUntpdCol"},
      {[&] { info.AddElmAllUntpdCol("e", "", "P"); }, "ElementInfoAllUntpdCol"},
  };
  int32_t count = 0;
  for (const auto& c : cases) {
    c.declare();
    ASSERT_EQ(info.HiddenElements().Count(), ++count);
    const auto& added = info.HiddenElements().Item(count);
    EXPECT_EQ(added->TypeName(), c.kind);
    // None of them has facets: asking for a check is a logic error naming the class.
    const Caught e = Catch([&] { info.CheckElementRestriction(static_cast<int16_t>(count), Variant(int32_t{1})); });
    EXPECT_EQ(e.number, 110);
    EXPECT_EQ(e.source, std::string(c.kind) + ".CheckRestriction");
    EXPECT_EQ(e.description, "Program Logic Error, Sub should never be called");
    // They write nothing onto a parent's start tag.
    Bag host("h");
    auto writer = detail::NewXmlTextWriter();
    XmlSerializationContext context;
    added->PseudoChildAttributeToXml(context, host, *writer);
    EXPECT_EQ(writer->Xml(), "");
  }
  EXPECT_EQ(info.HiddenAttributes().Count(), 0);
}

}  // namespace
}  // namespace vexlo9::testing
