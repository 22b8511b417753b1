// docs/errors.md is made from the error catalogue and must stay so: the test renders the catalogue and compares.
// To write the file after changing the catalogue: VEXLO9_WRITE_DOCS=1 build/tests/vexlo9_layout_tests
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Row {
  const char* name;
  int number;
  const char* source;  // nullptr: the caller names it
  const char* text;
  const char* when;
  const char* remedy;
};

constexpr Row kCatalogue[] = {
#define VEXLO9_ERROR(Name, Number, Source, Text, When, Remedy) {#Name, Number, Source, Text, When, Remedy},
#define VEXLO9_ERROR_AT(Name, Number, Text, When, Remedy) {#Name, Number, nullptr, Text, When, Remedy},
#include "vexlo9/platform/detail/Errors.def"
#undef VEXLO9_ERROR_AT
#undef VEXLO9_ERROR
};

// A Markdown table cell: "|" would end it.
std::string Cell(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '|') out += '\\';
    out += c;
  }
  return out;
}

// An error text as code, one span per line of it.
std::string TextCell(std::string_view text) {
  std::string out;
  for (size_t from = 0;;) {
    const size_t end = text.find("\r\n", from);
    out += "`" + Cell(text.substr(from, end - from)) + "`";
    if (end == std::string_view::npos) return out;
    out += "<br>";
    from = end + 2;
  }
}

std::string Render() {
  std::vector<Row> rows(std::begin(kCatalogue), std::end(kCatalogue));
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.number < b.number; });
  std::ostringstream out;
  out << "# Errors\n\n"
         "Every failure is a `vexlo9::Error` with a number, a source and a description; errors raised while a\n"
         "document is read also carry its line (`Line()`, and `Column()` where the parser gives one). An error\n"
         "inside nested objects has one \"Failed to process the element [...]\" line per level before its text.\n"
         "In the texts below, `{}` stands for the value the error quotes.\n\n"
         "This page is made from the library's error catalogue (`vexlo9/platform/detail/Errors.def`).\n\n"
         "| Number | Source | Text | Raised when | What to do |\n"
         "|---|---|---|---|---|\n";
  for (const Row& row : rows) {
    out << "| " << row.number << " | " << (row.source ? "`" + Cell(row.source) + "`" : "the member that failed")
        << " | " << TextCell(row.text) << " | " << Cell(row.when) << " | " << Cell(row.remedy) << " |\n";
  }
  return out.str();
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ErrorReference, IsTheCatalogueAsItStands) {
  const fs::path page = fs::path(VEXLO9_SOURCE_DIR) / "docs" / "errors.md";
  const std::string rendered = Render();
  if (std::getenv("VEXLO9_WRITE_DOCS")) std::ofstream(page, std::ios::binary) << rendered;
  EXPECT_EQ(Read(page), rendered) << "docs/errors.md differs from the catalogue; see the top of this test";
}

TEST(ErrorReference, ListsEveryErrorTheLibraryRaises) {
  std::set<std::string> catalogued;
  for (const Row& row : kCatalogue) {
    catalogued.insert(row.name);
    EXPECT_GT(std::string(row.when).size(), 10u) << row.name;
    EXPECT_GT(std::string(row.remedy).size(), 10u) << row.name;
  }
  // Every factory call names a row, but for the helpers that re-raise or build what a row gives.
  static const std::regex raised(R"(errors::([A-Z][A-Za-z0-9]*)\()");
  const std::set<std::string> helpers = {"ErrorsOnly", "Make", "WhileReading", "WhileWriting"};
  std::set<std::string> missing;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(VEXLO9_SOURCE_DIR) / "vexlo9")) {
    const std::string text = Read(entry.path());
    for (std::sregex_iterator it(text.begin(), text.end(), raised), end; it != end; ++it) {
      if (!catalogued.contains((*it)[1]) && !helpers.contains((*it)[1])) missing.insert((*it)[1]);
    }
  }
  EXPECT_EQ(missing, std::set<std::string>());
}

}  // namespace
