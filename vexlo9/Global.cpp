#include "vexlo9/Global.h"

#include "vexlo9/collections/ClassFactoryCls.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/model/detail/ObjectPool.h"
#include "vexlo9/model/detail/PerThread.h"
#include "vexlo9/platform/detail/DomTree.h"
#include "vexlo9/serialization/XmlGeneratedClassHelperCls.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/WhitespaceUtilsCls.h"

namespace vexlo9 {

const std::shared_ptr<ClassFactoryCls>& Global::ClassFactory() { return detail::PerThread<ClassFactoryCls>(); }

const std::shared_ptr<ConversionsCls>& Global::Conversions() { return detail::PerThread<ConversionsCls>(); }

const std::shared_ptr<WhitespaceUtilsCls>& Global::WhitespaceUtils() {
  return detail::PerThread<WhitespaceUtilsCls>();
}

const std::shared_ptr<XmlObjectBaseHelperCls>& Global::XmlObjectBaseHelper() {
  return detail::PerThread<XmlObjectBaseHelperCls>();
}

const std::shared_ptr<XmlGeneratedClassHelperCls>& Global::XmlGeneratedClassHelper() {
  return detail::PerThread<XmlGeneratedClassHelperCls>();
}

const std::shared_ptr<XmlSerializationContext>& Global::DefaultXmlSerializationContext() {
  return detail::PerThread<XmlSerializationContext>();
}

void Global::ReleaseThreadMemory() noexcept {
  detail::ReleaseSpareBlocks();
  detail::ReleasePoolSpares();
}

}  // namespace vexlo9
