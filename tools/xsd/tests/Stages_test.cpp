// The compiler's stages on their own: the typed model read from schema text, simple types resolved along their
// derivation, and the printer of generated code.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "Binding.h"
#include "Code.h"
#include "Loader.h"
#include "ModelReader.h"
#include "Packaging.h"
#include "Schema.h"

namespace {

namespace fs = std::filesystem;
using namespace vexlo9::xsd;

// A schema in the namespace urn:t of the components given, read into the model and indexed.
struct Loaded {
  SchemaModel model;
  Diagnostics diagnostics;
  std::optional<Schema> schema;
};

std::unique_ptr<Loaded> Load(const std::string& components, const std::string& settings = "") {
  const fs::path file = fs::temp_directory_path() / ("vexlo9-stages-" + std::to_string(::getpid()) + ".xsd");
  std::ofstream(file) << "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" xmlns=\"urn:t\" "
                         "targetNamespace=\"urn:t\" "
                      << settings << ">\n"
                      << components << "\n</xs:schema>\n";
  auto loaded = std::make_unique<Loaded>();
  try {
    ReadModel(SchemaSet({file.string()}), loaded->model);
    loaded->schema.emplace(loaded->model, loaded->diagnostics);
  } catch (...) {
    fs::remove(file);
    throw;
  }
  fs::remove(file);
  return loaded;
}

const ComplexTypeDef& Type(const Loaded& loaded, const std::string& name) {
  const ComplexTypeDef* type = loaded.schema->ComplexType({"urn:t", name});
  if (!type) throw std::runtime_error("no type " + name);
  return *type;
}

TEST(SchemaModel, BooleansOccurrencesFormsAndValuesAreReadOnce) {
  const auto loaded = Load(
      "<xs:element name=\"root\" type=\"T\" nillable=\"1\" abstract=\" 0 \"/>\n"
      "<xs:complexType name=\"T\" mixed=\"1\" abstract=\"true\">\n"
      "  <xs:sequence minOccurs=\"0\">\n"
      "    <xs:element name=\"a\" type=\"xs:int\" default=\"7\" maxOccurs=\"unbounded\"/>\n"
      "    <xs:element name=\"b\" type=\"xs:string\" fixed=\"x\" form=\"unqualified\" minOccurs=\"0\" maxOccurs=\"3\"/>\n"
      "  </xs:sequence>\n"
      "  <xs:attribute name=\"c\" type=\"xs:string\" default=\"d\" use=\"required\"/>\n"
      "  <xs:attribute name=\"q\" form=\"qualified\" fixed=\"f\"/>\n"
      "</xs:complexType>",
      "elementFormDefault=\"qualified\"");
  const ElementDecl& root = *loaded->schema->Element({"urn:t", "root"});
  EXPECT_TRUE(root.nillable);
  EXPECT_FALSE(root.abstract);
  EXPECT_EQ(root.type.name, (QName{"urn:t", "T"}));

  const ComplexTypeDef& t = Type(*loaded, "T");
  EXPECT_TRUE(t.mixed);
  EXPECT_TRUE(t.abstract);
  ASSERT_TRUE(t.particle);
  EXPECT_EQ(t.particle->occurs.min, 0);
  const std::vector<Particle>& particles = t.particle->group->particles;
  ASSERT_EQ(particles.size(), 2u);
  EXPECT_EQ(particles[0].element->name, (QName{"urn:t", "a"}));  // qualified by the schema's default
  EXPECT_EQ(particles[0].occurs.max, kUnbounded);
  EXPECT_EQ(particles[0].element->defaultValue, "7");
  EXPECT_EQ(particles[1].element->name, (QName{"", "b"}));  // unqualified by its own form
  EXPECT_EQ(particles[1].element->fixedValue, "x");
  EXPECT_EQ(particles[1].occurs.max, 3);

  ASSERT_EQ(t.attributes.size(), 2u);
  EXPECT_EQ(t.attributes[0].use, AttributeItem::Use::Required);
  EXPECT_EQ(t.attributes[0].local->name, (QName{"", "c"}));  // attributes unqualified by default
  EXPECT_EQ(t.attributes[0].defaultValue, "d");
  EXPECT_EQ(t.attributes[1].local->name, (QName{"urn:t", "q"}));
  EXPECT_EQ(t.attributes[1].fixedValue, "f");
}

TEST(SchemaModel, WhatIsNoSchemaIsRefusedWhereItStands) {
  const struct {
    std::string components, diagnostic;
  } cases[] = {
      {"<xs:element name=\"e\" nillable=\"yes\"/>", ":2: xs:element: nillable yes is not a boolean: give true or false"},
      {"<xs:complexType name=\"T\"><xs:sequence><xs:element name=\"e\" form=\"local\"/></xs:sequence>"
       "</xs:complexType>",
       ":2: xs:element: form local is not qualified or unqualified: give one"},
      {"<xs:complexType name=\"T\"><xs:sequence><xs:element name=\"e\" maxOccurs=\"many\"/></xs:sequence>"
       "</xs:complexType>",
       ":2: xs:element: maxOccurs many is not a count: give a number or unbounded"},
      {"<xs:simpleType name=\"S\"><xs:restriction base=\"xs:string\"><xs:length value=\"-1\"/></xs:restriction>"
       "</xs:simpleType>",
       ":2: xs:length: the value -1 is not a length: give a count"},
      {"<xs:complexType name=\"T\"><xs:complexContent><xs:extension/></xs:complexContent></xs:complexType>",
       ":2: xs:complexContent: it needs an extension or restriction of a base"},
      {"<xs:simpleType name=\"T\"><xs:list itemType=\"xs:int\"/></xs:simpleType>\n<xs:complexType name=\"T\"/>",
       ":3: xs:complexType: {urn:t}T is defined twice"},
  };
  for (const auto& c : cases) {
    try {
      Load(c.components);
      ADD_FAILURE() << "accepted: " << c.components;
    } catch (const Refusal& refusal) {
      EXPECT_NE(std::string(refusal.what()).find(c.diagnostic), std::string::npos) << refusal.what();
    }
  }
}

TEST(SchemaModel, RedefinedAndOverriddenComponentsTakeThePlaceOfTheOriginals) {
  const fs::path dir = fs::temp_directory_path() / ("vexlo9-change-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string open = "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">\n";
  std::ofstream(dir / "base.xsd") << open
                                  << "<xs:complexType name=\"Box\"><xs:attribute name=\"id\"/></xs:complexType>\n"
                                     "<xs:element name=\"box\" type=\"Box\"/>\n<xs:simpleType name=\"S\">"
                                     "<xs:restriction base=\"xs:string\"/></xs:simpleType>\n</xs:schema>\n";
  std::ofstream(dir / "main.xsd")
      << "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" xmlns=\"urn:t\" targetNamespace=\"urn:t\">\n"
         "<xs:redefine schemaLocation=\"base.xsd\"><xs:complexType name=\"Box\"><xs:complexContent>"
         "<xs:extension base=\"Box\"><xs:attribute name=\"size\"/></xs:extension></xs:complexContent>"
         "</xs:complexType></xs:redefine>\n</xs:schema>\n";
  std::ofstream(dir / "other.xsd")
      << "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" xmlns=\"urn:t\" targetNamespace=\"urn:t\">\n"
         "<xs:override schemaLocation=\"base.xsd\"><xs:simpleType name=\"S\"><xs:restriction base=\"xs:int\"/>"
         "</xs:simpleType><xs:simpleType name=\"Unused\"><xs:restriction base=\"xs:int\"/></xs:simpleType>"
         "</xs:override>\n</xs:schema>\n";
  SchemaModel model;
  ReadModel(SchemaSet({(dir / "main.xsd").string(), (dir / "other.xsd").string()}), model);
  Diagnostics diagnostics;
  Schema schema(model, diagnostics);
  fs::remove_all(dir);
  const ComplexTypeDef& box = *schema.ComplexType({"urn:t", "Box"});
  EXPECT_EQ(box.base, (QName{"urn:t", "Box redefined"}));  // the extension builds on the original
  EXPECT_EQ(schema.ComplexType(box.base)->attributes.size(), 1u);
  EXPECT_EQ(schema.Element({"urn:t", "box"})->type.name, (QName{"urn:t", "Box"}));  // which is now the redefined one
  EXPECT_EQ(schema.Simple({"urn:t", "S"})->primitive->name, "i4");                  // overridden
  EXPECT_EQ(schema.Simple({"urn:t", "Unused"}), nullptr);  // an override of nothing adds nothing
}

TEST(SimpleTypes, EachDerivationStepKeepsItsPatternsAndNarrowsTheRest) {
  const auto loaded = Load(
      "<xs:simpleType name=\"Code\"><xs:restriction base=\"xs:string\"><xs:pattern value=\"\\d{3}\"/>"
      "<xs:maxLength value=\"9\"/></xs:restriction></xs:simpleType>\n"
      "<xs:simpleType name=\"Narrow\"><xs:restriction base=\"Code\"><xs:pattern value=\"1.*\"/>"
      "<xs:pattern value=\"2.*\"/><xs:maxLength value=\"3\"/><xs:whiteSpace value=\"collapse\"/>"
      "</xs:restriction></xs:simpleType>\n"
      "<xs:simpleType name=\"Id\"><xs:restriction base=\"xs:NCName\"><xs:enumeration value=\"a\"/>"
      "</xs:restriction></xs:simpleType>\n"
      "<xs:simpleType name=\"Small\"><xs:restriction base=\"xs:int\"><xs:minInclusive value=\"1\"/>"
      "</xs:restriction></xs:simpleType>\n"
      "<xs:simpleType name=\"Smaller\"><xs:restriction base=\"Small\"><xs:minInclusive value=\"5\"/>"
      "<xs:maxExclusive value=\"9\"/></xs:restriction></xs:simpleType>");
  Schema& schema = *loaded->schema;
  const SimpleType& code = *schema.Simple({"urn:t", "Code"});
  EXPECT_EQ(code.facets.patterns, (std::vector<std::string>{"\\d{3}"}));
  const SimpleType& narrow = *schema.Simple({"urn:t", "Narrow"});
  EXPECT_EQ(narrow.facets.patterns, (std::vector<std::string>{"\\d{3}", "(1.*)|(2.*)"}));
  EXPECT_EQ(narrow.facets.maxLength, 3);
  EXPECT_EQ(narrow.whitespace, Whitespace::Collapse);
  EXPECT_EQ(narrow.primitive->name, "string");
  const SimpleType& id = *schema.Simple({"urn:t", "Id"});
  EXPECT_EQ(id.facets.patterns.size(), 1u);  // NCName's own
  EXPECT_EQ(id.enumeration, (std::vector<std::string>{"a"}));
  const SimpleType& smaller = *schema.Simple({"urn:t", "Smaller"});
  EXPECT_EQ(smaller.facets.minInclusive, "5");
  EXPECT_EQ(smaller.facets.maxExclusive, "9");
  EXPECT_EQ(smaller.primitive->name, "i4");
}

// A list knows its item type and counts its items with its own length facets; a union knows its members in order,
// a union among them flattened, and gives up on a list among them.
TEST(SimpleTypes, ListsKeepTheirItemTypeAndUnionsTheirMembers) {
  const auto loaded = Load(
      "<xs:simpleType name=\"Small\"><xs:restriction base=\"xs:int\"><xs:minInclusive value=\"1\"/>"
      "</xs:restriction></xs:simpleType>\n"
      "<xs:simpleType name=\"Smalls\"><xs:list itemType=\"Small\"/></xs:simpleType>\n"
      "<xs:simpleType name=\"Pair\"><xs:restriction base=\"Smalls\"><xs:length value=\"2\"/>"
      "</xs:restriction></xs:simpleType>\n"
      "<xs:simpleType name=\"DateOrSmall\"><xs:union memberTypes=\"xs:date\"><xs:simpleType>"
      "<xs:union memberTypes=\"Small xs:boolean\"/></xs:simpleType></xs:union></xs:simpleType>\n"
      "<xs:simpleType name=\"Loose\"><xs:union memberTypes=\"xs:date Smalls\"/></xs:simpleType>");
  Schema& schema = *loaded->schema;
  const SimpleType& smalls = *schema.Simple({"urn:t", "Smalls"});
  ASSERT_NE(smalls.item, nullptr);
  EXPECT_EQ(smalls.item, schema.Simple({"urn:t", "Small"}));
  EXPECT_EQ(smalls.facets.length, -1);
  const SimpleType& pair = *schema.Simple({"urn:t", "Pair"});
  EXPECT_EQ(pair.item, smalls.item);
  EXPECT_EQ(pair.facets.length, 2);
  EXPECT_TRUE(pair.item->facets.patterns.empty());
  const SimpleType& dateOrSmall = *schema.Simple({"urn:t", "DateOrSmall"});
  ASSERT_EQ(dateOrSmall.members.size(), 3u);
  EXPECT_EQ(dateOrSmall.members[0]->primitive->name, "date");
  EXPECT_EQ(dateOrSmall.members[1], schema.Simple({"urn:t", "Small"}));
  EXPECT_EQ(dateOrSmall.members[2]->primitive->name, "boolean");
  EXPECT_TRUE(schema.Simple({"urn:t", "Loose"})->members.empty());
  EXPECT_EQ(loaded->diagnostics.Warnings().size(), 1u);
}

// --root: the classes a document of the root may hold, through particles, bases and the classes xsi:type may
// name, and the enumerations they use; nothing else of the schema.
TEST(Packaging, RootsLimitTheClassesToWhatTheyReach) {
  const auto loaded = Load(
      "<xs:element name=\"order\"><xs:complexType><xs:sequence>\n"
      "  <xs:element name=\"to\" type=\"Address\"/><xs:element name=\"line\" type=\"Line\"/>\n"
      "</xs:sequence></xs:complexType></xs:element>\n"
      "<xs:element name=\"invoice\"><xs:complexType><xs:sequence>\n"
      "  <xs:element name=\"sum\" type=\"Money\"/>\n"
      "</xs:sequence></xs:complexType></xs:element>\n"
      "<xs:complexType name=\"Party\"><xs:sequence><xs:element name=\"name\" type=\"xs:string\"/>"
      "</xs:sequence></xs:complexType>\n"
      "<xs:complexType name=\"Address\"><xs:complexContent><xs:extension base=\"Party\"/></xs:complexContent>"
      "</xs:complexType>\n"
      "<xs:complexType name=\"UKAddress\"><xs:complexContent><xs:extension base=\"Address\"/></xs:complexContent>"
      "</xs:complexType>\n"
      "<xs:complexType name=\"Line\"><xs:attribute name=\"unit\" type=\"Unit\"/></xs:complexType>\n"
      "<xs:complexType name=\"Money\"><xs:attribute name=\"currency\" type=\"Currency\"/></xs:complexType>\n"
      "<xs:simpleType name=\"Unit\"><xs:restriction base=\"xs:string\"><xs:enumeration value=\"kg\"/>"
      "</xs:restriction></xs:simpleType>\n"
      "<xs:simpleType name=\"Currency\"><xs:restriction base=\"xs:string\"><xs:enumeration value=\"EUR\"/>"
      "</xs:restriction></xs:simpleType>");
  const auto placed = [&](const std::vector<std::string>& roots) {
    Options options;
    options.roots = roots;
    Binding binding = Bind(*loaded->schema, options);
    const Package package = MakePackage(binding, loaded->model, options);
    std::string names;
    for (const ClassType* cls : package.outputs.at(0).classes) names += cls->name + " ";
    for (const EnumType* e : package.outputs.at(0).enums) names += e->name + " ";
    return names;
  };
  EXPECT_EQ(placed({"order"}), "Party Address UKAddress Line Order Unit ");
  EXPECT_EQ(placed({"invoice"}), "Money Invoice Currency ");
  EXPECT_EQ(placed({}), "Party Address UKAddress Line Money Order Invoice Unit Currency ");
}

TEST(Code, StatementsStayWithinTheColumnsAndLiteralsAreNeverSplit) {
  using cpp::Expr;
  const std::string pattern(140, 'x');
  const struct {
    Expr statement;
    std::string text;
  } cases[] = {
      {Expr::Call("f", {"a", "b"}).Then(";"), "f(a, b);\n"},
      {Expr::Call("info->Value", {Expr::Braced("", {Expr::Assign(".name", "\"n\""), Expr::Assign(".facets",
                                                    Expr::Braced("", {Expr::Assign(".patterns",
                                                                                   Expr::Braced("", {'"' + pattern + '"'}))}))})})
           .Then(";"),
       "info->Value({.name = \"n\",\n"
       "             .facets = {.patterns = {\"" + pattern + "\"}}});\n"},
      {Expr::Assign("value_", Expr::Call("std::make_shared<vexlo9::SomeCollectionTypeName>",
                                         {"\"element-name-that-is-long\"", "kNamespaceOfTheSchema", "0", "-1",
                                          "vexlo9::XmlElementType::Element"}))
           .Then(";"),
       "value_ = std::make_shared<vexlo9::SomeCollectionTypeName>(\"element-name-that-is-long\", kNamespaceOfTheSchema, "
       "0, -1,\n" +
           std::string(58, ' ') + "vexlo9::XmlElementType::Element);\n"},
      {Expr::If("name == \"" + std::string(90, 'n') + "\"", "return std::make_shared<Something>();"),
       "if (name == \"" + std::string(90, 'n') + "\")\n  return std::make_shared<Something>();\n"},
  };
  for (const auto& c : cases) {
    cpp::Code code;
    code.Statement(c.statement);
    EXPECT_EQ(code.Text(), c.text);
  }
}

}  // namespace
