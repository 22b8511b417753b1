#pragma once

#include "vexlo9/model/Forward.h"
#include "vexlo9/model/Object.h"

namespace vexlo9 {

// What the library needs of a generated class besides XmlObjectBase.
class XmlGeneratedClass : public virtual Object {
 public:
  // Resets every property to its initial state; reading always starts here.
  virtual void Init();
  // The class's registry: the same one on every call.
  virtual const vexlo9::ClassInfo& ClassInfo() const = 0;
};

}  // namespace vexlo9
