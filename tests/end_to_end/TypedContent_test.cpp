// Simple content held as a value of its type, as the generated classes of tests/xsd/odd/typed.xsd hold it: the
// setters check what the object's own class declares (a restriction's facets too), text held as Text is checked when
// read and when written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "support/Caught.h"
#include "typed.h"
#include "vexlo9/Global.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"
#include "vexlo9/values/Decimal.h"

namespace vexlo9::testing {
namespace {

namespace typed = xsd::typed;

std::shared_ptr<Decimal> Number(const char* text) { return std::make_shared<Decimal>(text); }

std::string Written(XmlObjectBase& object) {
  return Global::XmlObjectBaseHelper()->ToXml(object, false, XmlFormatting_None);
}

TEST(TypedContent, SettersCheckTheFacetsOfTheObjectsOwnClass) {
  const struct {
    const char* what;
    std::function<void()> set;
    Caught raised;  // number 0: accepted
  } cases[] = {
      {"a built-in decimal takes any decimal", [] { std::make_shared<typed::Amount>()->Value(Number("101.00")); }, {}},
      {"its restriction refuses one above its maximum, through the base's setter",
       [] { std::make_shared<typed::SmallAmount>()->Value(Number("101")); },
       {108, "vexlo9", "Invalid Value for SmallAmount [101]"}},
      {"the restriction takes its maximum", [] { std::make_shared<typed::SmallAmount>()->Value(Number("100")); }, {}},
      {"a union takes a value of a member type", [] { std::make_shared<typed::Measured>()->Value("2026-12-07"); }, {}},
      {"a union refuses a value of none",
       [] { std::make_shared<typed::Measured>()->Value("huge"); },
       {108, "vexlo9", "The value [huge] of [Measured] is of none of the member types of its union"}},
      {"text held as Text is not checked when set", [] { std::make_shared<typed::ShortLabel>()->Text("longer"); }, {}},
  };
  for (const auto& c : cases) {
    if (c.raised.number == 0) {
      EXPECT_NO_THROW(c.set()) << c.what;
    } else {
      const Caught raised = Catch(c.set);
      EXPECT_EQ(raised.number, c.raised.number) << c.what;
      EXPECT_EQ(raised.description, c.raised.description) << c.what;
    }
  }
}

TEST(TypedContent, TextBeyondARestrictionIsRefusedWhenWritten) {
  const auto label = std::make_shared<typed::ShortLabel>("label");
  label->Text("short");
  EXPECT_THAT(Written(*label), ::testing::EndsWith(">short</AA:label>"));
  label->Text("longer");
  const Caught raised = Catch([&] { Written(*label); });
  EXPECT_EQ(raised.number, 100);
  EXPECT_THAT(raised.description, ::testing::EndsWith("\r\nInvalid Value for label [longer]"));
}

TEST(TypedContent, ANumberKeepsItsScaleAndItsAttributes) {
  const auto amount = std::make_shared<typed::Amount>("amount");
  amount->Value(Number("100.50"));
  amount->currency("EUR");
  EXPECT_EQ(Written(*amount), "<AA:amount xmlns:AA=\"urn:vexlo9:odd:typed\" currency=\"EUR\">100.50</AA:amount>");
}

}  // namespace
}  // namespace vexlo9::testing
