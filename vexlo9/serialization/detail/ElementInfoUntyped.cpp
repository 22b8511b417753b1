#include "vexlo9/serialization/detail/ElementInfoUntyped.h"

#include <optional>

#include "vexlo9/collections/Element.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9::detail {
namespace {

// The namespace for one of the four reserved tokens; nothing for any other text.
std::optional<std::string> TokenNamespace(std::string_view token, std::string_view sParentNamespace,
                                          std::string_view sTargetNamespace) {
  if (token == "##any") return std::string(sParentNamespace);
  if (token == "##other") return std::string(sParentNamespace.empty() ? "DefaultNamespace" : "");
  if (token == "##local") return std::string();
  if (token == "##targetNamespace") return std::string(sTargetNamespace);
  return std::nullopt;
}

std::shared_ptr<XmlObjectBase> ElementIn(Object& oGenClass, const MemberName& property) {
  auto element = GetMember(oGenClass, property).ToObjectOf<XmlObjectBase>();
  if (!element) throw errors::ObjectNotSet(errors::kLibrarySource);
  return element;
}

}  // namespace

std::string WildcardElementNamespace(std::string_view sNamespaceRestriction, std::string_view sParentNamespace,
                                     std::string_view sTargetNamespace) {
  if (auto ns = TokenNamespace(sNamespaceRestriction, sParentNamespace, sTargetNamespace)) return *std::move(ns);
  // A list: only a reserved first item says anything; a URI first, or anything else, gives no namespace.
  const std::string_view first = sNamespaceRestriction.substr(0, sNamespaceRestriction.find(' '));
  if (first.size() > 2 && first.starts_with("##")) {
    if (auto ns = TokenNamespace(first, sParentNamespace, sTargetNamespace)) return *std::move(ns);
  }
  return std::string();
}

template <Group G, Cardinality C>
bool ElementInfoUntyped<G, C>::ElementFromXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                              XmlNode oXmlElmParent, XmlNode& oXmlElmChild,
                                              std::string_view sParentNamespace,
                                              XmlElementType eParentClassElementType) const {
  if constexpr (C == Cardinality::Mnd) {
    return ReadMandatory(oContext, oGenClass, oXmlElmParent, oXmlElmChild, eParentClassElementType);
  } else {
    return ReadOptional(oContext, oGenClass, oXmlElmParent, oXmlElmChild, sParentNamespace);
  }
}

template <Group G, Cardinality C>
bool ElementInfoUntyped<G, C>::ReadMandatory(const XmlSerializationContext& oContext, Object& oGenClass,
                                             XmlNode oXmlElmParent, XmlNode& oXmlElmChild,
                                             XmlElementType eParentClassElementType) const {
  if (!oXmlElmChild) {
    if constexpr (G == Group::All) return false;
    // Neither skipping nor the ignore switches apply to a mandatory wildcard.
    throw errors::WildcardElementMissing(sElementName_);
  }
  const auto element = ElementIn(oGenClass, sPropertyName_);
  XmlNode next = oXmlElmChild;
  if (NameMatches(oXmlElmChild)) next = element->FromXmlInt(oXmlElmParent, oXmlElmChild, oContext, false);
  if (next == oXmlElmChild) {
    if (G == Group::Seq && eParentClassElementType == XmlElementType::Element) {
      throw errors::WildcardNamespaceMissing(sElementNamespace_);
    }
    return false;
  }
  oXmlElmChild = next;
  return true;
}

template <Group G, Cardinality C>
bool ElementInfoUntyped<G, C>::ReadOptional(const XmlSerializationContext& oContext, Object& oGenClass,
                                            XmlNode oXmlElmParent, XmlNode& oXmlElmChild,
                                            std::string_view sParentNamespace) const {
  constexpr bool kAbsentResult = G == Group::Seq;
  // The name is tested first, so that no Element is made for a sibling it would not take.
  if (!oXmlElmChild || !NameMatches(oXmlElmChild)) return kAbsentResult;
  const auto element =
      NewElement(sElementName_, WildcardElementNamespace(sNamespaceRestriction_, sParentNamespace, sTargetNamespace_),
                 sNamespaceRestriction_, sTargetNamespace_);
  const XmlNode next = element->FromXmlInt(oXmlElmParent, oXmlElmChild, oContext, false);
  if (next == oXmlElmChild) return kAbsentResult;  // the property is left as it was
  SetMember(oGenClass, sPropertyName_, element);
  oXmlElmChild = next;
  return true;
}

template <Group G, Cardinality C>
bool ElementInfoUntyped<G, C>::ElementToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                            XmlTextWriter& oXmlOut) const {
  // No presence flag: a property holding an Element is written.
  return WriteClassElement(oContext, oGenClass, oXmlOut, sPropertyName_, sElementName_, sElementNamespace_, false);
}

template <Group G, Cardinality C>
bool ElementInfoUntyped<G, C>::Validate(const XmlSerializationContext&, Object&, bool bItemRead,
                                        bool bThrowIfInvalid) const {
  if constexpr (G == Group::All && C == Cardinality::Mnd) {
    if (!bItemRead && bThrowIfInvalid) {
      throw errors::WildcardInAllMissing(sElementName_);
    }
  }
  return true;
}

template class ElementInfoUntyped<Group::Seq, Cardinality::Mnd>;
template class ElementInfoUntyped<Group::Seq, Cardinality::Opt>;
template class ElementInfoUntyped<Group::All, Cardinality::Mnd>;
template class ElementInfoUntyped<Group::All, Cardinality::Opt>;
template class ElementInfoUntyped<Group::Choice, Cardinality::Opt>;

}  // namespace vexlo9::detail
