#pragma once

#include <memory>

namespace vexlo9 {

class ClassFactoryCls;
class XmlObjectBaseHelperCls;
class XmlGeneratedClassHelperCls;
class XmlSerializationContext;
class ConversionsCls;
class WhitespaceUtilsCls;

namespace detail {
class NamespaceUtilsCls;
}  // namespace detail

// The library's entry object. Each service exists once per thread, created on
// its first request and kept for the thread's life; nothing is shared between
// threads and nothing takes a lock.
class Global {
 public:
  static const std::shared_ptr<ClassFactoryCls>& ClassFactory();
  static const std::shared_ptr<ConversionsCls>& Conversions();
  static const std::shared_ptr<WhitespaceUtilsCls>& WhitespaceUtils();
  static const std::shared_ptr<XmlObjectBaseHelperCls>& XmlObjectBaseHelper();
  static const std::shared_ptr<XmlGeneratedClassHelperCls>& XmlGeneratedClassHelper();
  // The context used by every call on this thread that passes none.
  static const std::shared_ptr<XmlSerializationContext>& DefaultXmlSerializationContext();

 private:
  template <class T>
  static const std::shared_ptr<T>& PerThread();
};

}  // namespace vexlo9
