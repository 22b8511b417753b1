#include "vexlo9/values/WhitespaceUtilsCls.h"

#include <gtest/gtest.h>

#include "vexlo9/platform/Error.h"

namespace vexlo9 {
namespace {

TEST(WhitespaceUtilsCls, EachRuleHasItsXmlSchemaMeaning) {
  const WhitespaceUtilsCls utils;
  const struct {
    const char* text;
    const char* collapsed;
    const char* replaced;
  } cases[] = {
      {"", "", ""},
      {"plain", "plain", "plain"},
      {"  a \t b\r\n\nc  ", "a b c", "  a   b   c  "},
      {"\t\r\n", "", "   "},
      {"é\u00A0 ü", "é\u00A0 ü", "é\u00A0 ü"},  // a no-break space is not XML whitespace
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utils.CollapseWhitespace(c.text), c.collapsed) << c.text;
    EXPECT_EQ(utils.ReplaceWhitespace(c.text), c.replaced) << c.text;
    EXPECT_EQ(utils.PreserveWhitespace(c.text), c.text);
    EXPECT_EQ(utils.ApplyRule(WhitespaceRule_Collapse, c.text), c.collapsed) << c.text;
    EXPECT_EQ(utils.ApplyRule(WhitespaceRule_Replace, c.text), c.replaced) << c.text;
    EXPECT_EQ(utils.ApplyRule(WhitespaceRule_Preserve, c.text), c.text);
  }
}

TEST(WhitespaceUtilsCls, UnknownRuleRaisesOneWithTheNumber) {
  const WhitespaceUtilsCls utils;
  for (const int32_t rule : {3, -1, 100}) {
    try {
      utils.ApplyRule(static_cast<WhitespaceRule>(rule), " x ");
      ADD_FAILURE() << rule;
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), 1);
      EXPECT_EQ(e.Source(), "WhitespaceUtilsCls.ApplyRule");
      EXPECT_EQ(e.Description(), "Unknown WhitespaceRule " + std::to_string(rule));
    }
  }
}

}  // namespace
}  // namespace vexlo9
