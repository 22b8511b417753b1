// vexlo9-xsd: writes the binding classes of XML Schema documents.
//
//   vexlo9-xsd --output-dir DIR [--namespace cpp::ns] [--namespace-map URI=cpp::ns]... [--root ELEMENT]...
//              [--sources N] SCHEMA...

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "Binding.h"
#include "Diagnostics.h"
#include "Emitter.h"
#include "Loader.h"
#include "ModelReader.h"
#include "Names.h"
#include "Packaging.h"
#include "Schema.h"

namespace {

namespace fs = std::filesystem;
using vexlo9::xsd::Diagnostics;

constexpr int kRefused = 2;
constexpr int kUsage = 2;

constexpr std::string_view kUsageText =
    "usage: vexlo9-xsd --output-dir DIR [--namespace cpp::ns] [--namespace-map URI=cpp::ns]... [--root ELEMENT]...\n"
    "                  [--sources N] SCHEMA...\n"
    "\n"
    "Writes DIR/<schema stem>.h and DIR/<schema stem>.cpp for each schema: one class per complex type and per\n"
    "element of a type of its own, for the vexlo9 library.\n"
    "\n"
    "  --output-dir DIR     where the files go (created if missing)\n"
    "  --namespace NS       the C++ namespace of the classes, such as acme::orders (default: the first stem)\n"
    "  --namespace-map URI=NS\n"
    "                       the classes of the schema namespace URI (empty: no namespace) in the C++ namespace\n"
    "                       NS instead (repeat for more); a factory and ReadDocument go where the classes of\n"
    "                       their schema go\n"
    "  --root ELEMENT       a global element that ReadDocument accepts as the root (repeat for more); only\n"
    "                       what the roots reach is generated (default: every global element of a complex\n"
    "                       type, and every component)\n"
    "  --sources N          define the classes in N more sources, STEM-1.cpp to STEM-N.cpp after the first\n"
    "                       schema's stem, of about equal size, so that big schemas compile in parallel and in\n"
    "                       bounded memory (default: 0, each schema's classes in its own source)\n"
    "  --help               this text\n"
    "  --version            the version\n"
    "\n"
    "Warnings go to standard error. Exit status: 0 done, 2 refused (nothing written).\n";

struct CommandLine {
  std::string outputDir;
  vexlo9::xsd::Options options;
  std::vector<std::string> schemas;
};

[[noreturn]] void Usage(const std::string& problem) {
  std::cerr << "vexlo9-xsd: " << problem << "\n" << kUsageText;
  std::exit(kUsage);
}

// True when the text is a C++ namespace: identifiers joined by "::".
bool IsNamespace(std::string_view text) {
  size_t start = 0;
  while (true) {
    const size_t end = text.find("::", start);
    const std::string_view part = text.substr(start, end == std::string_view::npos ? end : end - start);
    const auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    if (part.empty() || std::isdigit(static_cast<unsigned char>(part[0])) ||
        !std::all_of(part.begin(), part.end(), word)) {
      return false;
    }
    if (end == std::string_view::npos) return true;
    start = end + 2;
  }
}

// URI=cpp::ns; the URI may hold '=' itself, a C++ namespace cannot.
void MapNamespace(vexlo9::xsd::Options& options, const std::string& mapping) {
  const size_t equals = mapping.rfind('=');
  const std::string cpp = equals == std::string::npos ? "" : mapping.substr(equals + 1);
  if (!IsNamespace(cpp)) Usage("--namespace-map " + mapping + " is not URI=cpp::ns, such as urn:acme:orders=acme::orders");
  if (!options.namespaceMap.emplace(mapping.substr(0, equals), cpp).second) {
    Usage("--namespace-map " + mapping + ": the namespace is mapped twice");
  }
}

CommandLine Parse(int argc, char** argv) {
  CommandLine line;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const auto value = [&](std::string_view option) -> std::string {
      if (i + 1 >= argc) Usage(std::string(option) + " needs a value");
      return argv[++i];
    };
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsageText;
      std::exit(0);
    } else if (arg == "--version") {
      std::cout << "vexlo9-xsd " << VEXLO9_XSD_VERSION << "\n";
      std::exit(0);
    } else if (arg == "--output-dir") {
      line.outputDir = value(arg);
    } else if (arg == "--namespace") {
      line.options.cppNamespace = value(arg);
      if (!IsNamespace(line.options.cppNamespace)) {
        Usage("--namespace " + line.options.cppNamespace + " is not a C++ namespace such as acme::orders");
      }
    } else if (arg == "--namespace-map") {
      MapNamespace(line.options, value(arg));
    } else if (arg == "--root") {
      line.options.roots.push_back(value(arg));
    } else if (arg == "--sources") {
      const std::string count = value(arg);
      line.options.parts = std::atoi(count.c_str());
      if (count.find_first_not_of("0123456789") != std::string::npos || line.options.parts < 0 ||
          line.options.parts > 1000) {
        Usage("--sources " + count + " is not a number of files from 0 to 1000");
      }
    } else if (arg.starts_with("-") && arg.size() > 1) {
      Usage("unknown option " + std::string(arg));
    } else {
      line.schemas.emplace_back(arg);
    }
  }
  if (line.outputDir.empty()) Usage("--output-dir is missing");
  if (line.schemas.empty()) Usage("no schema given");
  if (line.options.cppNamespace.empty()) {
    line.options.cppNamespace = vexlo9::xsd::Identifier(fs::path(line.schemas.front()).stem().string());
  }
  return line;
}

// A mapping of a namespace that no schema has is a mistake the generated code would not show.
void RefuseUnknownNamespaces(const CommandLine& line, const vexlo9::xsd::SchemaModel& model) {
  for (const auto& mapping : line.options.namespaceMap) {
    const std::string& uri = mapping.first;
    const auto has = [&](const vexlo9::xsd::DocumentInfo& d) { return d.targetNamespace == uri; };
    if (std::none_of(model.documents.begin(), model.documents.end(), has)) {
      Diagnostics::Refuse({"--namespace-map", 0}, uri.empty() ? "(no namespace)" : uri,
                          "no schema read has that target namespace: give one of the schemas' namespaces");
    }
  }
}

void Write(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) Diagnostics::Refuse({path.string(), 0}, "output", "cannot write the file: check the directory");
}

}  // namespace

int main(int argc, char** argv) {
  const CommandLine line = Parse(argc, argv);
  Diagnostics diagnostics;
  try {
    vexlo9::xsd::SchemaModel model;
    vexlo9::xsd::ReadModel(vexlo9::xsd::SchemaSet(line.schemas), model);
    RefuseUnknownNamespaces(line, model);
    vexlo9::xsd::Schema schema(model, diagnostics);
    vexlo9::xsd::Binding binding = vexlo9::xsd::Bind(schema, line.options);
    const vexlo9::xsd::Package package = vexlo9::xsd::MakePackage(binding, model, line.options);
    const std::vector<vexlo9::xsd::GeneratedFile> files = vexlo9::xsd::Emit(binding, package, line.options);
    for (const auto& warning : diagnostics.Warnings()) std::cerr << warning.Text() << "\n";
    std::error_code error;
    fs::create_directories(line.outputDir, error);
    if (error) Diagnostics::Refuse({line.outputDir, 0}, "--output-dir", "cannot create it: " + error.message());
    for (const auto& file : files) Write(fs::path(line.outputDir) / file.name, file.text);
  } catch (const vexlo9::xsd::Refusal& refusal) {
    std::cerr << refusal.what() << "\n";
    return kRefused;
  } catch (const std::exception& e) {
    // A fault of the compiler, not of the schema: still a refusal, never a crash.
    std::cerr << "vexlo9-xsd: internal error: " << e.what() << "\n";
    return kRefused;
  }
  return 0;
}
