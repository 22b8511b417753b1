#include "vexlo9/collections/AttributeCol.h"

#include <gtest/gtest.h>

#include "support/Caught.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/output/XmlTextWriter.h"

namespace vexlo9 {
namespace {

using testing::Catch;
using testing::Caught;

std::string WriteAttributes(AttributeCol& collection) {
  auto writer = detail::NewXmlTextWriter();
  writer->Format(false);
  XmlSerializationContext context;
  writer->WriteStartElement("e", "");
  collection.AttributesToXmlInt(*writer, context);
  writer->WriteEndElement();
  return writer->Xml();
}

TEST(AttributeCol, DefaultNamespaceIsExpressedWithAPrefix) {
  auto collection = detail::NewAttributeCol("urn:d", "##any", "");
  auto k = collection->AddNew("k");
  EXPECT_EQ(k->Namespace(), "urn:d");
  k->AttributeValue("v");
  collection->AddNewEx("plain", std::string(""), std::string("<&>"));
  EXPECT_EQ(WriteAttributes(*collection), "<e xmlns:AA=\"urn:d\" AA:k=\"v\" plain=\"&lt;&amp;&gt;\"/>");
}

TEST(AttributeCol, RestrictionNamingUrisBecomesTheDefault) {
  auto collection = detail::NewAttributeCol("urn:a", "urn:a", "urn:t");
  EXPECT_EQ(collection->AddNew("a")->Namespace(), "urn:a");
  auto local = detail::NewAttributeCol("", "##local", "urn:t");
  EXPECT_EQ(local->AddNew("a")->Namespace(), "");
  // The whole restriction text becomes the default, which the restriction itself then refuses.
  auto listed = detail::NewAttributeCol("", "urn:a ##local", "");
  EXPECT_EQ(Catch([&] { listed->AddNew("a"); }).number, 106);
  EXPECT_EQ(listed->AddNew("b", std::string(""))->Namespace(), "");
}

TEST(AttributeCol, ForbiddenNamespacesRaise106AndChangeNothing) {
  const Caught creating = Catch([] { detail::NewAttributeCol("urn:x", "##local", ""); });
  EXPECT_EQ(creating.number, 106);
  EXPECT_EQ(creating.source, "TestNamespace");

  auto collection = detail::NewAttributeCol("", "##local", "urn:t");
  int changes = 0;
  collection->OnCollectionChange().Connect([&] { ++changes; });
  const Caught adding = Catch([&] { collection->AddNew("a", std::string("urn:x")); });
  EXPECT_EQ(adding.number, 106);
  EXPECT_EQ(adding.source, "TestNamespace");
  EXPECT_EQ(adding.description,
            "Invalid namespace [urn:x]. The namespace must be one of [##local] where the target namespace is [urn:t]");
  EXPECT_EQ(collection->Count(), 0);
  EXPECT_EQ(changes, 0);

  auto attribute = collection->AddNew("a");
  EXPECT_EQ(changes, 1);
  const Caught renaming = Catch([&] { attribute->Namespace("urn:x"); });
  EXPECT_EQ(renaming.number, 106);
  EXPECT_EQ(renaming.source, "Namespace");
  EXPECT_EQ(renaming.description, "Invalid Namespce");
  EXPECT_EQ(attribute->Namespace(), "");
}

TEST(AttributeCol, PositionsAndInsertion) {
  auto collection = detail::NewAttributeCol("", "##any", "");
  auto a = collection->AddNew("a");
  auto c = collection->AddNew("c");
  auto b = detail::NewAttributeCls("b", "", "##any", "");
  collection->Add(b, 2);
  auto d = detail::NewAttributeCls("d", "", "##any", "");
  collection->Add(d, std::nullopt, 3);
  ASSERT_EQ(collection->Count(), 4);
  EXPECT_EQ(collection->Item(1), a);
  EXPECT_EQ(collection->Item(2), b);
  EXPECT_EQ(collection->Item(3), c);
  EXPECT_EQ(collection->Item(4), d);
  EXPECT_EQ(Catch([&] { collection->Item(0); }).number, 9);
  EXPECT_EQ(Catch([&] { collection->Item(5); }).number, 9);
  collection->Remove(1);
  EXPECT_EQ(collection->Item(1), b);
  EXPECT_EQ(collection->GetProperty("Count"), Variant(int32_t{3}));
  collection->Clear();
  EXPECT_EQ(collection->Count(), 0);
}

TEST(AttributeCol, ReadingSkipsDeclarationsAndTypeButKeepsNil) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(
      R"(<e xmlns="urn:d" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:q="urn:q" a="1" q:b="2" )"
      R"(xsi:type="T" xsi:nil="true" xsi:schemaLocation="s"/>)"));
  auto collection = detail::NewAttributeCol("", "##any", "");
  XmlSerializationContext context;
  const XmlNode child = collection->FromXmlInt(document.documentElement(), XmlNode(), context, false);
  EXPECT_FALSE(child);
  ASSERT_EQ(collection->Count(), 3);
  EXPECT_EQ(collection->Item(1)->AttributeName(), "a");
  EXPECT_EQ(collection->Item(1)->Namespace(), "");
  EXPECT_EQ(collection->Item(2)->AttributeName(), "b");
  EXPECT_EQ(collection->Item(2)->Namespace(), "urn:q");
  EXPECT_EQ(collection->Item(2)->AttributeValue(), "2");
  EXPECT_EQ(collection->Item(3)->AttributeName(), "nil");
  EXPECT_EQ(collection->Item(3)->Namespace(), "http://www.w3.org/2001/XMLSchema-instance");
}

TEST(AttributeCol, ReadingRejectsAForbiddenNamespace) {
  XmlDocument document;
  // Declarations are judged like any attribute, so they sit on the parent here.
  ASSERT_TRUE(document.loadXML(R"(<r xmlns:q="urn:q"><e a="1" q:b="2"/></r>)"));
  auto collection = detail::NewAttributeCol("", "##local urn:q", "");
  XmlSerializationContext context;
  collection->FromXmlInt(document.documentElement().firstChild(), XmlNode(), context, false);
  EXPECT_EQ(collection->Count(), 2);

  auto strict = detail::NewAttributeCol("", "##other", "urn:q");
  XmlDocument second;
  ASSERT_TRUE(second.loadXML(R"(<r xmlns:q="urn:q"><e a="1" q:b="2"/></r>)"));
  const Caught e = Catch([&] { strict->FromXmlInt(second.documentElement().firstChild(), XmlNode(), context, false); });
  EXPECT_EQ(e.number, 106);
  EXPECT_EQ(e.source, "ToXmlInt");
  EXPECT_EQ(e.description, "Invalid Attribute [b]. The attributes namespace is Inappropriate.");
  EXPECT_EQ(strict->Count(), 1) << "what was read before the error stays";
}

TEST(AttributeCol, MembersThatMeanNothingRaise104) {
  auto collection = detail::NewAttributeCol("", "##any", "");
  auto attribute = collection->AddNew("a");
  auto writer = detail::NewXmlTextWriter();
  XmlSerializationContext context;
  const struct {
    std::function<void()> call;
    const char* source;
    const char* description;
  } cases[] = {
      {[&] { collection->ElementName(); }, "ElementName", "This property is not meaningful to an attribute collection"},
      {[&] { collection->IsSuitableSubstitution("x"); }, "IsSuitableSubstitution",
       "This property is not meaningful to an attribute collection"},
      {[&] { collection->PrivateSetElementName("x"); }, "PrivateSetElementName",
       "This property is not meaningful to an attribute collection"},
      {[&] { collection->ToXmlInt(*writer, false, "", context, false); }, "ToXmlInt",
       "This property is not meaningful to an attribute collection"},
      {[&] { attribute->ElementName(); }, "Attribute.ElementName", "This is not meaningful for an Attribute"},
      {[&] { attribute->IsSuitableSubstitution("x"); }, "Attribute.IsSuitableSubstitution",
       "This is not meaningful for an Attribute"},
      {[&] { attribute->PrivateSetElementName("x"); }, "Attribute.PrivateSetElementName",
       "Attribute has no element name!"},
      {[&] { attribute->FromXmlInt(XmlNode(), XmlNode(), context, false); }, "Attribute.FromXmlInt",
       "This should be done by the collection"},
  };
  for (const auto& c : cases) {
    const Caught e = Catch(c.call);
    EXPECT_EQ(e.number, 104) << c.source;
    EXPECT_EQ(e.source, c.source);
    EXPECT_EQ(e.description, c.description);
  }
  attribute->ToXmlInt(*writer, false, "", context, false);
  EXPECT_EQ(writer->Xml(), "") << "an attribute writes nothing as an element";
}

}  // namespace
}  // namespace vexlo9
