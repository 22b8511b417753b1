#include "vexlo9/platform/detail/WhitespaceHelper.h"

#include <gtest/gtest.h>

#include <string>

namespace vexlo9 {
namespace {

TEST(WhitespaceHelper, AppliesTheThreeSchemaRules) {
  const struct {
    std::string text;
    std::string collapsed;
    std::string replaced;
  } cases[] = {
      {"", "", ""},
      {"abc", "abc", "abc"},
      {"  a  b  ", "a b", "  a  b  "},
      {"\ta\r\nb\n", "a b", " a  b "},
      {"\t\n\r ", "", "    "},
      {" a\t\tb c ", "a b c", " a  b c "},
      {"a\xC2\xA0 b", "a\xC2\xA0 b", "a\xC2\xA0 b"},  // a no-break space is not whitespace
      {"a\fb\vc", "a\fb\vc", "a\fb\vc"},
      {std::string(" a\0 \0b ", 7), std::string("a\0 \0b", 5), std::string(" a\0 \0b ", 7)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WhitespaceHelper::Collapse(c.text), c.collapsed) << c.text;
    EXPECT_EQ(WhitespaceHelper::Replace(c.text), c.replaced) << c.text;
    EXPECT_EQ(WhitespaceHelper::Preserve(c.text), c.text);
  }
}

}  // namespace
}  // namespace vexlo9
