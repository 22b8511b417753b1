#include "vexlo9/model/Error.h"

namespace vexlo9 {

Error::Error(int32_t number, std::string source, std::string description)
    : std::runtime_error(description),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

Error Error::InvalidCall(std::string source) {
  return Error(5, std::move(source), "Invalid procedure call or argument");
}

Error Error::Overflow(std::string source) { return Error(6, std::move(source), "Overflow"); }

Error Error::SubscriptOutOfRange(std::string source) {
  return Error(9, std::move(source), "Subscript out of range");
}

Error Error::TypeMismatch(std::string source) { return Error(13, std::move(source), "Type mismatch"); }

Error Error::ObjectNotSet(std::string source) {
  return Error(91, std::move(source), "Object variable not set");
}

Error Error::NoSuchMember(std::string source, std::string_view member) {
  return Error(438, std::move(source),
               "Object doesn't support this property or method [" + std::string(member) + "]");
}

Error Error::WrongArgumentCount(std::string source, std::string_view member) {
  return Error(450, std::move(source),
               "Wrong number of arguments or invalid property assignment [" + std::string(member) + "]");
}

}  // namespace vexlo9
