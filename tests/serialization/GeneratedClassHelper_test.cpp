// The generated-class serializer: groups, nil, attributes, the error lines of each level and the root element.
#include <gtest/gtest.h>

#include "serialization/Generated.h"

namespace vexlo9::testing {
namespace {

// A document whose root carries the schema-instance nil attribute.
std::string Nil(const char* value, const char* content = "") {
  return std::string(R"(<r xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:nil=")") + value + "\">" +
         content + "</r>";
}

// String elements a and b of the group, b mandatory where the group allows it, and an optional attribute id.
template <class B = Bag>
std::shared_ptr<B> Texts(XmlGroupType group, const char* name = "r", bool strictAttributes = false) {
  auto bag = std::make_shared<B>(name, std::initializer_list<const char*>{"a", "b", "id"});
  ClassInfo& i = bag->Info();
  const auto ws = WhitespaceRule_Preserve;
  i.GroupType(group);
  i.FromXmlFailIfAttributeUnknown(strictAttributes);
  i.AddAttrPrimitive("id", "", "id", "idValid", true, "22", "", "1", "", -1, -1, "", "", "", "", -1, "");
  const bool choice = group == XmlGroupType::Choice, all = group == XmlGroupType::All;
  const auto optional = choice ? &ClassInfo::AddElmChoicePrimOpt
                        : all  ? &ClassInfo::AddElmAllPrimOpt
                               : &ClassInfo::AddElmSeqPrimOpt;
  (i.*optional)("a", "", "a", "aValid", type_string, "", ws, "", -1, -1, "", "", "", "", -1);
  const auto mandatory = all ? &ClassInfo::AddElmAllPrimMnd : &ClassInfo::AddElmSeqPrimMnd;
  if (choice) (i.*optional)("b", "", "b", "bValid", type_string, "", ws, "", -1, -1, "", "", "", "", -1);
  if (!choice) (i.*mandatory)("b", "", "b", type_string, "", ws, "", -1, -1, "", "", "", "", -1);
  return bag;
}
std::shared_ptr<Bag> Sequence() { return Texts(XmlGroupType::Sequence); }
std::shared_ptr<Bag> Choice() { return Texts(XmlGroupType::Choice); }
std::shared_ptr<Bag> All() { return Texts(XmlGroupType::All); }
std::shared_ptr<Bag> Nillable() { return Texts<NillableBag>(XmlGroupType::Sequence); }
std::shared_ptr<Bag> UnknownGroup() { return Texts(static_cast<XmlGroupType>(3)); }
std::shared_ptr<Bag> StrictAttributes() { return Texts(XmlGroupType::Sequence, "r", true); }
// A choice whose only alternative is a collection that needs an item.
std::shared_ptr<Bag> EmptyChoice() {
  auto bag = std::make_shared<Bag>("r", std::initializer_list<const char*>{"P"});
  bag->Info().GroupType(XmlGroupType::Choice);
  bag->Info().AddElmChoiceUntpdCol("i", "", "P");
  bag->props["P"] = Variant(detail::NewElementCol("", "##any", "", 1, -1));
  return bag;
}
// Of a type derived from another, named Special in urn:t: an element of another name needs the type attribute.
std::shared_ptr<Bag> Derived() {
  auto bag = std::make_shared<Bag>("Special", std::initializer_list<const char*>{}, "urn:t");
  bag->Info().IsClassDerived(true);
  return bag;
}
// An optional number with the default "1" read collapsed, a required string read as it stands, an optional and
// a required enumeration, and a wildcard for namespaces other than urn:t. Type and whitespace rule go as text.
std::shared_ptr<Bag> Attributes() {
  auto bag = std::make_shared<Bag>("r", std::initializer_list<const char*>{"opt", "req", "size", "must", "any"});
  ClassInfo& i = bag->Info();
  i.AddAttrPrimitive("opt", "", "opt", "optValid", true, "11", "", "0", "", -1, -1, "", "", "", "", -1, "1");
  i.AddAttrPrimitive("req", "", "req", "", false, "22", "", "1", "", -1, -1, "", "", "", "", -1, "");
  i.AddAttrEnum("size", "", "size", "sizeValid", true, "SizeToString", "SizeFromString", "small");
  i.AddAttrEnum("must", "", "must", "", false, "SizeToString", "SizeFromString", "");
  i.AddAttrAny("", "", "any", "##other", "urn:t");
  bag->props["any"] = Variant(detail::NewAttributeCol("", "##other", "urn:t"));
  WithFactory(*bag);
  return bag;
}

// What reading the document left, as written back, or the error raised.
std::string ReadBack(std::shared_ptr<Bag> (*make)(), const std::string& xml, int switches) {
  auto bag = make();
  std::string written;
  const std::string error = ErrorText([&] { Read(*bag, xml, ContextFor(switches & ~(kNoDefaults | kNoType))); });
  if (error != "no error") return error;
  const std::string writeError =
      ErrorText([&] { written = Write(*bag, ContextFor(switches & (kNoDefaults | kNoType))); });
  return writeError == "no error" ? written : writeError;
}

TEST(GeneratedClasses, ReadGroupsNilAndAttributesAndWriteThemBack) {
  const std::string read = "Failed to process the element [r]\r\n";
  const std::string left = read + "Failed read all the elements held within the element [r]. The unexpected element ";
  const std::string nil = R"(<r xmlns:AA="http://www.w3.org/2001/XMLSchema-instance" AA:nil="true"/>)";
  const struct {
    std::shared_ptr<Bag> (*make)();
    std::string xml;
    int switches;
    std::string expected;
  } cases[] = {
      {Sequence, R"(<r id="7"><a>1</a><b>2</b></r>)", 0, R"(<r id="7"><a>1</a><b>2</b></r>)"},
      {Sequence, "<r><b>2</b><x/></r>", 0, "127 Vexlo9: " + left + "[x] remains un processed"},
      {Sequence, "<r><x/><b>2</b><y/></r>", kSkip, "<r><b>2</b></r>"},
      {Choice, "<r><b>2</b></r>", 0, "<r><b>2</b></r>"},
      {Choice, "<r><b>2</b><a>1</a></r>", 0, "158 Vexlo9: " + left + "[a] remains un processed\""},
      {Choice, "<r/>", 0, "<r/>"},  // an optional alternative may be missing
      {EmptyChoice, "<r/>", 0,
       "157 Vexlo9: " + read +
           "No child elements within the element [r] were populated. The element represents a choice, so one and only "
           "one element should be populated. The element contained no sutable child elements"},
      {EmptyChoice, "<r/>", kNoChoice,
       "159 Vexlo9: Failed to convert the element [r] to XML\r\nThis element is a choice, and as such must have at "
       "one (and only one) valid item, currently there are none set"},
      {All, "<r><b>2</b><a>1</a></r>", 0, "<r><a>1</a><b>2</b></r>"},
      {All, "<r><b>2</b><a>1</a><b>3</b></r>", 0, "161 Vexlo9: " + left + "[b] remains un processed"},
      {All, "<r><a>1</a></r>", 0, "141 Vexlo9: " + read + "Failed to find the mandatory element [b]"},
      {UnknownGroup, "<r/>", 0, "126 Vexlo9: " + read + "Unknown Group Type 3"},
      {Nillable, Nil("TRUE"), 0, nil},
      {Nillable, Nil("false", "<b>x</b>"), 0, "<r><b>x</b></r>"},
      {Nillable, Nil("true", "<b>x</b>"), 0, "127 Vexlo9: " + left + "[b] remains un processed"},
      {Nillable, Nil("true", "<b>x</b>"), kSkip, nil},
      {Nillable, Nil("1"), 0, "134 Vexlo9: " + read + "Unexpected Value for Attribute [xsi:nil] found."},
      {Sequence, Nil("true"), 0, "134 Vexlo9: " + read + "Unexpected Attribute [xsi:nil] found."},
      {StrictAttributes, R"(<r q:x="1" xmlns:q="urn:q"><b/></r>)", 0,
       "134 Vexlo9: " + read + "Unexpected Attribute [q:x] found."},
      {StrictAttributes, R"(<r q:x="1" xmlns:q="urn:q"><b/></r>)", kNoAttributes, "<r><b/></r>"},
      {StrictAttributes, R"(<r xmlns:x="http://www.w3.org/2001/XMLSchema-instance" x:type="T"><b/></r>)", 0,
       "<r><b/></r>"},
      {Attributes, R"(<r xmlns:q="urn:q" opt=" 2.5 " req=" x " must="small" size="large" q:z="1"/>)", 0,
       R"(<r opt="2.5" req=" x " size="large" must="small" xmlns:AA="urn:q" AA:z="1"/>)"},
      {Attributes, R"(<r opt="1" req="" must="large" size="small"/>)", kNoDefaults, R"(<r req="" must="large"/>)"},
      {Attributes, R"(<r opt="1.5" req="" must="large"/>)", kNoDefaults, R"(<r opt="1.5" req="" must="large"/>)"},
      {Attributes, R"(<r must="small"/>)", 0, "161 Vexlo9: " + read + "Failed to find the required Attribute [req]"},
      {Attributes, R"(<r req=""/>)", 0, "160 Vexlo9: " + read + "Failed to find the required Attribute [must]"},
      {Attributes, R"(<r req="" must="huge"/>)", 0, "380 SizeFromString: " + read + "bad size [huge]"},
      {Attributes, R"(<r xmlns:t="urn:t" req="" must="small" t:y="3"/>)", 0,
       "106 TestNamespace: " + read +
           "Invalid namespace [urn:t]. The namespace must be one of [##other] where the target namespace is [urn:t]"},
      {Derived, R"(<item xmlns="urn:t"/>)", 0,
       R"(<AA:item xmlns:AA="urn:t" xmlns:AB="http://www.w3.org/2001/XMLSchema-instance" AB:type="AA:Special"/>)"},
      {Derived, R"(<item xmlns="urn:t"/>)", kNoType, R"(<AA:item xmlns:AA="urn:t"/>)"},
      {Derived, R"(<Special xmlns="urn:t"/>)", 0, R"(<AA:Special xmlns:AA="urn:t"/>)"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadBack(c.make, c.xml, c.switches), c.expected) << c.xml;
  EXPECT_EQ(ErrorText([] { Write(*UnknownGroup()); }),
            "135 Vexlo9: Failed to convert the element [r] to XML\r\nUnknown Group Type 3");
}

TEST(GeneratedClasses, InitThenNameThenAttributesThenContentAndText) {
  for (const SchemaType schema : {SchemaType_XSD, SchemaType_DTD}) {
    auto bag = Sequence();
    bag->onInit = [raw = bag.get()] { raw->log.push_back("init"); };
    bag->Info().AllowText(true);
    auto context = NewContext();
    context->SchemaType(schema);
    Read(*bag, R"(<p:r xmlns:p="urn:p" id="7">one <b>2</b><![CDATA[<three>]]></p:r>)", context);
    const std::string name = schema == SchemaType_DTD ? "name p:r" : "name r";
    EXPECT_EQ(bag->log, (std::vector<std::string>{"init", name, "let id", "let b", "let Text"}));
    const std::string tag = name.substr(5);  // under DTD the qualified name is kept for writing too
    EXPECT_EQ(Write(*bag), "<" + tag + R"( id="7"><b>2</b>one &lt;three&gt;</)" + tag + ">")
        << "own text after the children";
  }
}

TEST(GeneratedClasses, EveryLevelAddsItsLineOutermostFirst) {
  const auto nest = [](std::shared_ptr<Bag> inner) {
    auto middle = std::make_shared<Bag>("middle", std::initializer_list<const char*>{"I"});
    middle->Info().AddElmSeqClsMnd(std::string(inner->ElementName()), "", "I", kElm, false);
    middle->props["I"] = Variant(inner);
    auto outer = std::make_shared<Bag>("outer", std::initializer_list<const char*>{"M"});
    outer->Info().AddElmSeqClsMnd("middle", "urn:m", "M", kElm, false);
    outer->props["M"] = Variant(middle);
    return outer;
  };
  EXPECT_EQ(
      ErrorText([&] { Read(*nest(Sequence()), R"(<outer xmlns:p="urn:m"><p:middle><r><a/></r></p:middle></outer>)"); }),
      "131 Vexlo9: Failed to process the element [outer]\r\nFailed to process the element [p:middle]\r\n"
      "Failed to process the element [r]\r\nFailed to find a required element [b]");
}

TEST(GeneratedClasses, TheRootCarriesTheContextsSetUpBeforeItsOwnAttributes) {
  auto bag = Sequence();
  bag->LetProperty("b", Variant("1"));
  bag->LetProperty("id", Variant("9"));
  auto context = NewContext();
  context->ProcessingInstructions() = {"<?pi one?>", "<!-- two -->"};
  context->NamespaceAliases().Add("urn:p", "p");
  context->DefaultNamespaceURI("urn:d");
  context->AdditionalRootAttributes().AddNewEx("extra", std::string("urn:d"), std::string("x"));
  context->InlineSchema("<xs:schema/>");
  EXPECT_EQ(
      Global::XmlObjectBaseHelper()->ToXml(*bag, true, XmlFormatting_None, EOLType_LF, context),
      "<?xml version=\"1.0\"?>\n<?pi one?>\n<!-- two -->\n<r xmlns=\"urn:d\" xmlns:p=\"urn:p\" xmlns:AA=\"urn:d\" "
      "AA:extra=\"x\" id=\"9\"> \n<xs:schema/><b>1</b></r>");
}

}  // namespace
}  // namespace vexlo9::testing
