#pragma once

#include <vector>

#include "vexlo9/model/Object.h"
#include "vexlo9/output/XmlTextWriter.h"

namespace vexlo9::detail {

// Marks an object as being written, for its lifetime: an object met again inside itself raises 162, one nested
// deeper than the writer's MaxDepth 163, so that no object graph can exhaust the stack.
class WritingObject {
 public:
  WritingObject(XmlTextWriter& writer, const Object& object);
  ~WritingObject();
  WritingObject(const WritingObject&) = delete;
  WritingObject& operator=(const WritingObject&) = delete;

  // The object whose writing encloses object's, when object is the innermost being written and not the outermost;
  // else nullptr.
  static const Object* Enclosing(const XmlTextWriter& writer, const Object& object) noexcept;

 private:
  std::vector<const Object*>& path_;
};

}  // namespace vexlo9::detail
