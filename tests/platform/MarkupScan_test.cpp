#include "vexlo9/platform/detail/MarkupScan.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vexlo9::detail {
namespace {

using What = MarkupExcess::What;

std::u32string Decoded(std::string_view utf8) {
  std::u32string units;
  for (size_t i = 0; i < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) {
      units += byte;
      ++i;
    } else {  // two bytes are all the rows use
      units += static_cast<char32_t>((byte & 0x1F) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
      i += 2;
    }
  }
  return units;
}

// The text in units of `width` bytes in either byte order, told by its first character or else a byte order mark.
std::string Encoded(std::string_view utf8, size_t width, bool bigEndian) {
  if (width == 1) return std::string(utf8);
  std::string bytes;
  for (const char32_t unit : (utf8.starts_with('<') ? U"" : U"\uFEFF") + Decoded(utf8)) {
    for (size_t b = 0; b < width; ++b) {
      const size_t shift = 8 * (bigEndian ? width - 1 - b : b);
      bytes += static_cast<char>(unit >> shift & 0xFF);
    }
  }
  return bytes;
}

std::string Outcome(const std::optional<MarkupExcess>& excess) {
  if (!excess) return "within";
  const char* what = excess->what == What::Attributes ? "attributes" : excess->what == What::Text ? "text" : "depth";
  return std::string(what) + " " + std::to_string(excess->line) + ":" + std::to_string(excess->column);
}

// Each bound just reached and just crossed, with names, blanks, quotes and runs of every length the search takes
// differently (by sixteen, by eight, by the library), in every unit width: the place is counted in characters.
TEST(MarkupScan, FindsTheFirstPlaceBeyondABoundInAnyWidth) {
  const MarkupBounds three{.maxAttributes = 3};
  const std::string x64(64, 'x'), x70(70, 'x');
  const struct {
    std::string text;
    MarkupBounds bounds;
    std::string expected;
  } cases[] = {
      {"<r a='1' b=\"2\" c='3'/>", three, "within"},
      {"<r a='1' b=\"2\" c='3' d='4'/>", three, "attributes 1:1"},
      {"<r\ta\n=\r'1'  b = \"2\"\n c='3'\td='4'>", three, "attributes 1:1"},
      {"<r a='>\"' b=\">'\" c='" + x70 + "' d='y'/>", three, "attributes 1:1"},
      {"<r a='>\"' b=\">'\" c='" + x70 + "'/><s d='1' e='2' f='3'>", three, "within"},
      {"<r\u00e9 \u00e9a='1' b\u00e9='2' c='3' d='4'/>", three, "attributes 1:1"},
      {"<p:r x.y-z_0='1' p:a='2' B9='3' C='4'/>", three, "attributes 1:1"},
      {"\n\n    <r a='1' b='2' c='3' d='4'/>", three, "attributes 3:5"},
      {"<r>" + x64 + "<s a='1' b='2' c='3' d='4'/></r>", three, "attributes 1:68"},
      // What stops making sense is the parser's to report: the scan goes on after it as over text.
      {"<r a='1' b c='2' d='3' e='4'/>", three, "within"},
      {"<r a='1' b=2 c='2' d='3' e='4'/>", three, "within"},
      {"<!-- <r a='1' b='2' c='3' d='4'/> -->", three, "attributes 1:6"},
      {"<a><b/><b><c/></b></a>", {.maxDepth = 2}, "within"},
      {"<a>\n<b>\n\t<c></c></b></a>", {.maxDepth = 2}, "depth 3:2"},
      {"<a><b/ ><c></c></a>", {.maxDepth = 2}, "within"},
      {"<a>12345</a>", {.maxText = 5}, "within"},
      {"<a>123456</a>", {.maxText = 5}, "text 1:4"},
      {"<a>" + std::string(16, 'y') + "</a><a>" + std::string(17, 'y') + "</a>", {.maxText = 16}, "text 1:27"},
      {"<a>" + x64 + "</a>", {.maxText = 64}, "within"},
      {"<a>" + x64 + "x</a>", {.maxText = 64}, "text 1:4"},
      {"<a>" + x70 + x70 + "</a>", {.maxText = 139}, "text 1:4"},
      {"<a>" + x70 + x70 + "</a>", {.maxText = 140}, "within"},
  };
  for (const auto& c : cases) {
    for (const auto& [width, bigEndian] : {std::pair{1, false}, {2, false}, {2, true}, {4, false}, {4, true}}) {
      EXPECT_EQ(Outcome(ScanMarkup(Encoded(c.text, width, bigEndian), c.bounds)), c.expected)
          << c.text.substr(0, 60) << " in " << width << "-byte units" << (bigEndian ? ", big-endian" : "");
    }
  }
}

}  // namespace
}  // namespace vexlo9::detail
