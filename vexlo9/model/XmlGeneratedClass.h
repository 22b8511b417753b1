#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vexlo9/model/Forward.h"
#include "vexlo9/model/MixedText.h"
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
  // A class with mixed content: its text with the places of its runs among the child elements, as read, so that
  // it is written back in order; nullptr when the class keeps its text otherwise (then it follows the children).
  virtual MixedText* MixedContent() noexcept { return nullptr; }
  const MixedText* OrderedText() const noexcept { return const_cast<XmlGeneratedClass*>(this)->MixedContent(); }

  // Whether the element of a property was read empty and took its declaration's default or fixed value: it is then
  // written empty again while the property holds that value, as it was read.
  bool ReadEmpty(std::string_view property) const noexcept;
  void ReadEmpty(std::string_view property, bool value);

  // The schema-instance attributes that locate the document's schemas (schemaLocation, noNamespaceSchemaLocation),
  // by local name, as the root element of the document this object was read from gave them: written back on it as a
  // root, after the context's own root attributes and unless those give the same one. Empty for an object not read as
  // a document's root.
  using SchemaLocationList = std::vector<std::pair<std::string, std::string>>;
  const SchemaLocationList& SchemaLocations() const noexcept;
  void SchemaLocations(SchemaLocationList value);

 private:
  std::vector<std::string> readEmpty_;                         // empty unless a document left a defaulted element empty
  std::shared_ptr<const SchemaLocationList> schemaLocations_;  // null unless read from a root that had them
};

}  // namespace vexlo9
