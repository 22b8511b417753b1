#include "Diagnostics.h"

#include <algorithm>

namespace vexlo9::xsd {

std::string Diagnostic::Text() const {
  std::string text = where.file;
  if (where.line > 0) text += ":" + std::to_string(where.line);
  return text + ": " + construct + ": " + advice;
}

void Diagnostics::Warn(const Location& where, std::string construct, std::string advice) {
  Diagnostic diagnostic{where, std::move(construct), std::move(advice)};
  // A construct reached from several places is reported once.
  const auto same = [&](const Diagnostic& d) { return d.Text() == diagnostic.Text(); };
  if (std::none_of(warnings_.begin(), warnings_.end(), same)) warnings_.push_back(std::move(diagnostic));
}

void Diagnostics::Refuse(const Location& where, std::string construct, std::string advice) {
  throw Refusal(Diagnostic{where, std::move(construct), std::move(advice)});
}

}  // namespace vexlo9::xsd
