#include "vexlo9/output/detail/NamespaceUtilsCls.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "vexlo9/platform/XmlDom.h"

namespace vexlo9::detail {
namespace {

TEST(NamespaceUtilsCls, RecognisesDeclarationsReservedSchemaInstanceAttributesAndNil) {
  XmlDocument doc;
  ASSERT_TRUE(doc.loadXML(
      "<r xmlns=\"urn:d\" xmlns:p=\"urn:p\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
      " xmlns:i2=\"http://www.w3.org/2001/XMLSchema-instance\""
      " xsi:type=\"T\" xsi:schemaLocation=\"urn:d d.xsd\" i2:noNamespaceSchemaLocation=\"n.xsd\""
      " xsi:nil=\"true\" xsi:other=\"1\""
      " plain=\"1\" p:q=\"2\" xml:lang=\"en\" p:type=\"3\" p:nil=\"4\" type=\"5\" nil=\"6\" XMLNS=\"7\">"
      "<c i2:nil=\"false\"/></r>"))
      << doc.parseError().reason();

  // name -> {IsNamespaceAttribute, IsNilAttribute}
  const std::map<std::string, std::pair<bool, bool>> expected = {
      // The DOM files the default declaration under the declarations' namespace, where
      // only the reserved-name rule knows "xmlns"; the nil test never needs it (readers ask
      // IsNamespaceAttribute first).
      {"xmlns", {true, false}},
      {"xmlns:p", {true, true}},
      {"xmlns:xsi", {true, true}},
      {"xmlns:i2", {true, true}},
      {"xsi:type", {true, false}},
      {"xsi:schemaLocation", {true, false}},
      {"i2:noNamespaceSchemaLocation", {true, false}},  // any prefix bound to the schema-instance namespace
      {"xsi:nil", {false, true}},
      {"i2:nil", {false, true}},
      {"xsi:other", {false, false}},
      {"plain", {false, false}},
      {"p:q", {false, false}},
      {"xml:lang", {false, false}},
      {"p:type", {false, false}},  // reserved names count only in the schema-instance namespace
      {"p:nil", {false, false}},
      {"type", {false, false}},
      {"nil", {false, false}},
      {"XMLNS", {false, false}},  // names compare case-sensitively
  };
  std::map<std::string, std::pair<bool, bool>> actual;
  const XmlNode root = doc.documentElement();
  for (const XmlNode element : {root, root.firstChild()}) {
    for (const XmlAttribute attr : element.attributes()) {
      actual[attr.name()] = {NamespaceUtilsCls::IsNamespaceAttribute(attr), NamespaceUtilsCls::IsNilAttribute(attr)};
    }
  }
  EXPECT_EQ(actual, expected);
}

TEST(NamespaceUtilsCls, NothingIsNeither) {
  EXPECT_FALSE(NamespaceUtilsCls::IsNamespaceAttribute(XmlAttribute()));
  EXPECT_FALSE(NamespaceUtilsCls::IsNilAttribute(XmlAttribute()));
}

}  // namespace
}  // namespace vexlo9::detail
