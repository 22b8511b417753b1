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

using ObjectPtr = std::shared_ptr<Object>;

namespace detail {
class ElementInfo;
class AttributeInfo;
}  // namespace detail

}  // namespace vexlo9
