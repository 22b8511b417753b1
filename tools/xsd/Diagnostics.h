#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace vexlo9::xsd {

// Where a schema construct was written: the file as the user named it (or as an include reached it) and its line.
struct Location {
  std::string file;
  int line = 0;
};

// One finding, printed as "file:line: construct: what to do".
struct Diagnostic {
  Location where;
  std::string construct;
  std::string advice;

  std::string Text() const;
};

// A fatal finding: the compiler stops at the first one and writes nothing.
class Refusal : public std::runtime_error {
 public:
  explicit Refusal(Diagnostic diagnostic) : std::runtime_error(diagnostic.Text()), diagnostic_(std::move(diagnostic)) {}
  const Diagnostic& diagnostic() const noexcept { return diagnostic_; }

 private:
  Diagnostic diagnostic_;
};

// Collects the warnings of one run; refusals are thrown.
class Diagnostics {
 public:
  void Warn(const Location& where, std::string construct, std::string advice);
  [[noreturn]] static void Refuse(const Location& where, std::string construct, std::string advice);

  const std::vector<Diagnostic>& Warnings() const noexcept { return warnings_; }

 private:
  std::vector<Diagnostic> warnings_;
};

}  // namespace vexlo9::xsd
