#include "vexlo9/collections/ClassFactoryCls.h"

namespace vexlo9 {

std::shared_ptr<Element> ClassFactoryCls::Create_Element(std::string_view ElementName,
                                                         std::string_view elementNamespace,
                                                         std::string_view namespaceRestriction,
                                                         std::string_view TargetNamespace) const {
  return detail::NewElement(ElementName, elementNamespace, namespaceRestriction, TargetNamespace);
}

std::shared_ptr<ElementCol> ClassFactoryCls::Create_ElementCol(std::string_view elementNamespace,
                                                               std::string_view namespaceRestriction,
                                                               std::string_view TargetNamespace, int32_t iMinOccurs,
                                                               int32_t iMaxOccurs) const {
  return detail::NewElementCol(elementNamespace, namespaceRestriction, TargetNamespace, iMinOccurs, iMaxOccurs);
}

std::shared_ptr<AttributeCls> ClassFactoryCls::Create_Attribute(std::string_view AttributeName,
                                                                std::string_view AttributeNamespace,
                                                                std::string_view namespaceRestriction,
                                                                std::string_view TargetNamespace) const {
  return detail::NewAttributeCls(AttributeName, AttributeNamespace, namespaceRestriction, TargetNamespace);
}

std::shared_ptr<AttributeCol> ClassFactoryCls::Create_AttributeCol(std::string_view AttributeNamespace,
                                                                   std::string_view namespaceRestriction,
                                                                   std::string_view TargetNamespace) const {
  return detail::NewAttributeCol(AttributeNamespace, namespaceRestriction, TargetNamespace);
}

}  // namespace vexlo9
