#pragma once

#include <memory>

// Names the library's main classes for headers that only pass them along.
namespace vexlo9 {

class Object;
class Variant;
class Error;
class XmlNode;
class XmlAttribute;
class XmlDocument;
class XmlTextWriter;
class XmlSerializationContext;
class ClassInfo;
class XmlObjectBase;
class XmlGeneratedClass;
class XmlCollectionBase;
class INillable;
class Decimal;
class BigInteger;
class DateTime;
class DateTimeSpan;
class BinaryData;

using ObjectPtr = std::shared_ptr<Object>;

namespace detail {
class ElementInfo;
class AttributeInfo;
class TextValueInfo;

// The one instance of a service class on the calling thread (see model/detail/PerThread.h); services whose
// constructor is private befriend it.
template <class T>
const std::shared_ptr<T>& PerThread();
}  // namespace detail

}  // namespace vexlo9
