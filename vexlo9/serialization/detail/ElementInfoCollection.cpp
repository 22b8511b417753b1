#include "vexlo9/serialization/detail/ElementInfoCollection.h"

#include "vexlo9/collections/Element.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/model/XmlCollectionBase.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/serialization/detail/ElementInfoUntyped.h"

namespace vexlo9::detail {
namespace {

const MemberName& CountProperty() {
  static const MemberName name("Count");
  return name;
}

// The collection a property holds; the generated class creates it beforehand.
std::shared_ptr<XmlObjectBase> CollectionIn(Object& oGenClass, const MemberName& property) {
  auto collection = GetMember(oGenClass, property).ToObjectOf<XmlObjectBase>();
  if (!collection) throw errors::ObjectNotSet(errors::kLibrarySource);
  return collection;
}

XmlCollectionBase& AsCollection(XmlObjectBase& collection) {
  XmlCollectionBase* typed = collection.AsXmlCollectionBase();
  if (!typed) throw errors::TypeMismatch(errors::kLibrarySource);
  return *typed;
}

void CheckCount(const XmlSerializationContext& oContext, XmlObjectBase& collection) {
  if (!oContext.IgnoreInvalidCollectionCounts()) AsCollection(collection).ValidateCount(oContext);
}

bool BelowMinimum(XmlObjectBase& collection) {
  return GetMember(collection, CountProperty()).ToLong() < AsCollection(collection).MinOccurs();
}

}  // namespace

template <Group G, ValueKind K>
bool ElementInfoCollection<G, K>::ElementFromXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                                 XmlNode oXmlElmParent, XmlNode& oXmlElmChild, std::string_view,
                                                 XmlElementType eParentClassElementType) const {
  const auto collection = CollectionIn(oGenClass, sPropertyName_);
  const XmlNode before = oXmlElmChild;
  // Untyped items of a fixed name are read as a run of that name, outside all groups.
  if (K == ValueKind::Untpd && G != Group::All && sElementName_ != kAnyElementName) {
    auto* elements = dynamic_cast<ElementCol*>(collection.get());
    if (!elements) throw errors::TypeMismatch(errors::kLibrarySource);
    oXmlElmChild = ReadElementsByName(*elements, sElementName_, oXmlElmChild ? oXmlElmChild.namespaceURI() : "",
                                      oXmlElmParent, oXmlElmChild, oContext);
  } else {
    const GivenConstraint items(constraint_, GivenConstraint::To::Items);
    oXmlElmChild = collection->FromXmlInt(oXmlElmParent, oXmlElmChild, oContext, false);
  }
  if constexpr (G == Group::Seq) {
    // Inside a model group, a run that must occur and does not means the group is not there (a choice may have
    // taken its other branch): the group's reader decides, as for any mandatory particle it does not find.
    if (oXmlElmChild == before && eParentClassElementType == XmlElementType::PseudoElement &&
        !oContext.IgnoreInvalidCollectionCounts() && BelowMinimum(*collection)) {
      return false;
    }
    // Also when nothing was read: the count check is what rejects a run shorter than minOccurs.
    CheckCount(oContext, *collection);
    return true;
  } else if constexpr (G == Group::Choice) {
    if (oXmlElmChild == before) return false;  // not the chosen branch
    CheckCount(oContext, *collection);
    return true;
  } else {
    return false;  // judged once, by Validate, after all children were read
  }
}

template <Group G, ValueKind K>
bool ElementInfoCollection<G, K>::ElementToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                               XmlTextWriter& oXmlOut) const {
  const auto collection = CollectionIn(oGenClass, sPropertyName_);
  // Class collections of sequences and all groups must not write a run that breaks their bounds.
  if constexpr (K == ValueKind::Cls && G != Group::Choice) CheckCount(oContext, *collection);
  if (GetMember(*collection, CountProperty()).ToLong() <= 0) return false;
  const GivenConstraint items(constraint_, GivenConstraint::To::Items);
  collection->ToXmlInt(oXmlOut, false, sElementNamespace_, oContext, false);
  return true;
}

template <Group G, ValueKind K>
bool ElementInfoCollection<G, K>::Validate(const XmlSerializationContext& oContext, Object& oGenClass, bool,
                                           bool bThrowIfInvalid) const {
  if constexpr (G == Group::All) {
    const auto collection = CollectionIn(oGenClass, sPropertyName_);
    if (oContext.IgnoreInvalidCollectionCounts()) return true;
    if (bThrowIfInvalid) {
      AsCollection(*collection).ValidateCount(oContext);
      return true;
    }
    try {
      AsCollection(*collection).ValidateCount(oContext);
    } catch (const Error&) {
      return false;
    }
    return true;
  } else {
    return true;
  }
}

template <Group G, ValueKind K>
void ElementInfoCollection<G, K>::PseudoChildAttributeToXml(const XmlSerializationContext& oContext,
                                                            Object& oGenClass, XmlTextWriter& oXmlOut) const {
  if constexpr (K == ValueKind::Cls || K == ValueKind::AbsCls) {
    if (eAttributeClassElementType_ != XmlElementType::PseudoElement) return;
    CollectionIn(oGenClass, sPropertyName_)->AttributesToXmlInt(oXmlOut, oContext);
  }
}

template class ElementInfoCollection<Group::Seq, ValueKind::Prim>;
template class ElementInfoCollection<Group::Choice, ValueKind::Prim>;
template class ElementInfoCollection<Group::All, ValueKind::Prim>;
template class ElementInfoCollection<Group::Seq, ValueKind::Enum>;
template class ElementInfoCollection<Group::Choice, ValueKind::Enum>;
template class ElementInfoCollection<Group::All, ValueKind::Enum>;
template class ElementInfoCollection<Group::Seq, ValueKind::Cls>;
template class ElementInfoCollection<Group::Choice, ValueKind::Cls>;
template class ElementInfoCollection<Group::All, ValueKind::Cls>;
template class ElementInfoCollection<Group::Seq, ValueKind::AbsCls>;
template class ElementInfoCollection<Group::Choice, ValueKind::AbsCls>;
template class ElementInfoCollection<Group::All, ValueKind::AbsCls>;
template class ElementInfoCollection<Group::Seq, ValueKind::Untpd>;
template class ElementInfoCollection<Group::Choice, ValueKind::Untpd>;
template class ElementInfoCollection<Group::All, ValueKind::Untpd>;

}  // namespace vexlo9::detail
