#pragma once

#include <cstdint>

#include "vexlo9/model/Forward.h"
#include "vexlo9/model/Object.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

// Whether a class is written as an element of its own or straight into its parent's element.
enum class XmlElementType : int32_t { Element = 0, PseudoElement = 1 };

// How a class's element particles are grouped.
enum class XmlGroupType : int32_t { Sequence = 0, Choice = 1, All = 2 };

// What the library needs of a generated class besides XmlObjectBase.
class VEXLO9_API XmlGeneratedClass : public virtual Object {
 public:
  XmlGeneratedClass* AsXmlGeneratedClass() noexcept final { return this; }
  // Resets every property to its initial state; reading always starts here.
  virtual void Init();
  // The class's registry: the same one on every call.
  virtual const vexlo9::ClassInfo& ClassInfo() const = 0;
};

}  // namespace vexlo9
