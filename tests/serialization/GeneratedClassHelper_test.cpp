// The generated-class serializer: groups, nil, attributes, the order of the calls and the root element.
#include <gtest/gtest.h>

#include "serialization/Generated.h"

namespace vexlo9::testing {
namespace {

// A document whose root carries the schema-instance nil attribute.
std::string Nil(const char* value, const char* content = "") {
  return std::string(R"(<r xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:nil=")") + value + "\">" +
         content + "</r>";
}

// String elements a and b of the group, b mandatory unless in a choice, and an optional attribute id.
template <class B = Bag>
std::shared_ptr<B> Texts(XmlGroupType group, bool strictAttributes = false) {
  auto bag = std::make_shared<B>("r", std::initializer_list<const char*>{"a", "b", "id"});
  ClassInfo& i = bag->Info();
  const auto ws = WhitespaceRule_Preserve;
  i.GroupType(group);
  i.FromXmlFailIfAttributeUnknown(strictAttributes);
  i.AddAttrPrimitive("id", "", "id", "idValid", true, "22", "", "1", "", -1, -1, "", "", "", "", -1, "");
  const bool choice = group == XmlGroupType::Choice;
  const auto optional = choice ? &ClassInfo::AddElmChoicePrimOpt : &ClassInfo::AddElmSeqPrimOpt;
  (i.*optional)("a", "", "a", "aValid", type_string, "", ws, "", -1, -1, "", "", "", "", -1);
  if (choice) (i.*optional)("b", "", "b", "bValid", type_string, "", ws, "", -1, -1, "", "", "", "", -1);
  if (!choice) i.AddElmSeqPrimMnd("b", "", "b", type_string, "", ws, "", -1, -1, "", "", "", "", -1);
  return bag;
}
std::shared_ptr<Bag> Sequence() { return Texts(XmlGroupType::Sequence); }
std::shared_ptr<Bag> Choice() { return Texts(XmlGroupType::Choice); }
std::shared_ptr<Bag> Nillable() { return Texts<NillableBag>(XmlGroupType::Sequence); }
std::shared_ptr<Bag> UnknownGroup() { return Texts(static_cast<XmlGroupType>(3)); }
std::shared_ptr<Bag> StrictAttributes() { return Texts(XmlGroupType::Sequence, true); }
// A choice whose only alternative is a collection that needs an item.
std::shared_ptr<Bag> EmptyChoice() {
  auto bag = std::make_shared<Bag>("r", std::initializer_list<const char*>{"P"});
  bag->Info().GroupType(XmlGroupType::Choice);
  bag->Info().AddElmChoiceUntpdCol("i", "", "P");
  bag->props["P"] = Variant(detail::NewElementCol("", "##any", "", 1, -1));
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

// The wildcard of a base first, then the attributes an extension declares: a required string and an enumeration.
std::shared_ptr<Bag> WildcardFirst() {
  auto bag = std::make_shared<Bag>("r", std::initializer_list<const char*>{"any", "req", "size"});
  ClassInfo& i = bag->Info();
  i.AddAttrAny("", "", "any", "##other", "urn:t");
  i.AddAttrPrimitive("req", "", "req", "", false, "22", "", "1", "", -1, -1, "", "", "", "", -1, "");
  i.AddAttrEnum("size", "", "size", "sizeValid", true, "SizeToString", "SizeFromString", "");
  bag->props["any"] = Variant(detail::NewAttributeCol("", "##other", "urn:t"));
  WithFactory(*bag);
  return bag;
}

// What reading the document with the switches left, as written back plainly, or the error raised.
std::string ReadBack(std::shared_ptr<Bag> (*make)(), const std::string& xml, int switches) {
  auto bag = make();
  std::string written;
  const std::string error = ErrorText([&] {
    Read(*bag, xml, ContextFor(switches));
    written = Write(*bag);
  });
  return error == "no error" ? written : error;
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
      {Choice, "<r/>", 0, "<r/>"},  // an optional alternative may be missing
      {EmptyChoice, "<r/>", 0,
       "157 Vexlo9: " + read +
           "No child elements within the element [r] were populated. The element represents a choice, so one and only "
           "one element should be populated. The element contained no sutable child elements"},
      {EmptyChoice, "<r/>", kNoChoice,
       "159 Vexlo9: Failed to convert the element [r] to XML\r\nThis element is a choice, and as such must have at "
       "one (and only one) valid item, currently there are none set"},
      {UnknownGroup, "<r/>", 0, "126 Vexlo9: " + read + "Unknown Group Type 3"},
      {Nillable, Nil("true", "<b>x</b>"), 0, "127 Vexlo9: " + left + "[b] remains un processed"},
      {Nillable, Nil("true", "<b>x</b>"), kSkip, nil},
      {StrictAttributes, R"(<r q:x="1" xmlns:q="urn:q"><b/></r>)", 0,
       "134 Vexlo9: " + read + "Unexpected Attribute [q:x] found."},
      {StrictAttributes, R"(<r q:x="1" xmlns:q="urn:q"><b/></r>)", kNoAttributes, "<r><b/></r>"},
      {StrictAttributes, R"(<r xmlns:x="http://www.w3.org/2001/XMLSchema-instance" x:type="T"><b/></r>)", 0,
       "<r><b/></r>"},
      {Attributes, R"(<r xmlns:q="urn:q" opt=" 2.5 " req=" x " must="small" size="large" q:z="1"/>)", 0,
       R"(<r opt="2.5" req=" x " size="large" must="small" xmlns:AA="urn:q" AA:z="1"/>)"},
      {Attributes, R"(<r req=""/>)", 0, "160 Vexlo9: " + read + "Failed to find the required Attribute [must]"},
      {WildcardFirst, R"(<r xmlns:q="urn:q" q:z="1" size="large" req="x" w="2"/>)", 0,
       R"(<r xmlns:AA="urn:q" AA:z="1" w="2" req="x" size="large"/>)"},
      {WildcardFirst, R"(<r w="2"/>)", 0, "161 Vexlo9: " + read + "Failed to find the required Attribute [req]"},
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
  // Indented, the content after the schema starts on a line of its own, as every child does.
  auto indented = NewContext();
  indented->InlineSchema("<xs:schema/>");
  EXPECT_EQ(Global::XmlObjectBaseHelper()->ToXml(*bag, false, XmlFormatting_Indented, EOLType_CRLF, indented),
            "<r id=\"9\"> \r\n<xs:schema/>\r\n\t<b>1</b>\r\n</r>\r\n");
}

TEST(GeneratedClasses, TheRootKeepsTheSchemaLocationsItWasReadWith) {
  const std::string xsi = "http://www.w3.org/2001/XMLSchema-instance";
  const std::string both =
      R"(<r xmlns:x=")" + xsi + R"(" x:schemaLocation="urn:a a.xsd" x:noNamespaceSchemaLocation="n.xsd"><b/></r>)";
  const std::string root = R"(<r xmlns:xsi=")" + xsi + "\"";
  const struct {
    std::vector<std::string> reads;  // one after another into the same object
    const char* restated;            // the context's own schemaLocation, if any
    std::string expected;
  } cases[] = {
      {{}, nullptr, root + "><b/></r>"},  // never read
      {{both}, nullptr, root + R"( xsi:schemaLocation="urn:a a.xsd" xsi:noNamespaceSchemaLocation="n.xsd"><b/></r>)"},
      {{both},
       "urn:c c.xsd",
       root + R"( xsi:schemaLocation="urn:c c.xsd" xsi:noNamespaceSchemaLocation="n.xsd"><b/></r>)"},
      {{both, "<r><b/></r>"}, nullptr, root + "><b/></r>"},  // the last document read counts
      {{R"(<r xmlns:x="urn:x" x:schemaLocation="elsewhere"><b/></r>)"}, nullptr, root + "><b/></r>"},
  };
  for (const auto& c : cases) {
    auto bag = Sequence();
    for (const std::string& xml : c.reads) Read(*bag, xml);
    auto context = NewContext();
    context->NamespaceAliases().Add(xsi, "xsi");
    if (c.restated) context->AdditionalRootAttributes().AddNewEx("schemaLocation", xsi, std::string(c.restated));
    EXPECT_EQ(Write(*bag, context), c.expected) << c.reads.size();
  }
  // Not the class's attributes: a class that refuses unknown ones keeps them too.
  auto strict = StrictAttributes();
  Read(*strict, both);
  EXPECT_EQ(strict->SchemaLocations(), (XmlGeneratedClass::SchemaLocationList{{"schemaLocation", "urn:a a.xsd"},
                                                                              {"noNamespaceSchemaLocation", "n.xsd"}}));
}

}  // namespace
}  // namespace vexlo9::testing
