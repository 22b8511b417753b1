#include "vexlo9/collections/XmlSerializationContext.h"

#include <gtest/gtest.h>

#include "vexlo9/collections/AttributeCol.h"
#include "vexlo9/output/NamespaceAliasMap.h"

namespace vexlo9 {
namespace {

TEST(XmlSerializationContext, StartsWithTheDefaults) {
  const XmlSerializationContext context;
  EXPECT_EQ(context.NamespaceAliases().Count(), 0);
  EXPECT_EQ(context.AdditionalRootAttributes().Count(), 0);
  EXPECT_TRUE(context.ProcessingInstructions().empty());
  EXPECT_EQ(context.DefaultNamespaceURI(), "");
  EXPECT_TRUE(context.WriteTypeAttribute());
  EXPECT_FALSE(context.IgnoreInvalidCollectionCounts());
  EXPECT_FALSE(context.IgnoreMissingChoice());
  EXPECT_FALSE(context.IgnoreMissingMandatoryElements());
  EXPECT_FALSE(context.IgnoreUnknownElements());
  EXPECT_FALSE(context.IgnoreUnknownAttributes());
  EXPECT_FALSE(context.IgnoreNamespaces());
  EXPECT_FALSE(context.NoOptionalAttributeDefaultOutput());
  EXPECT_EQ(context.SchemaType(), SchemaType_XSD);
  EXPECT_EQ(context.InlineSchema(), "");
}

TEST(XmlSerializationContext, DtdImpliesIgnoreNamespacesWithoutForgettingTheStoredValue) {
  XmlSerializationContext context;
  context.SchemaType(SchemaType_DTD);
  EXPECT_TRUE(context.IgnoreNamespaces());
  context.IgnoreNamespaces(false);
  EXPECT_TRUE(context.IgnoreNamespaces());
  context.SchemaType(SchemaType_XSD);
  EXPECT_FALSE(context.IgnoreNamespaces());
  context.IgnoreNamespaces(true);
  context.SchemaType(SchemaType_XDR);
  EXPECT_TRUE(context.IgnoreNamespaces());
  context.IgnoreNamespaces(false);
  EXPECT_FALSE(context.IgnoreNamespaces()) << "XDR behaves as XSD";
}

TEST(XmlSerializationContext, RootAttributesAcceptAnyNamespace) {
  XmlSerializationContext context;
  context.AdditionalRootAttributes().AddNew("a", std::string("urn:any"));
  context.AdditionalRootAttributes().AddNew("b");
  EXPECT_EQ(context.AdditionalRootAttributes().Item(2)->Namespace(), "");
}

}  // namespace
}  // namespace vexlo9
