#include "vexlo9/serialization/detail/ElementInfoClass.h"

#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9::detail {
namespace {

std::shared_ptr<XmlObjectBase> AsXmlObject(const ObjectPtr& object) {
  if (!object) return nullptr;
  XmlObjectBase* typed = object->AsXmlObjectBase();
  if (!typed) throw errors::TypeMismatch(errors::kLibrarySource);
  return std::shared_ptr<XmlObjectBase>(object, typed);
}

std::shared_ptr<XmlObjectBase> ChildIn(Object& oGenClass, const MemberName& property) {
  auto child = GetMember(oGenClass, property).ToObjectOf<XmlObjectBase>();
  if (!child) throw errors::ObjectNotSet(errors::kLibrarySource);
  return child;
}

// The child has its own element at the cursor: it reads that element's children.
void ReadElementChild(const XmlSerializationContext& context, XmlObjectBase& child, XmlNode& cursor,
                      const ValueConstraint& constraint) {
  const GivenConstraint given(constraint);
  child.FromXmlInt(cursor, FirstChildElement(cursor), context, false);
  cursor = NextSiblingElement(cursor);
}

// The child is a model group: it reads as many of the parent's children as belong to it.
XmlNode ReadPseudoChild(const XmlSerializationContext& context, XmlObjectBase& child, XmlNode parent, XmlNode cursor) {
  return child.FromXmlInt(parent, cursor, context, false);
}

}  // namespace

template <Group G, Cardinality C, bool Abstract>
bool ElementInfoClass<G, C, Abstract>::ElementFromXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                                      XmlNode oXmlElmParent, XmlNode& oXmlElmChild, std::string_view,
                                                      XmlElementType eParentClassElementType) const {
  if constexpr (Abstract) {
    if constexpr (G == Group::All) {
      if constexpr (C == Cardinality::Mnd) throw errors::AbstractMandatoryInAll();
      else throw errors::AbstractOptionalInAll();
    } else {
      return ReadAbstract(oContext, oGenClass, oXmlElmChild, eParentClassElementType);
    }
  } else if constexpr (C == Cardinality::Mnd) {
    return ReadMandatory(oContext, oGenClass, oXmlElmParent, oXmlElmChild, eParentClassElementType);
  } else {
    return ReadOptional(oContext, oGenClass, oXmlElmParent, oXmlElmChild);
  }
}

template <Group G, Cardinality C, bool Abstract>
bool ElementInfoClass<G, C, Abstract>::ReadMandatory(const XmlSerializationContext& oContext, Object& oGenClass,
                                                     XmlNode oXmlElmParent, XmlNode& oXmlElmChild,
                                                     XmlElementType eParentClassElementType) const {
  const bool parentIsElement = eParentClassElementType == XmlElementType::Element;
  if (!IsPseudo()) {
    const bool mayMiss = G == Group::All || !parentIsElement || oContext.IgnoreMissingMandatoryElements();
    // Only a child that must be found is searched for past unknown elements.
    const bool found = mayMiss ? DoesElementNameMatch(oContext, oXmlElmChild, p_.sElementName, p_.sElementNamespace)
                               : SkipToElement(oContext, oXmlElmChild, p_.sElementName, p_.sElementNamespace);
    if (found) {
      ReadElementChild(oContext, *ChildIn(oGenClass, p_.sPropertyName), oXmlElmChild, p_.constraint);
      return true;
    }
    if (G == Group::All || !parentIsElement) return false;
    if (oContext.IgnoreMissingMandatoryElements()) return true;
    throw errors::ClassElementMissing(p_.sElementName);
  }
  if constexpr (G == Group::All) {
    const XmlNode next = ReadPseudoChild(oContext, *ChildIn(oGenClass, p_.sPropertyName), oXmlElmParent, oXmlElmChild);
    if (next == oXmlElmChild) return false;
    oXmlElmChild = next;
    return true;
  } else {
    if (!p_.doesClassContainMandatoryElements) {
      const XmlNode next =
          ReadPseudoChild(oContext, *ChildIn(oGenClass, p_.sPropertyName), oXmlElmParent, oXmlElmChild);
      // A group that may be empty is satisfied by nothing, unless an unknown element waits to be skipped.
      if (next == oXmlElmChild && oXmlElmChild && oContext.IgnoreUnknownElements() && parentIsElement) return false;
      oXmlElmChild = next;
      return true;
    }
    if (!oXmlElmChild) {
      if (!parentIsElement) return false;
      throw errors::GroupMissing(p_.sElementName);
    }
    const XmlNode next = ReadPseudoChild(oContext, *ChildIn(oGenClass, p_.sPropertyName), oXmlElmParent, oXmlElmChild);
    if (next == oXmlElmChild) {
      if (!parentIsElement) return false;
      throw errors::GroupReadNothing(p_.sElementName);
    }
    oXmlElmChild = next;
    return true;
  }
}

template <Group G, Cardinality C, bool Abstract>
bool ElementInfoClass<G, C, Abstract>::ReadOptional(const XmlSerializationContext& oContext, Object& oGenClass,
                                                    XmlNode oXmlElmParent, XmlNode& oXmlElmChild) const {
  constexpr bool kAbsentResult = G == Group::Seq;
  if (!IsPseudo()) {
    if (!DoesElementNameMatch(oContext, oXmlElmChild, p_.sElementName, p_.sElementNamespace)) return kAbsentResult;
    const ObjectPtr child = CreateNamedChild(p_.sElementName, p_.iClassTypeID, FactoryOf(oGenClass));
    const auto xmlChild = AsXmlObject(child);
    if (!xmlChild) throw errors::ObjectNotSet(errors::kLibrarySource);
    // Assigned before its content is read, so a failure leaves it in place, partly filled.
    SetMember(oGenClass, p_.sPropertyName, child);
    ReadElementChild(oContext, *xmlChild, oXmlElmChild, p_.constraint);
    return true;
  }
  if (!oXmlElmChild) return kAbsentResult;
  const ObjectPtr child = CreateNamedChild(p_.sElementName, p_.iClassTypeID, FactoryOf(oGenClass));
  const auto xmlChild = AsXmlObject(child);
  if (!xmlChild) throw errors::ObjectNotSet(errors::kLibrarySource);
  const XmlNode next = ReadPseudoChild(oContext, *xmlChild, oXmlElmParent, oXmlElmChild);
  if (next == oXmlElmChild) return kAbsentResult;
  SetMember(oGenClass, p_.sPropertyName, child);
  oXmlElmChild = next;
  return true;
}

template <Group G, Cardinality C, bool Abstract>
bool ElementInfoClass<G, C, Abstract>::ReadAbstract(const XmlSerializationContext& oContext, Object& oGenClass,
                                                    XmlNode& oXmlElmChild,
                                                    XmlElementType eParentClassElementType) const {
  const bool matches = DoesElementNameMatch(oContext, oXmlElmChild, p_.sElementName, p_.sElementNamespace);
  if constexpr (G == Group::Seq && C == Cardinality::Mnd) {
    const bool parentIsElement = eParentClassElementType == XmlElementType::Element;
    if (!matches) {
      if (!parentIsElement) return false;
      throw errors::SubstitutionElementMissing(p_.sElementName);
    }
    const ObjectPtr child = CreateChildForElement(p_.sCreateClassMethodName, oXmlElmChild, FactoryOf(oGenClass));
    if (!child) {
      if (!parentIsElement) return false;
      throw errors::SubstitutionClassMissing(p_.sElementName);
    }
    ReadElementChild(oContext, *AsXmlObject(child), oXmlElmChild, p_.constraint);
    SetMember(oGenClass, p_.sPropertyName, child);
    return true;
  } else if constexpr (G == Group::Seq) {
    if (matches) {
      if (const ObjectPtr child =
              CreateChildForElement(p_.sCreateClassMethodName, oXmlElmChild, FactoryOf(oGenClass))) {
        ReadElementChild(oContext, *AsXmlObject(child), oXmlElmChild, p_.constraint);
        SetMember(oGenClass, p_.sPropertyName, child);
      }
    }
    return true;
  } else {
    if (!matches) return false;
    const ObjectPtr child = CreateChildForElement(p_.sCreateClassMethodName, oXmlElmChild, FactoryOf(oGenClass));
    // Assigned even when the factory found no class, which empties the alternative.
    SetMember(oGenClass, p_.sPropertyName, child);
    if (!child) return false;
    ReadElementChild(oContext, *AsXmlObject(child), oXmlElmChild, p_.constraint);
    return true;
  }
}

template <Group G, Cardinality C, bool Abstract>
bool ElementInfoClass<G, C, Abstract>::ElementToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                                    XmlTextWriter& oXmlOut) const {
  constexpr bool kIsOptionalChoice = G == Group::Choice && !Abstract;
  const GivenConstraint given(p_.constraint);
  const bool written = WriteClassElement(oContext, oGenClass, oXmlOut, p_.sPropertyName, p_.sElementName,
                                         p_.sElementNamespace, kIsOptionalChoice);
  // Init leaves such a child empty until the factory makes one; left out, the document would be invalid. Raised
  // as the generated setter raises for a mandatory child set to nothing.
  if (Abstract && C == Cardinality::Mnd && !written) throw errors::PropertyIsNull(p_.sPropertyName);
  return written;
}

template <Group G, Cardinality C, bool Abstract>
bool ElementInfoClass<G, C, Abstract>::Validate(const XmlSerializationContext&, Object&, bool bItemRead,
                                                bool bThrowIfInvalid) const {
  if constexpr (G == Group::All && C == Cardinality::Mnd) {
    if (!bItemRead && bThrowIfInvalid) {
      if constexpr (Abstract) {
        throw errors::AbstractInAllMissing(p_.sElementName);
      } else if (!IsPseudo() || p_.doesClassContainMandatoryElements) {
        throw errors::ClassInAllMissing(p_.sElementName);
      }
    }
    return bItemRead;
  } else {
    return true;
  }
}

template <Group G, Cardinality C, bool Abstract>
void ElementInfoClass<G, C, Abstract>::PseudoChildAttributeToXml(const XmlSerializationContext& oContext,
                                                                 Object& oGenClass, XmlTextWriter& oXmlOut) const {
  if (!IsPseudo()) return;
  if (const auto child = GetMember(oGenClass, p_.sPropertyName).template ToObjectOf<XmlObjectBase>()) {
    child->AttributesToXmlInt(oXmlOut, oContext);
  }
}

template class ElementInfoClass<Group::Seq, Cardinality::Mnd, false>;
template class ElementInfoClass<Group::All, Cardinality::Mnd, false>;
template class ElementInfoClass<Group::Seq, Cardinality::Opt, false>;
template class ElementInfoClass<Group::All, Cardinality::Opt, false>;
template class ElementInfoClass<Group::Choice, Cardinality::Opt, false>;
template class ElementInfoClass<Group::Seq, Cardinality::Mnd, true>;
template class ElementInfoClass<Group::All, Cardinality::Mnd, true>;
template class ElementInfoClass<Group::Seq, Cardinality::Opt, true>;
template class ElementInfoClass<Group::All, Cardinality::Opt, true>;
template class ElementInfoClass<Group::Choice, Cardinality::Opt, true>;

}  // namespace vexlo9::detail
