#include "vexlo9/serialization/detail/ElementInfoPrimitive.h"

#include "vexlo9/collections/TypedCollections.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/model/detail/PerThread.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/WhitespaceHelper.h"
#include "vexlo9/collections/detail/QNames.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/detail/ValueText.h"

namespace vexlo9::detail {

namespace {

// A list's items as it writes them, against a default or fixed value's: compared as texts, blanks collapsed.
bool SameItems(std::string_view listText, const ValueConstraint& constraint) {
  return listText == WhitespaceHelper::Collapse(constraint.Text());
}

}  // namespace

template <Group G, Cardinality C>
void ElementInfoPrimitive<G, C>::Read(const XmlSerializationContext& oContext, Object& oGenClass,
                                      XmlNode& oXmlElmChild) const {
  std::string joined;
  const std::string_view text = constraint_.TextOf(oGenClass, sPropertyName_, oXmlElmChild, joined);
  if (list_) {
    ListValue& list = ListOf(oGenClass, sPropertyName_);
    list.ListFromText(text, oContext);
    if (constraint_.Fixed()) {
      CheckFixedValue(sElementName_, text, constraint_.Text(), SameItems(list.ListText(oContext), constraint_));
    }
    if (C == Cardinality::Opt) LetMember(oGenClass, sPropertyIsValidName_, Variant(true));
    oXmlElmChild = NextSiblingElement(oXmlElmChild);
    return;
  }
  // A plain value goes straight to a setter of the type it is held as; the rest by way of a Variant.
  if (qname_ || constraint_.Fixed() || !TakeMemberText(oGenClass, sPropertyName_, {eDataType_, eWSRule_}, text)) {
    StoreRead(oGenClass, oXmlElmChild, text);
  }
  oXmlElmChild = NextSiblingElement(oXmlElmChild);
}

template <Group G, Cardinality C>
void ElementInfoPrimitive<G, C>::StoreRead(Object& oGenClass, XmlNode oXmlElmChild, std::string_view text) const {
  Variant value = PerThread<ConversionsCls>()->FromString(eDataType_, text, eWSRule_);
  if (qname_) value = Variant(ResolveQName(value.ToString(), oXmlElmChild, sElementName_));
  if (constraint_.Fixed()) {
    CheckFixedValue(sElementName_, text, constraint_.Text(), SameValue(eDataType_, value, constraintValue_));
  }
  StoreValue(oGenClass, sPropertyName_, std::move(value));
}

template <Group G, Cardinality C>
bool ElementInfoPrimitive<G, C>::ElementFromXml(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode,
                                                XmlNode& oXmlElmChild, std::string_view,
                                                XmlElementType eParentClassElementType) const {
  if constexpr (G == Group::Seq && C == Cardinality::Mnd) {
    if (SkipToElement(oContext, oXmlElmChild, sElementName_, sElementNamespace_)) {
      Read(oContext, oGenClass, oXmlElmChild);
      return true;
    }
    if (eParentClassElementType == XmlElementType::PseudoElement) return false;
    throw errors::PrimitiveElementMissing(sElementName_);
  } else {
    if (DoesElementNameMatch(oContext, oXmlElmChild, sElementName_, sElementNamespace_)) {
      Read(oContext, oGenClass, oXmlElmChild);
      return true;
    }
    // An absent optional element of a sequence is no failure.
    return G == Group::Seq;
  }
}

template <Group G, Cardinality C>
bool ElementInfoPrimitive<G, C>::ElementToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                              XmlTextWriter& oXmlOut) const {
  if (list_) return WriteList(oContext, oGenClass, oXmlOut);
  if (C != Cardinality::Mnd && !GetMemberFlag(oGenClass, sPropertyIsValidName_)) return false;
  WriteValue(oGenClass, oXmlOut);
  return true;
}

template <Group G, Cardinality C>
void ElementInfoPrimitive<G, C>::WriteValue(Object& oGenClass, XmlTextWriter& oXmlOut) const {
  // A violation must raise before anything of the element is written.
  const PropertyText value(oGenClass, sPropertyName_, eDataType_, formatOverride_, sElementName_, &primValues_);
  const Variant* const emptyValue = EmptyValue();
  if (!emptyValue && !qname_) return WriteTextElement(oXmlOut, tags_, sElementNamespace_, value.text());
  oXmlOut.WriteStartElement(sElementName_, sElementNamespace_);
  if (!emptyValue || !ValueConstraint::ReadEmpty(oGenClass, sPropertyName_) ||
      !SameValue(eDataType_, GetMember(oGenClass, sPropertyName_), *emptyValue)) {
    oXmlOut.WriteString(qname_ ? QNameText(oXmlOut, value.text(), sElementName_) : value.text());
  }
  oXmlOut.WriteEndElement();
}

template <Group G, Cardinality C>
bool ElementInfoPrimitive<G, C>::WriteList(const XmlSerializationContext& oContext, Object& oGenClass,
                                           XmlTextWriter& oXmlOut) const {
  if (C != Cardinality::Mnd && !GetMemberFlag(oGenClass, sPropertyIsValidName_)) return false;
  const ListValue& list = ListOf(oGenClass, sPropertyName_);
  const std::string text = list.ListText(oContext);
  oXmlOut.WriteStartElement(sElementName_, sElementNamespace_);
  // Read empty and still holding its default's items: empty again.
  if (!constraint_.Given() || !ValueConstraint::ReadEmpty(oGenClass, sPropertyName_) || !SameItems(text, constraint_)) {
    oXmlOut.WriteString(text);
  }
  oXmlOut.WriteEndElement();
  return true;
}

template <Group G, Cardinality C>
bool ElementInfoPrimitive<G, C>::Validate(const XmlSerializationContext&, Object&, bool bItemRead,
                                          bool bThrowIfInvalid) const {
  if constexpr (G == Group::All && C == Cardinality::Mnd) {
    if (!bItemRead && bThrowIfInvalid) {
      throw errors::PrimitiveInAllMissing(sElementName_);
    }
    return bItemRead;
  } else {
    return true;
  }
}

template <Group G, Cardinality C>
void ElementInfoPrimitive<G, C>::CheckRestriction(const Variant& val) const {
  Checks().CheckRestriction(sElementName_, val, eDataType_, primValues_);
  CheckUnion(sElementName_, val, members_);
}

template class ElementInfoPrimitive<Group::Seq, Cardinality::Mnd>;
template class ElementInfoPrimitive<Group::Seq, Cardinality::Opt>;
template class ElementInfoPrimitive<Group::All, Cardinality::Mnd>;
template class ElementInfoPrimitive<Group::All, Cardinality::Opt>;
template class ElementInfoPrimitive<Group::Choice, Cardinality::Opt>;

}  // namespace vexlo9::detail
