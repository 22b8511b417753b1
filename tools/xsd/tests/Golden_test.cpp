// The code vexlo9-xsd writes for a few small schemas, compared with the files kept under tests/golden: a change to
// any emitter shows here as a diff. `scripts/refresh-golden` (VEXLO9_UPDATE_GOLDEN=1) writes them anew.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

std::set<std::string> FileNames(const fs::path& directory) {
  std::set<std::string> names;
  if (!fs::exists(directory)) return names;
  for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename().string());
  return names;
}

struct Golden {
  std::string name;     // the folder under tools/xsd/tests/golden
  std::string options;  // --namespace and the like
  std::vector<std::string> schemas;
};

TEST(Golden, GeneratedCodeIsExactlyTheKeptFiles) {
  const Golden goldens[] = {
      {"purchase_order", "--namespace po", {"examples/purchase_order.xsd"}},
      {"constructs", "--namespace constructs", {"tools/xsd/tests/constructs.xsd"}},
      {"polymorphism", "--namespace zoo", {"tests/xsd/odd/polymorphism.xsd"}},
  };
  const bool update = std::getenv("VEXLO9_UPDATE_GOLDEN") != nullptr;
  for (const Golden& golden : goldens) {
    const fs::path kept = kSource / "tools/xsd/tests/golden" / golden.name;
    const fs::path written = fs::temp_directory_path() / ("vexlo9-golden-" + std::to_string(::getpid()));
    fs::remove_all(written);
    std::string command = VEXLO9_XSD_PROGRAM " --output-dir " + written.string() + " " + golden.options;
    for (const std::string& schema : golden.schemas) command += " " + (kSource / schema).string();
    ASSERT_EQ(std::system((command + " 2>/dev/null").c_str()), 0) << command;
    if (update) {
      fs::remove_all(kept);
      fs::create_directories(kept);
      for (const std::string& name : FileNames(written)) fs::copy_file(written / name, kept / name);
    }
    EXPECT_EQ(FileNames(written), FileNames(kept)) << golden.name;
    for (const std::string& name : FileNames(kept)) {
      if (Read(written / name) == Read(kept / name)) continue;
      const std::string diff = "diff -u " + (kept / name).string() + " " + (written / name).string();
      ADD_FAILURE() << golden.name << "/" << name << " differs; scripts/refresh-golden writes it anew:\n" << diff;
      std::system(diff.c_str());
    }
    fs::remove_all(written);
  }
}

}  // namespace
