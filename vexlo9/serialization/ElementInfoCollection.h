#pragma once

#include <string>

#include "vexlo9/serialization/ElementInfoHelpers.h"

namespace vexlo9::detail {

// What a collection descriptor holds items of; untyped items are Elements in an ElementCol.
enum class ItemKind { Prim, Enum, Cls, AbsCls, Untpd };

// A repeated particle held by one collection-valued property. The collection
// knows its items, name and bounds and reads and writes its own run of
// elements; the descriptor decides when it reads, when its count is checked
// and what the serializer is told.
template <Group G, ItemKind K>
class ElementInfoCollection final : public ElementInfo {
 public:
  // eAttributeClassElementType matters to the class and abstract-class collections only.
  ElementInfoCollection(std::string sElementName, std::string sElementNamespace, std::string sPropertyName,
                        XmlElementType eAttributeClassElementType = XmlElementType::Element)
      : sElementName_(std::move(sElementName)),
        sElementNamespace_(std::move(sElementNamespace)),
        sPropertyName_(std::move(sPropertyName)),
        eAttributeClassElementType_(eAttributeClassElementType) {}

  std::string TypeName() const override;
  // The choice emptiness test reads "PropertyName" of the choice collections.
  Variant GetProperty(std::string_view name) override;

  bool ElementFromXml(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode oXmlElmParent,
                      XmlNode& oXmlElmChild, std::string_view sParentNamespace,
                      XmlElementType eParentClassElementType) const override;
  bool ElementToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                    XmlTextWriter& oXmlOut) const override;
  bool Validate(const XmlSerializationContext& oContext, Object& oGenClass, bool bItemRead,
                bool bThrowIfInvalid) const override;
  void PseudoChildAttributeToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                 XmlTextWriter& oXmlOut) const override;
  void CheckRestriction(const Variant& val) const override;

 private:
  std::string sElementName_;
  std::string sElementNamespace_;
  std::string sPropertyName_;
  XmlElementType eAttributeClassElementType_;
};

using ElementInfoSeqPrimCol = ElementInfoCollection<Group::Seq, ItemKind::Prim>;
using ElementInfoChoicePrimCol = ElementInfoCollection<Group::Choice, ItemKind::Prim>;
using ElementInfoAllPrimCol = ElementInfoCollection<Group::All, ItemKind::Prim>;
using ElementInfoSeqEnumCol = ElementInfoCollection<Group::Seq, ItemKind::Enum>;
using ElementInfoChoiceEnumCol = ElementInfoCollection<Group::Choice, ItemKind::Enum>;
using ElementInfoAllEnumCol = ElementInfoCollection<Group::All, ItemKind::Enum>;
using ElementInfoSeqClsCol = ElementInfoCollection<Group::Seq, ItemKind::Cls>;
using ElementInfoChoiceClsCol = ElementInfoCollection<Group::Choice, ItemKind::Cls>;
using ElementInfoAllClsCol = ElementInfoCollection<Group::All, ItemKind::Cls>;
using ElementInfoSeqAbsClsCol = ElementInfoCollection<Group::Seq, ItemKind::AbsCls>;
using ElementInfoChoiceAbsClsCol = ElementInfoCollection<Group::Choice, ItemKind::AbsCls>;
using ElementInfoAllAbsClsCol = ElementInfoCollection<Group::All, ItemKind::AbsCls>;
using ElementInfoSeqUntpdCol = ElementInfoCollection<Group::Seq, ItemKind::Untpd>;
using ElementInfoChoiceUntpdCol = ElementInfoCollection<Group::Choice, ItemKind::Untpd>;
using ElementInfoAllUntpdCol = ElementInfoCollection<Group::All, ItemKind::Untpd>;

}  // namespace vexlo9::detail
