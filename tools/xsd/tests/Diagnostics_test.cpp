// The schemas vexlo9-xsd must refuse, each with its exact diagnostic, exit status 2 and no file written, and the
// constructs it binds with a warning. Each row is a small schema document (a.xsd, and b.xsd when it includes or
// imports one) run through the program itself.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string errors;
  bool wroteFiles;
};

// A schema whose components are the text given, in the target namespace urn:t.
std::string Schema(const std::string& components) {
  return "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" xmlns=\"urn:t\" targetNamespace=\"urn:t\">\n" +
         components + "\n</xs:schema>\n";
}

Outcome Compile(const std::string& a, const std::string& b, const std::string& options) {
  const fs::path work = fs::temp_directory_path() / ("vexlo9-xsd-test-" + std::to_string(::getpid()));
  fs::remove_all(work);
  fs::create_directories(work / "out");
  std::ofstream(work / "a.xsd") << a;
  if (!b.empty()) std::ofstream(work / "b.xsd") << b;
  const std::string command =
      "cd " + work.string() + " && " VEXLO9_XSD_PROGRAM " --output-dir out " + options + " a.xsd 2> errors.txt";
  const int status = std::system(command.c_str());
  std::stringstream errors;
  errors << std::ifstream(work / "errors.txt").rdbuf();
  Outcome run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, errors.str(), !fs::is_empty(work / "out")};
  fs::remove_all(work);
  return run;
}

TEST(Diagnostics, RefusedSchemasAreNamedByFileAndLineAndNothingIsWritten) {
  const std::string po = Schema("<xs:element name=\"e\" type=\"T\"/>\n<xs:complexType name=\"T\"/>");
  const struct {
    std::string a, b, options, diagnostic;
  } cases[] = {
      {Schema("<xs:redefine schemaLocation=\"b.xsd\"><xs:complexType name=\"U\"/></xs:redefine>"), po, "",
       "a.xsd:2: xs:complexType: {urn:t}U is not defined by the schemas read: redefine only what the schema defines"},
      {Schema("<xs:element name=\"e\" type=\"Missing\"/>"), "", "",
       "a.xsd:2: xs:element: the type {urn:t}Missing is not defined: fix the name or give the schema that defines it"},
      {Schema("<xs:element name=\"e\" type=\"p:T\"/>"), "", "",
       "a.xsd:2: xs:element: the prefix p of p:T is not declared: declare it or fix the name"},
      {Schema("<xs:group name=\"g\"><xs:sequence><xs:group ref=\"g\"/></xs:sequence></xs:group>\n"
              "<xs:complexType name=\"T\"><xs:group ref=\"g\"/></xs:complexType>"),
       "", "", "a.xsd:2: xs:group: the group g contains itself: break the cycle"},
      {Schema("<xs:complexType name=\"T\"><xs:complexContent><xs:extension base=\"T\"/></xs:complexContent>"
              "</xs:complexType>"),
       "", "", "a.xsd:2: xs:complexType: T derives from itself: break the cycle"},
      {Schema("<xs:element name=\"a\" type=\"xs:string\" substitutionGroup=\"b\"/>\n"
              "<xs:element name=\"b\" type=\"xs:string\" substitutionGroup=\"a\"/>"),
       "", "", "a.xsd:2: substitutionGroup: the element a is a member of its own substitution group: break the cycle"},
      {Schema("<xs:complexType name=\"T\"/>\n<xs:complexType name=\"T\"/>"), "", "",
       "a.xsd:3: xs:complexType: {urn:t}T is defined twice (first at a.xsd:2): keep one"},
      {Schema("<xs:element name=\"e\">"), "", "",
       "a.xsd:4: XML: the document is not well-formed (Premature end of data in tag schema line 1): fix it"},
      {Schema("<xs:include schemaLocation=\"missing.xsd\"/>"), "", "",
       "a.xsd:2: xs:include: cannot read missing.xsd: fix the path"},
      {Schema("<xs:include schemaLocation=\"http://example.org/b.xsd\"/>"), "", "",
       "a.xsd:2: xs:include: http://example.org/b.xsd is not a local file: save the schema beside this one and give "
       "its path"},
      {Schema("<xs:import namespace=\"urn:other\"/>"), "", "",
       "a.xsd:2: xs:import: no local schema for the namespace urn:other: save it as a file, give its path in "
       "schemaLocation or on the command line"},
      {Schema("<xs:include schemaLocation=\"b.xsd\"/>"),
       "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" targetNamespace=\"urn:other\"/>", "",
       "a.xsd:2: xs:include: b.xsd has the target namespace urn:other, not urn:t: include only schemas of the same "
       "namespace, import others"},
      {Schema("<xs:element name=\"e\" maxOccurs=\"2\" minOccurs=\"3\" type=\"xs:string\"/>\n"
              "<xs:complexType name=\"T\"><xs:sequence><xs:element name=\"c\" minOccurs=\"3\" maxOccurs=\"2\"/>"
              "</xs:sequence></xs:complexType>"),
       "", "", "a.xsd:3: xs:element: minOccurs exceeds maxOccurs: fix the bounds"},
      {"<schema/>", "", "",
       "a.xsd:1: schema: the root element is not xs:schema of http://www.w3.org/2001/XMLSchema: "
       "give a schema"},
      {po, "", "--root nothing",
       "--root: nothing: no global element of a complex type has that name: give one of the schema's elements"},
      {po, "", "--namespace-map urn:typo=acme::t",
       "--namespace-map: urn:typo: no schema read has that target namespace: give one of the schemas' namespaces"},
  };
  for (const auto& c : cases) {
    const Outcome run = Compile(c.a, c.b, c.options);
    EXPECT_EQ(run.status, 2) << c.diagnostic;
    EXPECT_EQ(run.errors, c.diagnostic + "\n");
    EXPECT_FALSE(run.wroteFiles) << c.diagnostic;
  }
}

TEST(Diagnostics, ConstructsBoundWithLessThanTheSchemaSaysAreWarnedAbout) {
  const struct {
    std::string components, warning;
  } cases[] = {
      {"<xs:simpleType name=\"L\"><xs:list itemType=\"xs:int\"/></xs:simpleType>\n"
       "<xs:simpleType name=\"U\"><xs:union memberTypes=\"xs:date L\"/></xs:simpleType>\n"
       "<xs:element name=\"e\" type=\"U\"/>",
       "a.xsd:3: xs:union: bound as a string: a member is a list, so the text is kept as written and not checked"},
      {"<xs:element name=\"e\"><xs:complexType><xs:attribute name=\"id\"/></xs:complexType>\n"
       "  <xs:key name=\"k\"><xs:selector xpath=\".\"/><xs:field xpath=\"@id\"/></xs:key></xs:element>",
       "a.xsd:3: xs:key: identity constraints are not checked: the values are read and written unchecked"},
      {"<xs:simpleType name=\"Small\"><xs:restriction base=\"xs:int\"><xs:enumeration value=\"10\"/>"
       "</xs:restriction></xs:simpleType>\n"
       "<xs:complexType name=\"P\"><xs:simpleContent><xs:extension "
       "base=\"Small\"/></xs:simpleContent></xs:complexType>",
       "a.xsd:3: xs:simpleContent: the facets of Small are not checked: the value of P is held as text (Text)"},
      {"<xs:simpleType name=\"Ints\"><xs:list itemType=\"xs:int\"/></xs:simpleType>\n"
       "<xs:complexType name=\"P\"><xs:simpleContent><xs:extension "
       "base=\"Ints\"/></xs:simpleContent></xs:complexType>",
       "a.xsd:3: xs:simpleContent: the items of Ints are not checked: the value of P is held as text (Text)"},
      {"<xs:simpleType name=\"Small\"><xs:restriction base=\"xs:int\"><xs:enumeration value=\"10\"/>"
       "</xs:restriction></xs:simpleType>\n"
       "<xs:element name=\"e\"><xs:complexType><xs:sequence><xs:element name=\"budget\" type=\"Small\" "
       "nillable=\"true\"/></xs:sequence></xs:complexType></xs:element>",
       "a.xsd:3: nillable: the element budget is held as text (Text) so that it can be nil: its type int and "
       "facets are not checked"},
      // A qualified name held alone or repeated is resolved; in a list, or with a default, it is kept as written.
      {"<xs:element name=\"e\"><xs:complexType><xs:sequence><xs:element name=\"q\" type=\"xs:QName\"/>\n"
       "  <xs:element name=\"names\"><xs:simpleType><xs:list itemType=\"xs:QName\"/></xs:simpleType></xs:element>"
       "<xs:element name=\"more\" type=\"xs:QName\" maxOccurs=\"2\"/></xs:sequence>"
       "<xs:attribute name=\"a\" type=\"xs:QName\"/></xs:complexType></xs:element>",
       "a.xsd:3: xs:QName: the value of names is kept as written, prefix included: write the document with the "
       "prefixes it was read with (NamespaceAliases)"},
      {"<xs:element name=\"e\"><xs:complexType>\n<xs:attribute name=\"q\" type=\"xs:QName\" default=\"xs:int\"/>"
       "</xs:complexType></xs:element>",
       "a.xsd:3: xs:QName: the value of q is kept as written, prefix included: write the document with the prefixes "
       "it was read with (NamespaceAliases)"},
      // Values and simple content, single or repeated, take their default; mixed content does not.
      {"<xs:complexType name=\"T\"><xs:simpleContent><xs:extension base=\"xs:int\"><xs:attribute name=\"u\"/>"
       "</xs:extension></xs:simpleContent></xs:complexType>\n"
       "<xs:element name=\"e\"><xs:complexType><xs:sequence><xs:element name=\"one\" type=\"xs:int\" default=\"7\"/>\n"
       "  <xs:element name=\"many\" type=\"xs:int\" default=\"7\" maxOccurs=\"2\"/>"
       "<xs:element name=\"size\" default=\"7\"><xs:complexType mixed=\"true\"><xs:sequence>"
       "<xs:element name=\"b\" minOccurs=\"0\"/></xs:sequence></xs:complexType></xs:element>"
       "<xs:element name=\"sized\" type=\"T\" fixed=\"7\"/><xs:element name=\"sizes\" type=\"T\" default=\"8\" "
       "maxOccurs=\"3\"/></xs:sequence></xs:complexType></xs:element>",
       "a.xsd:4: xs:element: the default or fixed value of size is not given to an empty size element: its "
       "content is not simple"},
  };
  for (const auto& c : cases) {
    const Outcome run = Compile(Schema(c.components), "", "");
    EXPECT_EQ(run.status, 0) << c.warning;
    EXPECT_EQ(run.errors, c.warning + "\n");
    EXPECT_TRUE(run.wroteFiles) << c.warning;
  }
}

// What repeated elements hold is bound as the schema says, as for a single element: nothing to warn about.
TEST(Diagnostics, RepeatedValuesAreBoundWithoutWarnings) {
  const std::string repeated[] = {
      "<xs:element name=\"size\" type=\"xs:int\" default=\"7\" maxOccurs=\"2\"/>",
      "<xs:element name=\"version\" type=\"xs:decimal\" fixed=\"2.0\" maxOccurs=\"unbounded\"/>",
      "<xs:element name=\"names\" type=\"xs:QName\" maxOccurs=\"2\"/>",
      "<xs:element name=\"sizes\" maxOccurs=\"2\" default=\"1 2\"><xs:simpleType><xs:list itemType=\"xs:int\"/>"
      "</xs:simpleType></xs:element>",
      "<xs:element name=\"sizes\" maxOccurs=\"2\"><xs:simpleType><xs:union memberTypes=\"xs:date xs:int\"/>"
      "</xs:simpleType></xs:element>",
      "<xs:element name=\"levels\" maxOccurs=\"2\"><xs:simpleType><xs:restriction base=\"xs:int\">"
      "<xs:enumeration value=\"1\"/><xs:enumeration value=\"3\"/></xs:restriction></xs:simpleType></xs:element>",
  };
  for (const std::string& particle : repeated) {
    const Outcome run =
        Compile(Schema("<xs:element name=\"e\"><xs:complexType><xs:sequence>" + particle +
                       "</xs:sequence></xs:complexType></xs:element>"),
                "", "");
    EXPECT_EQ(run.status, 0) << particle;
    EXPECT_EQ(run.errors, "") << particle;
    EXPECT_TRUE(run.wroteFiles) << particle;
  }
}

}  // namespace
