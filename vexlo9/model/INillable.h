#pragma once

#include "vexlo9/model/Object.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

// Implemented by generated classes whose element is nillable.
class VEXLO9_API INillable : public virtual Object {
 public:
  INillable* AsNillable() noexcept final { return this; }
  virtual bool IsNil() const;
  virtual void IsNil(bool value);
};

}  // namespace vexlo9
