// The shape of the library as the README states it: one layer order without cycles, a public header that
// reaches public headers only, and errors raised from the catalogue alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSource = VEXLO9_SOURCE_DIR;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The library's files (paths below vexlo9/, as includes write them) and the library headers each includes.
using Includes = std::map<std::string, std::vector<std::string>>;

Includes LibraryIncludes() {
  static const std::regex include(R"re(#include\s+"(vexlo9/[^"]+)")re");
  Includes files;
  for (const auto& entry : fs::recursive_directory_iterator(kSource / "vexlo9")) {
    if (!entry.is_regular_file()) continue;
    const std::string name = "vexlo9/" + entry.path().lexically_relative(kSource / "vexlo9").generic_string();
    std::vector<std::string>& included = files[name];
    const std::string text = Read(entry.path());
    for (std::sregex_iterator it(text.begin(), text.end(), include), end; it != end; ++it) {
      included.push_back((*it)[1]);
    }
  }
  return files;
}

// The layer of a file: its folder below vexlo9/, or "top" for the files beside vexlo9.h.
std::string LayerOf(const std::string& file) {
  const std::string inside = file.substr(file.find('/') + 1);
  const size_t slash = inside.find('/');
  return slash == std::string::npos ? "top" : inside.substr(0, slash);
}

// "Layers, bottom to top: a → b → c" in the README's layout section.
std::vector<std::string> StatedOrder() {
  const std::string readme = Read(kSource / "README.md");
  const std::string marker = "Layers, bottom to top:";
  const size_t at = readme.find(marker);
  if (at == std::string::npos) return {};
  std::istringstream line(readme.substr(at + marker.size(), readme.find('\n', at) - at - marker.size()));
  std::vector<std::string> order;
  for (std::string word; line >> word;) {
    if (word != "→") order.push_back(word);
  }
  return order;
}

// Every include that reaches up the order, as "file -> included"; a folder the order does not name is reported too.
std::vector<std::string> BackEdges(const std::vector<std::string>& order, const Includes& files) {
  const auto rank = [&order](const std::string& file) {
    return std::find(order.begin(), order.end(), LayerOf(file)) - order.begin();
  };
  std::vector<std::string> found;
  const auto unranked = static_cast<std::ptrdiff_t>(order.size());
  for (const auto& [file, included] : files) {
    if (rank(file) == unranked) found.push_back(file + " is in no layer");
    for (const std::string& header : included) {
      if (rank(header) > rank(file)) found.push_back(file + " -> " + header);
    }
  }
  return found;
}

bool IsDetail(const std::string& file) { return file.find("/detail/") != std::string::npos; }

TEST(Layout, IncludesFollowTheLayerOrderOfTheReadme) {
  const std::vector<std::string> order = StatedOrder();
  ASSERT_EQ(order, (std::vector<std::string>{"platform", "model", "values", "output", "collections", "serialization",
                                             "top"}));
  EXPECT_EQ(BackEdges(order, LibraryIncludes()), std::vector<std::string>());
}

TEST(Layout, ABackEdgeOrAnUnknownFolderIsReported) {
  const std::vector<std::string> order = {"platform", "model", "top"};
  const Includes files = {
      {"vexlo9/platform/XmlDom.cpp", {"vexlo9/platform/XmlDom.h", "vexlo9/model/Object.h"}},
      {"vexlo9/model/Object.h", {"vexlo9/platform/Error.h"}},
      {"vexlo9/Global.h", {"vexlo9/model/Object.h"}},
      {"vexlo9/extra/Thing.h", {}},
  };
  EXPECT_EQ(BackEdges(order, files),
            (std::vector<std::string>{"vexlo9/extra/Thing.h is in no layer",
                                      "vexlo9/platform/XmlDom.cpp -> vexlo9/model/Object.h"}));
}

TEST(Layout, ThePublicHeaderIsEveryPublicHeaderAndReachesNoInternalOne) {
  const Includes files = LibraryIncludes();
  std::set<std::string> publicHeaders;
  for (const auto& [file, included] : files) {
    if (file.ends_with(".h") && !IsDetail(file) && file != "vexlo9/vexlo9.h") publicHeaders.insert(file);
  }
  const std::vector<std::string>& direct = files.at("vexlo9/vexlo9.h");
  EXPECT_EQ(std::set<std::string>(direct.begin(), direct.end()), publicHeaders);

  std::set<std::string> reached;
  std::vector<std::string> pending = {"vexlo9/vexlo9.h"};
  while (!pending.empty()) {
    const std::string file = pending.back();
    pending.pop_back();
    if (!reached.insert(file).second) continue;
    for (const std::string& header : files.at(file)) pending.push_back(header);
  }
  std::vector<std::string> internal;
  std::copy_if(reached.begin(), reached.end(), std::back_inserter(internal), IsDetail);
  EXPECT_EQ(internal, std::vector<std::string>());
}

TEST(Layout, ErrorsAreRaisedFromTheCatalogueOnly) {
  // A numbered error built in place, outside the catalogue's own files.
  static const std::regex literal(R"(\bError\s*\(\s*[0-9])");
  std::vector<std::string> found;
  for (const auto& [file, included] : LibraryIncludes()) {
    if (file.starts_with("vexlo9/platform/detail/Errors.")) continue;
    if (std::regex_search(Read(kSource / file), literal)) found.push_back(file);
  }
  EXPECT_EQ(found, std::vector<std::string>());
}

}  // namespace
