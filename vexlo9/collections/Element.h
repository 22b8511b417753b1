#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vexlo9/collections/AttributeCol.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/model/IndexedList.h"
#include "vexlo9/model/MemberTable.h"
#include "vexlo9/model/MixedText.h"
#include "vexlo9/model/XmlCollectionBase.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

class Element;
class ElementCol;

namespace detail {
// The internal initialisers: the factory, the untyped descriptors and the holders themselves create
// elements and element collections through them.
std::shared_ptr<Element> NewElement(std::string_view ElementName, std::string_view elementNamespace,
                                    std::string_view namespaceRestriction, std::string_view TargetNamespace);
// Raises 106 when the restriction forbids the namespace given (none given is not tested).
std::shared_ptr<ElementCol> NewElementCol(std::string_view elementNamespace, std::string_view namespaceRestriction,
                                          std::string_view TargetNamespace, int32_t iMinOccurs, int32_t iMaxOccurs);
// Reads consecutive siblings of one local name from the cursor on into new items of the collection; the
// namespace URI is not consulted. Returns the first sibling not taken, or nothing.
XmlNode ReadElementsByName(ElementCol& collection, std::string_view localName, std::string_view namespaceURI,
                           XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext);
}  // namespace detail

// One element that no generated class describes (wildcard content), with its
// attributes, child elements and text. It keeps namespace URIs, never
// prefixes: the writer chooses prefixes afresh.
class VEXLO9_API Element : public XmlObjectBase {
 public:
  VEXLO9_BY_NAME(Element);
  ~Element() override;

  const std::shared_ptr<ElementCol>& Elements() const noexcept { return elements_; }
  // Raises 91 for nothing: an element always has its collections.
  void Elements(std::shared_ptr<ElementCol> value);
  const std::shared_ptr<AttributeCol>& Attributes() const noexcept { return attributes_; }
  void Attributes(std::shared_ptr<AttributeCol> value);
  // All of the element's text; set afresh, it is written after the child elements.
  const std::string& ElementValue() const noexcept { return value_.Text(); }
  void ElementValue(const std::string& value) { value_.Text(value); }
  // The text run by run, each where it stood among the child elements when read.
  const MixedText& OrderedText() const noexcept { return value_; }
  std::string_view ElementName() const override { return name_; }
  void ElementName(const std::string& value) { name_ = value; }
  const std::string& Namespace() const noexcept { return namespace_; }
  void Namespace(const std::string& value) { namespace_ = value; }

  // Parses xmlIn and reads its document element into this element, adding to what it holds.
  // Without a context the thread's default one is used; an empty oContext receives it.
  void FromXml(std::string_view xmlIn);
  void FromXml(std::string_view xmlIn, XmlSerializationContextPtr& oContext);

  bool IsSuitableSubstitution(std::string_view InterfaceName) const override;
  std::string_view TargetNamespace() const override { return targetNamespace_; }
  void PrivateSetElementName(std::string_view vNewValue) override { name_.assign(vNewValue); }
  void AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) override;
  // Reads oXmlElmChild itself (not its parent's children) and returns its next sibling element;
  // a namespace the restriction forbids consumes nothing and returns oXmlElmChild.
  XmlNode FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext,
                     bool isOptionalChoice) override;
  void ToXmlInt(XmlTextWriter& oXmlOut, bool bRootElement, std::string_view NamespaceURI,
                const XmlSerializationContext& oContext, bool isOptionalChoice) override;

 private:
  friend std::shared_ptr<Element> detail::NewElement(std::string_view, std::string_view, std::string_view,
                                                     std::string_view);
  Element() = default;

  std::string namespace_;
  std::string name_;
  MixedText value_;
  std::shared_ptr<AttributeCol> attributes_;
  std::shared_ptr<ElementCol> elements_;
  std::string namespaceRestriction_;
  std::string targetNamespace_;
};

// An ordered collection of untyped elements, indexed from 1, checked against a
// namespace restriction and, when written or validated, against its bounds.
class VEXLO9_API ElementCol : public XmlObjectBase, public XmlCollectionBase {
 public:
  VEXLO9_BY_NAME(ElementCol);

  using Item_t = std::shared_ptr<Element>;

  const Item_t& Item(int32_t index) const { return items_.Item(index, "ElementCol"); }
  int32_t Count() const noexcept { return items_.Count(); }
  void Remove(int32_t index);
  void Clear();
  auto begin() const noexcept { return items_.begin(); }
  auto end() const noexcept { return items_.end(); }
  // Creates, appends and returns an element; without a namespace the collection's default one is used.
  Item_t AddNew(std::string_view ElementName, std::optional<std::string> elementNamespace = std::nullopt);
  // Inserts at the end, or before / after the item at a position.
  void Add(const Item_t& elm, std::optional<int32_t> Before = std::nullopt,
           std::optional<int32_t> After = std::nullopt);

  bool IsSuitableSubstitution(std::string_view InterfaceName) const override;
  std::string_view ElementName() const override;
  std::string_view TargetNamespace() const override { return targetNamespace_; }
  void PrivateSetElementName(std::string_view vNewValue) override;
  void AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) override;
  // Reads consecutive siblings from oXmlElmChild on while the restriction allows their namespace.
  XmlNode FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext,
                     bool isOptionalChoice) override;
  void ToXmlInt(XmlTextWriter& oXmlOut, bool bRootElement, std::string_view NamespaceURI,
                const XmlSerializationContext& oContext, bool isOptionalChoice) override;
  void ValidateCount(const XmlSerializationContext& oContext) override;
  int32_t MinOccurs() const override { return minOccurs_; }

 private:
  friend std::shared_ptr<ElementCol> detail::NewElementCol(std::string_view, std::string_view, std::string_view,
                                                           int32_t, int32_t);
  friend XmlNode detail::ReadElementsByName(ElementCol&, std::string_view, std::string_view, XmlNode, XmlNode,
                                            const XmlSerializationContext&);
  ElementCol() = default;
  // The shared loop of both run readers; stopsAt says whether the cursor ends the run before it is read.
  template <class StopsAt>
  XmlNode ReadRun(XmlNode oXmlElmParent, XmlNode cursor, const XmlSerializationContext& oContext, StopsAt stopsAt);

  std::string defaultNamespace_;
  std::string namespaceRestriction_;
  std::string targetNamespace_;
  int32_t minOccurs_ = 0;
  int32_t maxOccurs_ = -1;
  IndexedList<Item_t> items_;
};

}  // namespace vexlo9
