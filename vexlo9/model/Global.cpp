#include "vexlo9/model/Global.h"

#include "vexlo9/collections/ClassFactoryCls.h"
#include "vexlo9/model/XmlSerializationContext.h"
#include "vexlo9/serialization/XmlGeneratedClassHelperCls.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/WhitespaceUtilsCls.h"

namespace vexlo9 {
// Global creates the services that the host may not create itself.
template <class T>
const std::shared_ptr<T>& Global::PerThread() {
  thread_local const std::shared_ptr<T> instance(new T());
  return instance;
}

const std::shared_ptr<ClassFactoryCls>& Global::ClassFactory() { return PerThread<ClassFactoryCls>(); }

const std::shared_ptr<ConversionsCls>& Global::Conversions() { return PerThread<ConversionsCls>(); }

const std::shared_ptr<WhitespaceUtilsCls>& Global::WhitespaceUtils() { return PerThread<WhitespaceUtilsCls>(); }

const std::shared_ptr<XmlObjectBaseHelperCls>& Global::XmlObjectBaseHelper() {
  return PerThread<XmlObjectBaseHelperCls>();
}

const std::shared_ptr<XmlGeneratedClassHelperCls>& Global::XmlGeneratedClassHelper() {
  return PerThread<XmlGeneratedClassHelperCls>();
}

const std::shared_ptr<XmlSerializationContext>& Global::DefaultXmlSerializationContext() {
  return PerThread<XmlSerializationContext>();
}

}  // namespace vexlo9
