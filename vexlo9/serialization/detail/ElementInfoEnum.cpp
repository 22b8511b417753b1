#include "vexlo9/serialization/detail/ElementInfoEnum.h"

#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9::detail {

bool WriteEnumElement(const XmlSerializationContext&, Object& oGenClass, XmlTextWriter& oXmlOut,
                      const MemberName& sPropertyName, std::string_view sElementName,
                      std::string_view sElementNamespace, std::string_view sEnumToStringFnName) {
  Variant args[] = {Variant(GetMember(oGenClass, sPropertyName).ToLong())};
  const std::string text = EnumConverterOf(oGenClass)->Invoke(sEnumToStringFnName, args).ToString();
  oXmlOut.WriteStartElement(sElementName, sElementNamespace);
  oXmlOut.WriteString(text);
  oXmlOut.WriteEndElement();
  return true;
}

bool WriteOptionalEnumElement(const XmlSerializationContext& oContext, Object& oGenClass, XmlTextWriter& oXmlOut,
                              const MemberName& sPropertyName, const MemberName& sPropertyIsValidName,
                              std::string_view sElementName, std::string_view sElementNamespace,
                              std::string_view sEnumToStringFnName) {
  if (!GetMemberFlag(oGenClass, sPropertyIsValidName)) return false;
  return WriteEnumElement(oContext, oGenClass, oXmlOut, sPropertyName, sElementName, sElementNamespace,
                          sEnumToStringFnName);
}

template <Group G, Cardinality C>
void ElementInfoEnum<G, C>::Read(Object& oGenClass, XmlNode& oXmlElmChild) const {
  const ObjectPtr converter = EnumConverterOf(oGenClass);
  // No whitespace rule: the converter sees the text as it stands.
  std::string joined;
  const std::string_view text = constraint_.TextOf(oGenClass, sPropertyName_, oXmlElmChild, joined);
  const int32_t value = ValueOf(*converter, text);
  if (constraint_.Fixed()) {
    CheckFixedValue(sElementName_, text, constraint_.Text(), value == ValueOf(*converter, constraint_.Text()));
  }
  LetMember(oGenClass, sPropertyName_, Variant(value));
  oXmlElmChild = NextSiblingElement(oXmlElmChild);
}

template <Group G, Cardinality C>
int32_t ElementInfoEnum<G, C>::ValueOf(Object& converter, std::string_view text) const {
  Variant args[] = {Variant(text)};
  return converter.Invoke(sEnumFromStringFnName_, args).ToLong();
}

template <Group G, Cardinality C>
bool ElementInfoEnum<G, C>::WriteEmpty(Object& oGenClass, XmlTextWriter& oXmlOut) const {
  if (!constraint_.Given() || !ValueConstraint::ReadEmpty(oGenClass, sPropertyName_)) return false;
  if constexpr (C != Cardinality::Mnd) {
    if (!GetMemberFlag(oGenClass, sPropertyIsValidName_)) return false;
  }
  if (GetMember(oGenClass, sPropertyName_).ToLong() != ValueOf(*EnumConverterOf(oGenClass), constraint_.Text())) {
    return false;
  }
  oXmlOut.WriteStartElement(sElementName_, sElementNamespace_);
  oXmlOut.WriteEndElement();
  return true;
}

template <Group G, Cardinality C>
bool ElementInfoEnum<G, C>::ElementFromXml(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode,
                                           XmlNode& oXmlElmChild, std::string_view,
                                           XmlElementType eParentClassElementType) const {
  if constexpr (G == Group::Seq && C == Cardinality::Mnd) {
    if (eParentClassElementType == XmlElementType::PseudoElement) {
      if (!DoesElementNameMatch(oContext, oXmlElmChild, sElementName_, sElementNamespace_)) return false;
      Read(oGenClass, oXmlElmChild);
      return true;
    }
    // Ignoring missing elements also means not skipping unknown ones to find it.
    const bool found = oContext.IgnoreMissingMandatoryElements()
                           ? DoesElementNameMatch(oContext, oXmlElmChild, sElementName_, sElementNamespace_)
                           : SkipToElement(oContext, oXmlElmChild, sElementName_, sElementNamespace_);
    if (found) {
      Read(oGenClass, oXmlElmChild);
      return true;
    }
    if (oContext.IgnoreMissingMandatoryElements()) return true;
    throw errors::EnumElementMissing(sElementName_);
  } else {
    if (DoesElementNameMatch(oContext, oXmlElmChild, sElementName_, sElementNamespace_)) {
      Read(oGenClass, oXmlElmChild);
      return true;
    }
    // An absent optional element of a sequence is no failure.
    return G == Group::Seq;
  }
}

template <Group G, Cardinality C>
bool ElementInfoEnum<G, C>::ElementToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                         XmlTextWriter& oXmlOut) const {
  if (WriteEmpty(oGenClass, oXmlOut)) return true;
  if constexpr (C == Cardinality::Mnd) {
    return WriteEnumElement(oContext, oGenClass, oXmlOut, sPropertyName_, sElementName_, sElementNamespace_,
                            sEnumToStringFnName_);
  } else {
    return WriteOptionalEnumElement(oContext, oGenClass, oXmlOut, sPropertyName_, sPropertyIsValidName_, sElementName_,
                                    sElementNamespace_, sEnumToStringFnName_);
  }
}

template <Group G, Cardinality C>
bool ElementInfoEnum<G, C>::Validate(const XmlSerializationContext&, Object&, bool bItemRead,
                                     bool bThrowIfInvalid) const {
  if constexpr (G == Group::All && C == Cardinality::Mnd) {
    if (!bItemRead && bThrowIfInvalid) {
      throw errors::EnumInAllMissing(sElementName_);
    }
    return bItemRead;
  } else {
    return true;
  }
}

template class ElementInfoEnum<Group::Seq, Cardinality::Mnd>;
template class ElementInfoEnum<Group::Seq, Cardinality::Opt>;
template class ElementInfoEnum<Group::All, Cardinality::Mnd>;
template class ElementInfoEnum<Group::All, Cardinality::Opt>;
template class ElementInfoEnum<Group::Choice, Cardinality::Opt>;

}  // namespace vexlo9::detail
