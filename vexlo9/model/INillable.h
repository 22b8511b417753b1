#pragma once

#include "vexlo9/model/Object.h"

namespace vexlo9 {

// Implemented by generated classes whose element is nillable.
class INillable : public virtual Object {
 public:
  virtual bool IsNil() const;
  virtual void IsNil(bool value);
};

}  // namespace vexlo9
