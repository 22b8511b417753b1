#include "vexlo9/platform/detail/PatternMatcher.h"

#include <gtest/gtest.h>
#include <libxml/globals.h>
#include <libxml/xmlerror.h>

#include <string>
#include <thread>

#include "support/Caught.h"
#include "vexlo9/platform/Error.h"

namespace vexlo9 {
namespace {

using testing::ErrorText;

// "number source: description" of the error the call raises.

TEST(PatternMatcher, MatchesWholeValuesWithSchemaExpressions) {
  const struct {
    const char* pattern;
    const char* value;
    bool matches;
  } cases[] = {
      {R"(\d{3}-[A-Z]{2})", "123-AB", true},
      {R"(\d{3}-[A-Z]{2})", "123-ab", false},
      {R"(\d{3}-[A-Z]{2})", "x123-AB", false},
      {R"(\d{3}-[A-Z]{2})", "123-ABx", false},
      {"b", "abc", false},
      {"b", "b", true},
      {R"(\i\c*)", "_a1", true},
      {R"(\i\c*)", "x:y.z-", true},
      {R"(\i\c*)", "1a", false},
      {R"(\i\c*)", "-a", false},
      {R"(\p{Lu}+)",
       "\xC3\x80"
       "B",
       true},  // U+00C0 is an upper-case letter
      {R"(\p{Lu}+)",
       "\xC3\x80"
       "b",
       false},
      {R"(\P{Lu})", "a", true},
      {R"(\p{IsBasicLatin}+)", "abc", true},
      {R"(\p{IsBasicLatin}+)", "\xC3\xA9", false},
      {"[a-z-[aeiou]]+", "bcd", true},
      {"[a-z-[aeiou]]+", "bad", false},
      {"[^abc]", "d", true},
      {"[^abc]", "a", false},
      {".", "\xF0\x9F\x98\x80", true},  // one character, four bytes
      {".", "\n", false},
      {R"(\s*)", " \t\r\n", true},
      {"a|b", "b", true},
      {"(ab){2}", "abab", true},
      {"(ab){2}", "ab", false},
      {"[0-9]{1,3}", "", false},
      {"[0-9]{0,3}", "", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PatternMatcher::Matches(c.pattern, c.value), c.matches) << c.pattern << " on " << c.value;
    EXPECT_EQ(ErrorText([&] { PatternMatcher::Match(c.pattern, c.value); }),
              c.matches ? "no error"
                        : std::string("100 PatternMatcher: The value [") + c.value + "] does not match the pattern [" +
                              c.pattern + "]");
  }
}

TEST(PatternMatcher, InvalidPatternsRaiseEveryTimeWithTheEngineReason) {
  const char* cases[] = {"(a", "[a-", R"(\p{Foo})", "a{2", "*", "[z-a]"};
  for (const char* pattern : cases) {
    for (int attempt = 0; attempt < 2; ++attempt) {  // the second one comes from the cache
      const std::string error = ErrorText([&] { PatternMatcher::Match(pattern, "a"); });
      const std::string prefix = std::string("5 PatternMatcher: Invalid pattern [") + pattern + "]: ";
      EXPECT_EQ(error.substr(0, prefix.size()), prefix) << pattern;
      EXPECT_GT(error.size(), prefix.size()) << pattern;
    }
  }
  EXPECT_EQ(ErrorText([] { PatternMatcher::Match(std::string_view("a\0b", 3), "a"); }),
            std::string("5 PatternMatcher: Invalid pattern [a") + '\0' + "b]: the pattern holds a NUL character");
}

int hostHandlerCalls = 0;
void HostHandler(void*, xmlErrorPtr) { ++hostHandlerCalls; }

TEST(PatternMatcher, KeepsLibraryErrorOutputAwayFromTheHost) {
  const xmlStructuredErrorFunc before = xmlStructuredError;
  xmlSetStructuredErrorFunc(nullptr, &HostHandler);
  hostHandlerCalls = 0;
  ::testing::internal::CaptureStderr();
  EXPECT_NE(ErrorText([] { PatternMatcher::Match("((unclosed", "a"); }), "no error");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(hostHandlerCalls, 0);
  EXPECT_EQ(xmlStructuredError, &HostHandler);
  xmlStructuredError = before;
}

TEST(PatternMatcher, RejectsMalformedUtf8AndNeverMatchesANul) {
  EXPECT_EQ(ErrorText([] { PatternMatcher::Match(".*", "a\xC3"); }),
            "5 PatternMatcher: Invalid UTF-8 sequence [C3] at byte offset 1");
  EXPECT_EQ(ErrorText([] { PatternMatcher::Match("\xFF", "a"); }),
            "5 PatternMatcher: Invalid UTF-8 sequence [FF] at byte offset 0");
  EXPECT_FALSE(PatternMatcher::Matches("a.*", std::string_view("a\0b", 3)));
  EXPECT_FALSE(PatternMatcher::Matches("a", std::string_view("a\0", 2)));
}

TEST(PatternMatcher, WorksOnEveryThreadAndPastTheCacheBound) {
  bool otherThread = false;
  std::thread([&] {
    otherThread = PatternMatcher::Matches(R"(\d+)", "42") && !PatternMatcher::Matches(R"(\d+)", "x");
  }).join();
  EXPECT_TRUE(otherThread);
  // 1200 different patterns, each tried twice: entries dropped at the bound are compiled again.
  for (int pass = 0; pass < 2; ++pass) {
    for (int a = 1; a <= 40; ++a) {
      for (int b = 1; b <= 30; ++b) {
        const std::string pattern = "a{" + std::to_string(a) + "}b{" + std::to_string(b) + "}";
        const bool shortOfOne = (a + b + pass) % 5 == 0;
        const std::string value = std::string(a, 'a') + std::string(shortOfOne ? b - 1 : b, 'b');
        ASSERT_EQ(PatternMatcher::Matches(pattern, value), !shortOfOne) << pattern;
      }
    }
  }
}

}  // namespace
}  // namespace vexlo9
