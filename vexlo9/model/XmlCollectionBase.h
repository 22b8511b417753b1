#pragma once

#include <cstdint>
#include <string_view>

#include "vexlo9/model/Event.h"
#include "vexlo9/model/Forward.h"
#include "vexlo9/model/Object.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

// What the library needs of a collection held in a generated property.
class VEXLO9_API XmlCollectionBase : public virtual Object {
 public:
  XmlCollectionBase* AsXmlCollectionBase() noexcept final { return this; }
  // Checks the item count against the collection's bounds.
  virtual void ValidateCount(const XmlSerializationContext& oContext);
  // Fixes the items' element name and namespace and the bounds (-1: unbounded).
  virtual void Init(std::string_view strElementName, std::string_view strElementNamespaceUri, int32_t iMinOccurs,
                    int32_t iMaxOccurs);
  virtual int32_t MinOccurs() const;

  // Raised whenever the content changes.
  Event<>& OnCollectionChange() noexcept { return onCollectionChange_; }

 protected:
  void RaiseOnCollectionChange() const { onCollectionChange_.Raise(); }

 private:
  Event<> onCollectionChange_;
};

}  // namespace vexlo9
