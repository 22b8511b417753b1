#include "vexlo9/platform/Error.h"

namespace vexlo9 {

Error::Error(int32_t number, std::string source, std::string description)
    : std::runtime_error(description),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

}  // namespace vexlo9
