#include "vexlo9/serialization/ElementInfoCollection.h"

#include "vexlo9/collections/Element.h"
#include "vexlo9/model/XmlCollectionBase.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/model/XmlSerializationContext.h"
#include "vexlo9/serialization/ElementInfoUntyped.h"

namespace vexlo9::detail {
namespace {

constexpr std::string_view KindName(ItemKind kind) {
  switch (kind) {
    case ItemKind::Prim: return "Prim";
    case ItemKind::Enum: return "Enum";
    case ItemKind::Cls: return "Cls";
    case ItemKind::AbsCls: return "AbsCls";
    case ItemKind::Untpd: return "Untpd";
  }
  return {};
}

// The collection a property holds; the generated class creates it beforehand.
std::shared_ptr<XmlObjectBase> CollectionIn(Object& oGenClass, const std::string& property) {
  auto collection = oGenClass.GetProperty(property).ToObjectOf<XmlObjectBase>();
  if (!collection) throw Error::ObjectNotSet(kLibrarySource);
  return collection;
}

XmlCollectionBase& AsCollection(XmlObjectBase& collection) {
  auto* typed = dynamic_cast<XmlCollectionBase*>(&collection);
  if (!typed) throw Error::TypeMismatch(kLibrarySource);
  return *typed;
}

void CheckCount(const XmlSerializationContext& oContext, XmlObjectBase& collection) {
  if (!oContext.IgnoreInvalidCollectionCounts()) AsCollection(collection).ValidateCount(oContext);
}

}  // namespace

template <Group G, ItemKind K>
std::string ElementInfoCollection<G, K>::TypeName() const {
  return DescriptorName(G, KindName(K), Cardinality::Col);
}

template <Group G, ItemKind K>
Variant ElementInfoCollection<G, K>::GetProperty(std::string_view name) {
  if (G == Group::Choice && name == "PropertyName") return Variant(sPropertyName_);
  return Object::GetProperty(name);
}

template <Group G, ItemKind K>
bool ElementInfoCollection<G, K>::ElementFromXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                                 XmlNode oXmlElmParent, XmlNode& oXmlElmChild, std::string_view,
                                                 XmlElementType) const {
  const auto collection = CollectionIn(oGenClass, sPropertyName_);
  const XmlNode before = oXmlElmChild;
  // Untyped items of a fixed name are read as a run of that name, outside all groups.
  if (K == ItemKind::Untpd && G != Group::All && sElementName_ != kAnyElementName) {
    auto* elements = dynamic_cast<ElementCol*>(collection.get());
    if (!elements) throw Error::TypeMismatch(kLibrarySource);
    oXmlElmChild = ReadElementsByName(*elements, sElementName_, oXmlElmChild ? oXmlElmChild.namespaceURI() : "",
                                      oXmlElmParent, oXmlElmChild, oContext);
  } else {
    oXmlElmChild = collection->FromXmlInt(oXmlElmParent, oXmlElmChild, oContext, false);
  }
  if constexpr (G == Group::Seq) {
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

template <Group G, ItemKind K>
bool ElementInfoCollection<G, K>::ElementToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                               XmlTextWriter& oXmlOut) const {
  const auto collection = CollectionIn(oGenClass, sPropertyName_);
  // Class collections of sequences and all groups must not write a run that breaks their bounds.
  if constexpr (K == ItemKind::Cls && G != Group::Choice) CheckCount(oContext, *collection);
  if (collection->GetProperty("Count").ToLong() <= 0) return false;
  collection->ToXmlInt(oXmlOut, false, sElementNamespace_, oContext, false);
  return true;
}

template <Group G, ItemKind K>
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

template <Group G, ItemKind K>
void ElementInfoCollection<G, K>::PseudoChildAttributeToXml(const XmlSerializationContext& oContext,
                                                            Object& oGenClass, XmlTextWriter& oXmlOut) const {
  if constexpr (K == ItemKind::Cls || K == ItemKind::AbsCls) {
    if (eAttributeClassElementType_ != XmlElementType::PseudoElement) return;
    CollectionIn(oGenClass, sPropertyName_)->AttributesToXmlInt(oXmlOut, oContext);
  }
}

template <Group G, ItemKind K>
void ElementInfoCollection<G, K>::CheckRestriction(const Variant&) const {
  throw Error(110, TypeName() + ".CheckRestriction", "Program Logic Error, Sub should never be called");
}

template class ElementInfoCollection<Group::Seq, ItemKind::Prim>;
template class ElementInfoCollection<Group::Choice, ItemKind::Prim>;
template class ElementInfoCollection<Group::All, ItemKind::Prim>;
template class ElementInfoCollection<Group::Seq, ItemKind::Enum>;
template class ElementInfoCollection<Group::Choice, ItemKind::Enum>;
template class ElementInfoCollection<Group::All, ItemKind::Enum>;
template class ElementInfoCollection<Group::Seq, ItemKind::Cls>;
template class ElementInfoCollection<Group::Choice, ItemKind::Cls>;
template class ElementInfoCollection<Group::All, ItemKind::Cls>;
template class ElementInfoCollection<Group::Seq, ItemKind::AbsCls>;
template class ElementInfoCollection<Group::Choice, ItemKind::AbsCls>;
template class ElementInfoCollection<Group::All, ItemKind::AbsCls>;
template class ElementInfoCollection<Group::Seq, ItemKind::Untpd>;
template class ElementInfoCollection<Group::Choice, ItemKind::Untpd>;
template class ElementInfoCollection<Group::All, ItemKind::Untpd>;

}  // namespace vexlo9::detail
