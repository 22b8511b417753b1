// The public interfaces are empty shells: their members answer with empty
// strings, false or nothing, and change nothing. A generated class also keeps
// the elements it read empty and the schema locations of the document it was read from.
#include <algorithm>
#include <utility>

#include "vexlo9/model/INillable.h"
#include "vexlo9/model/XmlCollectionBase.h"
#include "vexlo9/model/XmlGeneratedClass.h"
#include "vexlo9/model/XmlObjectBase.h"

namespace vexlo9 {

bool XmlObjectBase::IsSuitableSubstitution(std::string_view) const { return false; }
std::string_view XmlObjectBase::ElementName() const { return {}; }
std::string_view XmlObjectBase::TargetNamespace() const { return {}; }
void XmlObjectBase::PrivateSetElementName(std::string_view) {}
void XmlObjectBase::AttributesToXmlInt(XmlTextWriter&, const XmlSerializationContext&) {}
XmlNode XmlObjectBase::FromXmlInt(XmlNode, XmlNode, const XmlSerializationContext&, bool) { return XmlNode(); }
void XmlObjectBase::ToXmlInt(XmlTextWriter&, bool, std::string_view, const XmlSerializationContext&, bool) {}

void XmlGeneratedClass::Init() {}

bool XmlGeneratedClass::ReadEmpty(std::string_view property) const noexcept {
  return std::find(readEmpty_.begin(), readEmpty_.end(), property) != readEmpty_.end();
}

void XmlGeneratedClass::ReadEmpty(std::string_view property, bool value) {
  const auto at = std::find(readEmpty_.begin(), readEmpty_.end(), property);
  if (value && at == readEmpty_.end()) readEmpty_.emplace_back(property);
  if (!value && at != readEmpty_.end()) readEmpty_.erase(at);
}

const XmlGeneratedClass::SchemaLocationList& XmlGeneratedClass::SchemaLocations() const noexcept {
  static const SchemaLocationList none;
  return schemaLocations_ ? *schemaLocations_ : none;
}

void XmlGeneratedClass::SchemaLocations(SchemaLocationList value) {
  schemaLocations_ = value.empty() ? nullptr : std::make_shared<const SchemaLocationList>(std::move(value));
}

bool INillable::IsNil() const { return false; }
void INillable::IsNil(bool) {}

void XmlCollectionBase::ValidateCount(const XmlSerializationContext&) {}
void XmlCollectionBase::Init(std::string_view, std::string_view, int32_t, int32_t) {}
int32_t XmlCollectionBase::MinOccurs() const { return 0; }

}  // namespace vexlo9
