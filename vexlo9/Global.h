#pragma once

#include <memory>

#include "vexlo9/collections/ClassFactoryCls.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/platform/Export.h"
#include "vexlo9/serialization/XmlGeneratedClassHelperCls.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/WhitespaceUtilsCls.h"

namespace vexlo9 {

// The library's entry object. Each service exists once per thread, created on
// its first request and kept for the thread's life; nothing is shared between
// threads and nothing takes a lock.
class VEXLO9_API Global {
 public:
  static const std::shared_ptr<ClassFactoryCls>& ClassFactory();
  static const std::shared_ptr<ConversionsCls>& Conversions();
  static const std::shared_ptr<WhitespaceUtilsCls>& WhitespaceUtils();
  static const std::shared_ptr<XmlObjectBaseHelperCls>& XmlObjectBaseHelper();
  static const std::shared_ptr<XmlGeneratedClassHelperCls>& XmlGeneratedClassHelper();
  // The context used by every call on this thread that passes none.
  static const std::shared_ptr<XmlSerializationContext>& DefaultXmlSerializationContext();
  // Gives back the memory the thread keeps between documents for the next one it reads: the blocks of the last
  // large document's tree (up to 256 MiB) and those its objects were placed in (up to 64 MiB). Objects that still
  // live are not affected.
  static void ReleaseThreadMemory() noexcept;
};

}  // namespace vexlo9
