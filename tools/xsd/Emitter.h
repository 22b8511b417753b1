#pragma once

#include <string>
#include <vector>

#include "Binding.h"
#include "Packaging.h"

namespace vexlo9::xsd {

// One file to write: its name within the output directory and its whole text.
struct GeneratedFile {
  std::string name;
  std::string text;
};

// The header and source of every output, in output order, then the parts. Writes nothing itself, so that a run that
// fails late leaves no file behind.
std::vector<GeneratedFile> Emit(const Binding& binding, const Package& package, const Options& options);

}  // namespace vexlo9::xsd
