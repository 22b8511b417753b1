#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9::errors {

Error Make(int32_t number, std::string source, std::string_view text, std::initializer_list<std::string> arguments) {
  std::string description;
  description.reserve(text.size() + 32);
  const std::string* argument = arguments.begin();
  size_t from = 0;
  for (size_t at = text.find("{}"); at != std::string_view::npos; at = text.find("{}", from)) {
    description.append(text.substr(from, at - from)).append(*argument++);
    from = at + 2;
  }
  description.append(text.substr(from));
  return Error(number, std::move(source), std::move(description));
}

Error WhileReading(const Error& inner, std::string_view elementName) {
  Error outer(inner.Number(), inner.Source(),
              "Failed to process the element [" + std::string(elementName) + "]" + kLineBreak + inner.Description());
  outer.Locate(inner.Line(), inner.Column());
  return outer;
}

Error WhileWriting(const Error& inner, std::string_view elementName) {
  return Error(inner.Number(), errors::kLibrarySource,
               "Failed to convert the element [" + std::string(elementName) + "] to XML" + kLineBreak +
                   inner.Description());
}

}  // namespace vexlo9::errors
