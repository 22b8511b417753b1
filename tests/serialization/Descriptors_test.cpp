// The descriptor families, each particle declared through ClassInfo on a generated-style class: element "e" held
// in property "P" (presence flag "PValid") of an element <r>.
#include <gtest/gtest.h>

#include <iterator>
#include <set>

#include "serialization/Generated.h"
#include "vexlo9/serialization/detail/ElementInfoUntyped.h"

namespace vexlo9::testing {
namespace {

using Declare = void (*)(Bag&);
void Holds(Bag& b, ObjectPtr object) { b.props["P"] = Variant(std::move(object)); }

ObjectPtr Entries(int32_t min, int32_t max) { return std::make_shared<XmlGeneratedClassCol<Entry>>("e", "", min, max); }
ObjectPtr Numbers() {
  return Global::ClassFactory()->Create_i4Col("e", "", 0, 2, "", -1, -1, "", "", "", "", -1, kCollapse);
}
ObjectPtr Groups() { return std::make_shared<XmlGeneratedClassCol<Group>>("e", "", 0, -1, kPseudo); }

// One particle of each descriptor class, declared by the ClassInfo method of its name; then what P must hold.
#define PARTICLE(Class, args, ...) \
  void Class(Bag& b) { b.Info().AddElm##Class args, __VA_ARGS__; }
// clang-format off
PARTICLE(SeqPrimMnd, ("e", "", "P", type_i4, "", kCollapse, "", -1, -1, "0", "", "", "", -1), void())
PARTICLE(AllPrimMnd, ("e", "", "P", type_i4, "", kCollapse, "", -1, -1, "0", "", "", "", -1), void())
PARTICLE(SeqPrimOpt, ("e", "", "P", "PValid", type_i4, "", kCollapse, "", -1, -1, "0", "", "", "", -1), void())
PARTICLE(ChoicePrimOpt, ("e", "", "P", "PValid", type_i4, "", kCollapse, "", -1, -1, "0", "", "", "", -1), void())
PARTICLE(SeqClsMnd, ("e", "", "P", kElm, false), Holds(b, std::make_shared<Entry>("e")))
PARTICLE(AllClsMnd, ("e", "", "P", kElm, false), Holds(b, std::make_shared<Entry>("e")))
PARTICLE(SeqClsOpt, ("e", "", "P", kElm, 7), WithFactory(b), Holds(b, nullptr))
PARTICLE(ChoiceClsOpt, ("e", "", "P", kElm, 7), WithFactory(b), Holds(b, nullptr))
PARTICLE(SeqAbsClsMnd, ("e", "", "P", kElm, "CreateShape"), WithFactory(b), Holds(b, nullptr))
PARTICLE(SeqAbsClsOpt, ("e", "", "P", kElm, "CreateShape"), WithFactory(b), Holds(b, nullptr))
PARTICLE(ChoiceAbsClsOpt, ("e", "", "P", kElm, "CreateShape"), WithFactory(b), Holds(b, std::make_shared<Entry>("old")))
PARTICLE(AllAbsClsMnd, ("e", "", "P", kElm, "CreateShape"), WithFactory(b), Holds(b, nullptr))
PARTICLE(AllAbsClsOpt, ("e", "", "P", kElm, "CreateShape"), WithFactory(b), Holds(b, nullptr))
PARTICLE(SeqEnumMnd, ("e", "", "P", "SizeToString", "SizeFromString"), WithFactory(b))
PARTICLE(AllEnumMnd, ("e", "", "P", "SizeToString", "SizeFromString"), WithFactory(b))
PARTICLE(SeqEnumOpt, ("e", "", "P", "PValid", "SizeToString", "SizeFromString"), WithFactory(b))
PARTICLE(ChoiceEnumOpt, ("e", "", "P", "PValid", "SizeToString", "SizeFromString"), WithFactory(b))
PARTICLE(AllEnumOpt, ("e", "", "P", "PValid", "SizeToString", "SizeFromString"), WithFactory(b))
PARTICLE(SeqUntpdMnd, ("e", "urn:w", "P", "urn:w", "urn:t"), Holds(b, detail::NewElement("e", "urn:w", "urn:w", "")))
PARTICLE(AllUntpdMnd, ("e", "", "P", "##any", ""), Holds(b, detail::NewElement("e", "", "##any", "")))
PARTICLE(SeqUntpdOpt, ("e", "", "P", "##any", ""), Holds(b, nullptr))
PARTICLE(ChoiceUntpdOpt, ("e", "", "P", "##any", ""), Holds(b, nullptr))
PARTICLE(AllUntpdOpt, ("e", "", "P", "##any", ""), Holds(b, nullptr))
PARTICLE(SeqUntpdCol, ("e", "", "P"), Holds(b, detail::NewElementCol("", "##local", "", 1, 3)))
PARTICLE(ChoiceUntpdCol, ("e", "", "P"), Holds(b, detail::NewElementCol("", "##any", "", 2, -1)))
PARTICLE(AllUntpdCol, ("e", "", "P"), Holds(b, detail::NewElementCol("", "##any", "", 2, 2)))
PARTICLE(SeqClsCol, ("e", "", "P", kElm), Holds(b, Entries(1, 2)))
PARTICLE(AllClsCol, ("e", "", "P", kElm), Holds(b, Entries(2, -1)))
PARTICLE(SeqPrimCol, ("e", "", "P"), Holds(b, Numbers()))
// clang-format on
#undef PARTICLE
// Pseudo-element children, and wildcards of any name.
void SeqGroupMnd(Bag& b) {
  b.Info().AddElmSeqClsMnd("e", "", "P", kPseudo, true), Holds(b, std::make_shared<Group>("e"));
}
void SeqGroupMayBeEmpty(Bag& b) {
  b.Info().AddElmSeqClsMnd("e", "", "P", kPseudo, false), Holds(b, std::make_shared<Group>("e", false));
}
void AllGroup(Bag& b) {
  b.Info().AddElmAllClsMnd("e", "", "P", kPseudo, false), Holds(b, std::make_shared<Group>("e"));
}
void SeqGroupOpt(Bag& b) { b.Info().AddElmSeqClsOpt("e", "", "P", kPseudo, 8), WithFactory(b), Holds(b, nullptr); }
void SeqGroupCol(Bag& b) { b.Info().AddElmSeqClsCol("e", "", "P", kPseudo), Holds(b, Groups()); }
void ChoiceAnyOpt(Bag& b) {
  b.Info().AddElmChoiceUntpdOpt("AnyElement", "", "P", "##targetNamespace urn:q", "urn:t"), Holds(b, nullptr);
}
void SeqAnyCol(Bag& b) {
  b.Info().AddElmSeqUntpdCol("AnyElement", "", "P"),
      Holds(b, detail::NewElementCol("urn:t", "##targetNamespace", "urn:t", 0, -1));
}

// Offers the first child of <r>content</r> to the particle (an all group offers only a child that is there),
// validates it as its group reader would, then has it write P into an open <r (strictly): "true@next" or
// "false@next" with the child the cursor then stands on, " invalid" when validation failed quietly, then what was
// written or raised; or the error raised by reading.
std::string Offer(Declare declare, std::string_view content, int switches) {
  auto bag = std::make_shared<Bag>("r", std::initializer_list<const char*>{"P"});
  declare(*bag);
  const auto context = ContextFor(switches);
  XmlDocument document;
  EXPECT_TRUE(
      document.loadXML(R"(<r xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">)" + std::string(content) + "</r>"));
  const XmlNode root = document.documentElement();
  XmlNode cursor = Global::XmlObjectBaseHelper()->FindFirstSliblingElement(root.firstChild());
  const auto& descriptor = bag->Info().HiddenElements().Item(1);
  const auto parent = switches & kInGroup ? kPseudo : kElm;
  bool taken = false, valid = true;
  std::string error = ErrorText([&] {
    if (cursor || descriptor->Traits().group != detail::Group::All) {
      taken = descriptor->ElementFromXml(*context, *bag, root, cursor, "urn:p", parent);
    }
    valid = descriptor->Validate(*context, *bag, taken, parent == kElm);
  });
  if (error != "no error") return error;
  auto writer = detail::NewXmlTextWriter();
  writer->Format(false);
  writer->WriteStartElement("r", "");
  error = ErrorText([&] { descriptor->ElementToXml(XmlSerializationContext(), *bag, *writer); });
  return (taken ? "true@" : "false@") + (cursor ? cursor.nodeName() : "") + (valid ? " " : " invalid ") +
         (error == "no error" ? "" : error + " ") + writer->Xml();
}

TEST(Descriptors, OfferedTheChildAtTheCursor) {
  const std::string k107 = "107 XmlCollectionBase_ValidateCount: The ";
  const std::string k105 = "105 Throw_IfPropertyIsNull: The Property [P] is mandatory, it may node be null ";
  const std::string k15x = "AllAbsClsMndElm.ProcessXml, has not been implemented fully, contact support@vexlo9.example";
  const struct {
    Declare declare;
    const char* content;
    int switches;
    std::string expected;
  } cases[] = {
      {SeqPrimMnd, "<e> 42 </e><x/>", 0, "true@x <r><e>42</e>"},
      {SeqPrimMnd, "<x/><e>1</e>", 0, "131 Vexlo9: Failed to find a required element [e]"},
      {SeqPrimMnd, "<x/><y/><e>-7</e>", kSkip,
       "true@ 108 CheckRestrictionForLONG: Invalid Value for e [-7] <r"},  // facets are the setter's business
      {SeqPrimMnd, "<x/>", kSkip | kLenient, "131 Vexlo9: Failed to find a required element [e]"},
      {SeqPrimMnd, "<x/>", kInGroup, "false@x <r><e>0</e>"},
      {AllPrimMnd, "<x/>", kInGroup, "false@x invalid <r><e>0</e>"},
      {SeqPrimOpt, "<x/>", 0, "true@x <r"},
      {ChoicePrimOpt, "<x/>", 0, "false@x <r"},
      {SeqClsMnd, "<d/><e><v>1</v></e>", kSkip | kLenient, "true@d <r><e><v>0</v></e>"},  // nothing skipped
      {SeqClsMnd, "<d/>", kInGroup, "false@d <r><e><v>0</v></e>"},
      {AllClsMnd, "<d/>", 0, "153 Vexlo9: Failed to find the mandatory element [e]"},
      {SeqGroupMnd, "<g>3</g><z/>", 0, "true@z <r><g>3</g>"},
      {SeqGroupMayBeEmpty, "<x/>", 0, "true@x <r"},
      {SeqGroupMayBeEmpty, "<x/>", kSkip, "false@x <r"},  // an element waits to be skipped
      {AllGroup, "", 0, "false@ invalid <r><g>0</g>"},    // no error: the group may be empty
      {SeqClsOpt, "<x/>", 0, "true@x <r"},
      {ChoiceClsOpt, "<x/>", 0, "false@x <r"},
      {SeqGroupOpt, "<z/>", 0, "true@z <r"},  // made, found empty, dropped
      {SeqGroupOpt, "<g>1</g><z/>", 0, "true@z <r><g>1</g>"},
      {SeqAbsClsOpt, R"(<e xsi:type="Blob"/>)", 0, "true@e <r"},      // left for the parent to report
      {ChoiceAbsClsOpt, R"(<e xsi:type="Blob"/>)", 0, "false@e <r"},  // the old object is dropped
      {AllAbsClsMnd, "<x/>", 0, "155 Vexlo9: " + k15x},
      {AllAbsClsOpt, "<x/>", 0, "154 Vexlo9: " + k15x},
      {AllAbsClsMnd, "", 0, "152 Vexlo9: Failed to find the mandatory element [e]"},
      // A mandatory element whose class the factory chooses is not left out when it holds nothing.
      {SeqAbsClsMnd, "<x/>", kInGroup, "false@x " + k105 + "<r"},
      {AllAbsClsMnd, "", kInGroup, "false@ invalid " + k105 + "<r"},
      {SeqEnumMnd, "<e>large</e><x/>", 0, "true@x <r><e>large</e>"},
      {SeqEnumMnd, "<x/><e>small</e>", 0, "137 Vexlo9: Failed to find a required element [e]"},
      {SeqEnumMnd, "<x/><e>small</e>", kSkip | kLenient, "true@x <r><e>none</e>"},
      {SeqEnumMnd, "<e>small</e><x/>", kInGroup, "true@x <r><e>small</e>"},
      {SeqEnumMnd, "<x/>", kInGroup, "false@x <r><e>none</e>"},
      {SeqEnumMnd, "<e> small </e>", 0, "380 SizeFromString: bad size [ small ]"},  // no whitespace rule
      {AllEnumMnd, "<e>small</e><x/>", 0, "true@x <r><e>small</e>"},
      {AllEnumMnd, "", 0, "140 Vexlo9: Failed to find the mandatory element [e]"},
      {SeqEnumOpt, "<x/>", 0, "true@x <r"},
      {ChoiceEnumOpt, "<e>large</e><x/>", 0, "true@x <r><e>large</e>"},
      {AllEnumOpt, "<x/>", 0, "false@x <r"},
      {SeqUntpdMnd, R"(<e xmlns="urn:w" k="v"><i/></e>)", 0, R"(true@ <r><AA:e xmlns:AA="urn:w" k="v"><AA:i/></AA:e>)"},
      {SeqUntpdMnd, "", kSkip | kLenient, "150 Vexlo9: Failed to find a required element [e]"},
      {SeqUntpdMnd, "<e/>", kSkip | kLenient, "151 Vexlo9: Failed to find the required element from namespace [urn:w]"},
      {SeqUntpdMnd, "<e/>", kInGroup, R"(false@e <r><AA:e xmlns:AA="urn:w"/>)"},
      {AllUntpdMnd, "", 0, "142 Vexlo9: Failed to find the mandatory element [e]"},
      {SeqUntpdOpt, "<e>t<c/></e><b/>", 0, "true@b <r><e>t<c/></e>"},
      {ChoiceUntpdOpt, "<E/>", 0, "false@E <r"},  // names compare exactly
      {AllUntpdOpt, "<b/>", 0, "false@b <r"},
      {ChoiceAnyOpt, R"(<q:v xmlns:q="urn:q"/><v/>)", 0, R"(true@v <r><AA:v xmlns:AA="urn:q"/>)"},
      {ChoiceAnyOpt, "<v/>", 0, "false@v <r"},  // no namespace is forbidden
      {SeqUntpdCol, R"(<e>1</e><e q="x"><c/></e><j/><e/>)", 0, R"(true@j <r><e>1</e><e q="x"><c/></e>)"},
      {SeqUntpdCol, R"(<e/><e xmlns="urn:o"/>)", 0, "true@e <r><e/>"},  // a forbidden namespace ends the run
      {SeqUntpdCol, "<x/>", 0, k107 + "Minimum number of [[Elements]] elements allowed in this collection is 1"},
      {SeqAnyCol, R"(<t:a xmlns:t="urn:t">1</t:a><t:b xmlns:t="urn:t"/><o/>)", 0,
       R"(true@o <r><AA:a xmlns:AA="urn:t">1</AA:a><AA:b xmlns:AA="urn:t"/>)"},
      {ChoiceUntpdCol, "<j/>", 0, "false@j <r"},
      {ChoiceUntpdCol, "<e/>", 0, k107 + "Minimum number of [[Elements]] elements allowed in this collection is 2"},
      {AllUntpdCol, "<e/><j/><k/>", kInGroup,
       "false@ invalid " + k107 + "Maximum number of [[Elements]] elements allowed in this collection is 2 <r"},
      {AllUntpdCol, "<e/><j/>", 0, "false@ <r><e/><j/>"},  // every sibling, counted by Validate
      {SeqClsCol, "<x/>", 0, k107 + "Minimum number of [e] elements allowed in this collection is 1"},
      {SeqClsCol, "<x/>", kInGroup,  // a group without it is not there; written, it breaks the bounds all the same
       "false@x " + k107 + "Minimum number of [e] elements allowed in this collection is 1 <r"},
      {AllClsCol, "<e><v>1</v></e><x/>", 0, k107 + "Minimum number of [e] elements allowed in this collection is 2"},
      {SeqGroupCol, "<g>1</g><g>2</g><x/>", 0, "true@x <r><g>1</g><g>2</g>"},
      {SeqPrimCol, "<e>1</e><e>2</e><x/>", 0, "true@x <r><e>1</e><e>2</e>"},
  };
  for (const auto& c : cases) EXPECT_EQ(Offer(c.declare, c.content, c.switches), c.expected) << "row " << &c - cases;
}

// Every row of the declaration table, declared once by its positional method and once by name, with the same
// settings: a primitive between 0 and 9, the factory's converter, class 7 or CreateShape, any namespace.
using detail::Cardinality, detail::ValueKind;
using Slot = detail::Group;  // Group is the test's model group class

template <ValueKind K, Cardinality C, auto Method>
void ByPosition(Bag& b) {
  ClassInfo& i = b.Info();
  if constexpr (C == Cardinality::Col && (K == ValueKind::Cls || K == ValueKind::AbsCls)) {
    (i.*Method)("e", "", "P", kElm);
  } else if constexpr (C == Cardinality::Col) {
    (i.*Method)("e", "", "P");
  } else if constexpr (K == ValueKind::Prim && C == Cardinality::Mnd) {
    (i.*Method)("e", "", "P", type_i4, "", kCollapse, "", -1, -1, "0", "9", "", "", -1);
  } else if constexpr (K == ValueKind::Prim) {
    (i.*Method)("e", "", "P", "PValid", type_i4, "", kCollapse, "", -1, -1, "0", "9", "", "", -1);
  } else if constexpr (K == ValueKind::Enum && C == Cardinality::Mnd) {
    (i.*Method)("e", "", "P", "SizeToString", "SizeFromString");
  } else if constexpr (K == ValueKind::Enum) {
    (i.*Method)("e", "", "P", "PValid", "SizeToString", "SizeFromString");
  } else if constexpr (K == ValueKind::Untpd) {
    (i.*Method)("e", "", "P", "##any", "");
  } else if constexpr (K == ValueKind::Cls && C == Cardinality::Mnd) {
    (i.*Method)("e", "", "P", kElm, true);
  } else if constexpr (K == ValueKind::Cls) {
    (i.*Method)("e", "", "P", kElm, 7);
  } else {
    (i.*Method)("e", "", "P", kElm, "CreateShape");
  }
}

// Named declarations give every field; each descriptor must take only what its positional method takes.
template <ValueKind K, Cardinality C>
void ByName(Bag& b) {
  ClassInfo& i = b.Info();
  const auto occurs = static_cast<Occurs>(C);
  if constexpr (K == ValueKind::Prim) {
    i.ValueElement({.name = "e", .property = "P", .occurs = occurs, .isValid = "PValid", .type = type_i4,
                    .whitespace = kCollapse, .facets = {.minInclusive = "0", .maxInclusive = "9"}});
  } else if constexpr (K == ValueKind::Enum) {
    i.EnumElement({.name = "e", .property = "P", .occurs = occurs, .isValid = "PValid", .toString = "SizeToString",
                   .fromString = "SizeFromString"});
  } else if constexpr (K == ValueKind::Untpd) {
    i.AnyElement({.name = "e", .property = "P", .occurs = occurs});
  } else {
    i.ClassElement({.name = "e", .property = "P", .occurs = occurs, .mandatoryContent = true, .classTypeId = 7,
                    .create = K == ValueKind::AbsCls ? "CreateShape" : ""});
  }
}

// What P holds before the read: the child a mandatory particle reads into, or a collection.
template <ValueKind K, Cardinality C>
void Holder(Bag& b) {
  WithFactory(b);
  if constexpr (C == Cardinality::Col && (K == ValueKind::Cls || K == ValueKind::AbsCls)) {
    Holds(b, Entries(0, -1));
  } else if constexpr (C == Cardinality::Col && K == ValueKind::Untpd) {
    Holds(b, detail::NewElementCol("", "##any", "", 0, -1));
  } else if constexpr (C == Cardinality::Col) {
    Holds(b, Numbers());
  } else if constexpr (C == Cardinality::Mnd && K == ValueKind::Cls) {
    Holds(b, std::make_shared<Entry>("e"));
  } else if constexpr (C == Cardinality::Mnd && K == ValueKind::Untpd) {
    Holds(b, detail::NewElement("e", "", "##any", ""));
  }
}

template <Slot G>
void InGroup(Bag& b) {
  b.Info().GroupType(G == Slot::Seq ? XmlGroupType::Sequence
                     : G == Slot::Choice ? XmlGroupType::Choice
                                          : XmlGroupType::All);
}

template <Slot G, ValueKind K, Cardinality C, auto Method>
void PositionalRow(Bag& b) {
  InGroup<G>(b), ByPosition<K, C, Method>(b), Holder<K, C>(b);
}
template <Slot G, ValueKind K, Cardinality C>
void NamedRow(Bag& b) {
  InGroup<G>(b), ByName<K, C>(b), Holder<K, C>(b);
}

TEST(Declarations, ByNameEachRowMakesWhatItsPositionalMethodMakes) {
  const struct {
    const char* row;
    Declare positional;
    Declare named;
  } rows[] = {
#define VEXLO9_ELEMENT_DECLARATION(G, K, C)                                                                     \
  {"ElementInfo" #G #K #C, &PositionalRow<Slot::G, ValueKind::K, Cardinality::C, &ClassInfo::AddElm##G##K##C>, \
   &NamedRow<Slot::G, ValueKind::K, Cardinality::C>},
#include "vexlo9/serialization/detail/ElementDeclarations.def"
#undef VEXLO9_ELEMENT_DECLARATION
  };
  ASSERT_EQ(std::size(rows), 40u);
  std::set<std::string> outcomes;
  for (const auto& r : rows) {
    for (const Declare declare : {r.positional, r.named}) {
      Bag bag("r", {"P"});
      declare(bag);
      ASSERT_EQ(bag.Info().HiddenElements().Count(), 1) << r.row;
      EXPECT_EQ(bag.Info().HiddenElements().Item(1)->TypeName(), r.row);
    }
    for (const char* content : {"<e>4</e>", "<e>12</e>", "<e>small</e>", "<e><v>5</v></e><e><v>6</v></e>", "<x/>"}) {
      const std::string outcome = Offer(r.positional, content, 0);
      EXPECT_EQ(Offer(r.named, content, 0), outcome) << r.row << " " << content;
      outcomes.insert(outcome);
    }
  }
  EXPECT_GT(outcomes.size(), 20u) << "the rows are told apart by what they read and write";
}

// The choice emptiness test reads "PropertyName" of every choice collection descriptor by name.
TEST(Descriptors, ChoiceCollectionsAnswerTheirPropertyNameByName) {
  ClassInfo info;
  info.AddElmChoicePrimCol("e", "", "Prims");
  info.AddElmChoiceEnumCol("e", "", "Enums");
  info.AddElmChoiceClsCol("e", "", "Classes", kElm);
  info.AddElmChoiceAbsClsCol("e", "", "Shapes", kElm);
  info.AddElmChoiceUntpdCol("e", "", "Anys");
  info.AddElmSeqPrimCol("e", "", "Sequence");
  std::string answers;
  for (int32_t i = 1; i <= info.HiddenElements().Count(); ++i) {
    answers += ErrorText([&] { answers += info.HiddenElements().Item(i)->GetProperty("PropertyName").ToString(); });
    answers += ';';
  }
  EXPECT_EQ(answers,
            "Primsno error;Enumsno error;Classesno error;Shapesno error;Anysno error;"
            "438 ElementInfoSeqPrimCol: Object doesn't support this property or method [PropertyName];");
}

// Typed values declared by name, read as generated code reads them (the setter's check by CheckElement or
// CheckAttribute after the read) and written back: what P holds, the writing, or the error with its source.
void Defaulted(Bag& b) {
  b.Info().ValueElement({.name = "e", .property = "P", .type = type_i4, .whitespace = kCollapse, .defaultValue = "7"});
}
void FixedDecimal(Bag& b) {
  b.Info().ValueElement({.name = "e", .property = "P", .occurs = Occurs::Optional, .isValid = "PValid",
                         .type = type_decimal, .defaultValue = "2.0", .fixed = true});
}
void FixedEnum(Bag& b) {
  WithFactory(b);
  b.Info().EnumElement({.name = "e", .property = "P", .toString = "SizeToString", .fromString = "SizeFromString",
                        .defaultValue = "large", .fixed = true});
}
void FixedAttribute(Bag& b) {
  b.Info().Attribute(
      {.name = "a", .property = "P", .required = true, .type = type_r8, .defaultValue = "1", .fixed = true});
}
void Pair(Bag& b) {
  b.Info().ValueElement({.name = "e", .property = "P", .type = type_i4, .list = true});
  Holds(b, NewCol<type_i4>({.name = "e", .minOccurs = 1, .maxOccurs = 2, .facets = {.minInclusive = "1"}}));
}
void ListDefault(Bag& b) {
  b.Info().ValueElement({.name = "e", .property = "P", .type = type_i4, .defaultValue = "1  2", .list = true});
  Holds(b, NewCol<type_i4>({.name = "e"}));
}
void ListFixed(Bag& b) {
  b.Info().ValueElement(
      {.name = "e", .property = "P", .type = type_i4, .defaultValue = "1 2", .fixed = true, .list = true});
  Holds(b, NewCol<type_i4>({.name = "e"}));
}
void AttributeList(Bag& b) {
  b.Info().Attribute({.name = "a", .property = "P", .isValid = "PValid", .type = type_i4, .list = true});
  Holds(b, NewCol<type_i4>({.name = "a", .maxOccurs = 2, .facets = {.minInclusive = "1"}}));
}
void DateOrSmall(Bag& b) {
  b.Info().ValueElement({.name = "e", .property = "P",
                         .members = {{.type = type_date, .whitespace = kCollapse},
                                     {.type = type_i4, .whitespace = kCollapse, .facets = {.maxInclusive = "5"}}}});
}
void SmallContent(Bag& b) {
  b.Info().SimpleContent({.property = "P", .type = type_i4, .whitespace = kCollapse, .facets = {.maxInclusive = "5"}});
}
void NamedElement(Bag& b) {
  b.Info().ValueElement({.name = "e", .property = "P", .whitespace = kCollapse, .qname = true});
}
void NamedAttribute(Bag& b) {
  b.Info().Attribute({.name = "a", .property = "P", .required = true, .whitespace = kCollapse, .qname = true});
}

// What P holds, as text: a list by its count, a decimal by its own text.
std::string HeldText(const Variant& held) {
  if (!held.IsObject()) return held.ToString();
  const ObjectPtr object = held.ToObject();
  if (const auto list = std::dynamic_pointer_cast<i4Col>(object)) return std::to_string(list->Count()) + " items";
  return std::dynamic_pointer_cast<Decimal>(object)->ToString();
}

std::string ReadAndWrite(Declare declare, const char* xml) {
  Bag b("r", {"P"});
  declare(b);
  Read(b, xml);
  // The setters of values check them, those of enumerations and collections do not.
  const Variant held = b.GetProperty("P");
  const ElementInfoCol& elements = b.Info().HiddenElements();
  if (b.Info().HiddenAttributes().Count() > 0) {
    b.Info().CheckAttribute("P", held);
  } else if (!held.IsObject() && (elements.Count() == 0 || elements.Item(1)->Traits().kind == ValueKind::Prim)) {
    b.Info().CheckElement("P", held);
  }
  return HeldText(held) + " | " + Write(b);
}

TEST(Declarations, TypedValuesAreReadCheckedAndWrittenAsDeclared) {
  const struct {
    Declare declare;
    const char* xml;
    std::string outcome;
  } cases[] = {
      {&Defaulted, "<r><e/></r>", "7 | <r><e/></r>"},
      {&Defaulted, "<r><e></e></r>", "7 | <r><e/></r>"},
      {&Defaulted, "<r><e> 7 </e></r>", "7 | <r><e>7</e></r>"},
      {&Defaulted, "<r><e>8</e></r>", "8 | <r><e>8</e></r>"},
      {&FixedDecimal, "<r><e>2.00</e></r>", "2.00 | <r><e>2.00</e></r>"},
      {&FixedDecimal, "<r><e/></r>", "2.0 | <r><e/></r>"},
      {&FixedDecimal, "<r><e>2.5</e></r>", "108 CheckFixedValue: The value [2.5] of [e] is not its fixed value [2.0]"},
      {&FixedEnum, "<r><e/></r>", "2 | <r><e/></r>"},
      {&FixedEnum, "<r><e>small</e></r>",
       "108 CheckFixedValue: The value [small] of [e] is not its fixed value [large]"},
      {&FixedAttribute, "<r a=\"1.0\"/>", "1 | <r a=\"1\"/>"},
      {&FixedAttribute, "<r a=\"2\"/>", "108 CheckFixedValue: The value [2] of [a] is not its fixed value [1]"},
      {&Pair, "<r><e> 1\n 2 </e></r>", "2 items | <r><e>1 2</e></r>"},
      {&Pair, "<r><e>1 2 3</e></r>",
       "107 XmlCollectionBase_ValidateCount: The Maximum number of [e] elements allowed in this collection is 2"},
      {&Pair, "<r><e/></r>",
       "107 XmlCollectionBase_ValidateCount: The Minimum number of [e] elements allowed in this collection is 1"},
      {&Pair, "<r><e>1 0</e></r>", "108 CheckRestrictionForLONG: Invalid Value for e [0]"},
      {&Pair, "<r><e>1 x</e></r>", "13 i4FromString: Type mismatch"},
      {&ListDefault, "<r><e/></r>", "2 items | <r><e/></r>"},
      {&ListDefault, "<r><e>1 2</e></r>", "2 items | <r><e>1 2</e></r>"},
      {&ListDefault, "<r><e>3</e></r>", "1 items | <r><e>3</e></r>"},
      {&ListFixed, "<r><e/></r>", "2 items | <r><e/></r>"},
      {&ListFixed, "<r><e> 01 2 </e></r>", "2 items | <r><e>1 2</e></r>"},
      {&ListFixed, "<r><e>1 3</e></r>", "108 CheckFixedValue: The value [1 3] of [e] is not its fixed value [1 2]"},
      {&AttributeList, R"(<r a=" 1  2 "/>)", R"(2 items | <r a="1 2"/>)"},
      {&AttributeList, "<r/>", "0 items | <r/>"},
      {&AttributeList, R"(<r a="1 2 3"/>)",
       "107 XmlCollectionBase_ValidateCount: The Maximum number of [a] elements allowed in this collection is 2"},
      {&AttributeList, R"(<r a="0"/>)", "108 CheckRestrictionForLONG: Invalid Value for a [0]"},
      {&DateOrSmall, "<r><e> 2026-12-07 </e></r>", " 2026-12-07  | <r><e> 2026-12-07 </e></r>"},
      {&DateOrSmall, "<r><e>5</e></r>", "5 | <r><e>5</e></r>"},
      {&DateOrSmall, "<r><e>2026</e></r>",
       "108 CheckUnion: The value [2026] of [e] is of none of the member types of its union"},
      {&SmallContent, "<r> 4 </r>", "4 | <r>4</r>"},
      {&SmallContent, "<r>6</r>", "108 CheckRestrictionForLONG: Invalid Value for r [6]"},
      {&NamedElement, R"(<r xmlns:p="urn:p"><e>p:x</e></r>)", R"({urn:p}x | <r><e xmlns:AA="urn:p">AA:x</e></r>)"},
      {&NamedElement, R"(<r><e xmlns:p="urn:p"> p:x </e></r>)", R"({urn:p}x | <r><e xmlns:AA="urn:p">AA:x</e></r>)"},
      {&NamedElement, R"(<r xmlns:p="urn:p"><e xmlns:p="urn:q">p:x</e></r>)",
       R"({urn:q}x | <r><e xmlns:AA="urn:q">AA:x</e></r>)"},
      {&NamedElement, R"(<r xmlns="urn:d" xmlns:p="urn:p"><e xmlns="">x</e></r>)", "{}x | <r><e>x</e></r>"},
      {&NamedElement, "<r><e>xml:lang</e></r>", "{http://www.w3.org/XML/1998/namespace}lang | <r><e>xml:lang</e></r>"},
      {&NamedElement, "<r><e>p:x</e></r>",
       "108 ResolveQName: The prefix [p] of the value [p:x] of [e] is not declared"},
      {&NamedElement, R"(<r xmlns:p="urn:p"><e>p:</e></r>)",
       "108 QName: The value [p:] of [e] is not a qualified name"},
      {&NamedElement, R"(<r xmlns:p="urn:p"><e>p:x:y</e></r>)",
       "108 QName: The value [p:x:y] of [e] is not a qualified name"},
      {&NamedAttribute, R"(<r xmlns:p="urn:p" a=" p:x "/>)", R"({urn:p}x | <r xmlns:AA="urn:p" a="AA:x"/>)"},
      {&NamedAttribute, R"(<r xmlns="urn:p" a="x"/>)", R"({urn:p}x | <r xmlns:AA="urn:p" a="AA:x"/>)"},
      {&NamedAttribute, R"(<r a="p:x"/>)",
       "108 ResolveQName: The prefix [p] of the value [p:x] of [a] is not declared"},
  };
  for (const auto& c : cases) {
    std::string outcome;
    try {
      outcome = ReadAndWrite(c.declare, c.xml);
    } catch (const Error& e) {
      // The innermost line of a read's error; the others name the elements around it.
      const std::string& text = e.Description();
      outcome = std::to_string(e.Number()) + " " + e.Source() + ": " + text.substr(text.rfind('\n') + 1);
    }
    EXPECT_EQ(outcome, c.outcome) << c.xml;
  }
}

// A qualified name held as {namespace}local takes the prefix in scope for it, none under its default namespace;
// text of another form is written as it stands; one of no namespace cannot be written under a default namespace.
TEST(Declarations, QualifiedNamesAreWrittenWithAPrefixInScope) {
  const struct {
    const char* held;
    std::string outcome;
  } cases[] = {
      {"{urn:d}x", R"(<r xmlns="urn:d" xmlns:p="urn:p"><e>x</e><f p:a="x"/></r>)"},
      {"{urn:p}x", R"(<r xmlns="urn:d" xmlns:p="urn:p"><e>p:x</e><f p:a="p:x"/></r>)"},
      {"{urn:q}x",
       R"(<r xmlns="urn:d" xmlns:p="urn:p"><e xmlns:AA="urn:q">AA:x</e><f xmlns:AA="urn:q" p:a="AA:x"/></r>)"},
      {"as:written", R"(<r xmlns="urn:d" xmlns:p="urn:p"><e>as:written</e><f p:a="as:written"/></r>)"},
      {"{}x",
       "108 Vexlo9: Failed to convert the element [r] to XML\r\nThe value [{}x] of [e] is in no namespace and "
       "cannot be written under the default namespace [urn:d]"},
      {"{urn:p}",
       "108 Vexlo9: Failed to convert the element [r] to XML\r\nThe value [{urn:p}] of [e] is not a "
       "qualified name"},
  };
  for (const auto& c : cases) {
    auto attributed = std::make_shared<Bag>("f", std::initializer_list<const char*>{"P"}, "urn:d");
    attributed->Info().Attribute({.name = "a", .ns = "urn:p", .property = "P", .required = true, .qname = true});
    attributed->LetProperty("P", Variant(c.held));
    Bag b("r", {"P", "F"}, "urn:d");
    b.Info().ValueElement({.name = "e", .ns = "urn:d", .property = "P", .qname = true});
    b.Info().AddElmSeqClsMnd("f", "urn:d", "F", kElm, false);
    b.LetProperty("P", Variant(c.held));
    b.SetProperty("F", attributed);
    auto context = NewContext();
    context->DefaultNamespaceURI("urn:d");
    context->NamespaceAliases().Add("urn:p", "p");
    std::string written;
    const std::string error = ErrorText([&] { written = Write(b, context); });
    EXPECT_EQ(error == "no error" ? written : error, c.outcome) << c.held;
  }
  EXPECT_EQ(ErrorText([] {
              ClassInfo info;
              info.ValueElement({.name = "e", .property = "P", .occurs = Occurs::Repeated, .qname = true});
            }),
            "5 ClassInfo.ValueElement: Invalid procedure call or argument: the element [e] cannot be declared Repeated "
            "with qname in a group of type Sequence");
}

}  // namespace
}  // namespace vexlo9::testing
