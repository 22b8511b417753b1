#include "vexlo9/collections/Element.h"

#include <vector>

#include "vexlo9/collections/detail/ReadRules.h"
#include "vexlo9/model/detail/PerThread.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/output/detail/NamespaceRestriction.h"
#include "vexlo9/output/detail/WritingObject.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9 {
namespace {

[[noreturn]] void NotMeaningfulForElementCol(std::string source, std::string_view member) {
  throw errors::NotMeaningfulForElementCol(std::move(source), member);
}

}  // namespace

namespace detail {

std::shared_ptr<Element> NewElement(std::string_view ElementName, std::string_view elementNamespace,
                                    std::string_view namespaceRestriction, std::string_view TargetNamespace) {
  std::shared_ptr<Element> element(new Element());
  element->name_ = ElementName;
  element->namespace_ = elementNamespace;
  element->namespaceRestriction_ = namespaceRestriction;
  element->targetNamespace_ = TargetNamespace;
  // Children and attributes accept any namespace and default to the element's own.
  element->attributes_ = NewAttributeCol(elementNamespace, "##any", TargetNamespace);
  element->elements_ = NewElementCol(elementNamespace, "##any", TargetNamespace, 0, -1);
  return element;
}

std::shared_ptr<ElementCol> NewElementCol(std::string_view elementNamespace, std::string_view namespaceRestriction,
                                          std::string_view TargetNamespace, int32_t iMinOccurs, int32_t iMaxOccurs) {
  std::shared_ptr<ElementCol> collection(new ElementCol());
  collection->defaultNamespace_ = HolderDefaultNamespace(elementNamespace, namespaceRestriction, TargetNamespace);
  collection->namespaceRestriction_ = namespaceRestriction;
  collection->targetNamespace_ = TargetNamespace;
  collection->minOccurs_ = iMinOccurs;
  collection->maxOccurs_ = iMaxOccurs;
  return collection;
}

}  // namespace detail

// ---- Element

// Releasing a deep tree would take stack frames in proportion to its depth; unlinking each level's children
// from their parents before they go keeps it flat.
Element::~Element() {
  std::vector<std::shared_ptr<ElementCol>> pending;
  if (elements_.use_count() == 1) pending.push_back(std::move(elements_));
  while (!pending.empty()) {
    const std::shared_ptr<ElementCol> level = std::move(pending.back());
    pending.pop_back();
    for (const auto& child : *level) {
      if (child.use_count() == 1 && child->elements_.use_count() == 1) pending.push_back(std::move(child->elements_));
    }
  }
}

const MemberTable<Element>& Element::Members() {
  static const auto table =
      MemberTable<Element>::Builder()
          .Property("Elements", &Element::Elements, &Element::Elements)
          .Property("Attributes", &Element::Attributes, &Element::Attributes)
          .Property("ElementValue", &Element::ElementValue, &Element::ElementValue)
          .Property("ElementName", &Element::ElementName, &Element::ElementName)
          .Property("Namespace", &Element::Namespace, &Element::Namespace)
          .ReadOnly("TargetNamespace", &Element::TargetNamespace)
          .Custom("FromXml", {}, {}, {},
                  [](Element& self, std::span<Variant> args) {
                    if (args.size() == 1) {
                      self.FromXml(args[0].ToString());
                    } else if (args.size() == 2) {
                      // The context is optional and by reference: an empty one comes back filled.
                      XmlSerializationContextPtr context;
                      if (!args[1].IsEmpty()) context = args[1].ToObjectOf<XmlSerializationContext>();
                      self.FromXml(args[0].ToString(), context);
                      args[1] = Variant(context);
                    } else {
                      throw errors::WrongArgumentCount(self.TypeName(), "FromXml");
                    }
                    return Variant();
                  })
          .Build();
  return table;
}

void Element::Elements(std::shared_ptr<ElementCol> value) {
  if (!value) throw errors::ObjectNotSet("Element.Elements");
  elements_ = std::move(value);
}

void Element::Attributes(std::shared_ptr<AttributeCol> value) {
  if (!value) throw errors::ObjectNotSet("Element.Attributes");
  attributes_ = std::move(value);
}

void Element::FromXml(std::string_view xmlIn) {
  XmlSerializationContextPtr context;
  FromXml(xmlIn, context);
}

void Element::FromXml(std::string_view xmlIn, XmlSerializationContextPtr& oContext) {
  if (!oContext) oContext = detail::PerThread<XmlSerializationContext>();
  const XmlSerializationContext& context = *oContext;
  errors::ErrorsOnly("FromXml", [&] {
    const XmlDocument document = detail::LoadDocument(xmlIn, detail::LimitsOf(context));
    const XmlNode root = document.documentElement();
    FromXmlInt(root, root, context, false);
  });
}

bool Element::IsSuitableSubstitution(std::string_view) const { return true; }

void Element::AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) {
  attributes_->AttributesToXmlInt(oXmlOut, oContext);
}

XmlNode Element::FromXmlInt(XmlNode, XmlNode oXmlElmChild, const XmlSerializationContext& oContext, bool) {
  if (!oXmlElmChild) return oXmlElmChild;
  if (!detail::IsNamespaceValid(oXmlElmChild.namespaceURI(), namespaceRestriction_, targetNamespace_)) {
    return oXmlElmChild;
  }
  try {
    attributes_->FromXmlInt(oXmlElmChild, XmlNode(), oContext, false);
  } catch (Error& e) {
    e.Locate(oXmlElmChild.line());
    throw;
  }
  const int32_t before = elements_->Count();
  const XmlNode left = elements_->FromXmlInt(oXmlElmChild, detail::FirstChildElement(oXmlElmChild), oContext, false);
  if (left) {
    Error error = errors::UnexpectedChildElement(left.baseName(), name_);
    error.Locate(left.line());
    throw error;
  }
  value_.Read(oXmlElmChild, before);
  name_.assign(oXmlElmChild.baseName());
  namespace_.assign(oXmlElmChild.namespaceURI());
  return detail::NextSiblingElement(oXmlElmChild);
}

void Element::ToXmlInt(XmlTextWriter& oXmlOut, bool, std::string_view NamespaceURI,
                       const XmlSerializationContext& oContext, bool isOptionalChoice) {
  const detail::WritingObject writing(oXmlOut, *this);
  if (namespace_.empty()) {
    detail::WriteStartElementInNoNamespace(oXmlOut, name_);
  } else {
    oXmlOut.WriteStartElement(name_, namespace_);
  }
  attributes_->AttributesToXmlInt(oXmlOut, oContext);
  detail::WriteMixedText(oXmlOut, value_);
  elements_->ToXmlInt(oXmlOut, false, NamespaceURI, oContext, isOptionalChoice);
  oXmlOut.WriteEndElement();
}

// ---- ElementCol

const MemberTable<ElementCol>& ElementCol::Members() {
  static const auto table = MemberTable<ElementCol>::Builder()
                                .ReadOnly("Count", &ElementCol::Count)
                                .Method("Item", &ElementCol::Item)
                                .ReadOnly("TargetNamespace", &ElementCol::TargetNamespace)
                                .Build();
  return table;
}

void ElementCol::Remove(int32_t index) {
  items_.Remove(index, "ElementCol");
  RaiseOnCollectionChange();
}

// One removal, and one event, at a time, as from the front; in linear time.
void ElementCol::Clear() {
  while (Count() >= 1) {
    items_.RemoveFirst();
    RaiseOnCollectionChange();
  }
}

ElementCol::Item_t ElementCol::AddNew(std::string_view ElementName, std::optional<std::string> elementNamespace) {
  const std::string& ns = elementNamespace ? *elementNamespace : defaultNamespace_;
  detail::TestNamespace(ns, namespaceRestriction_, targetNamespace_);
  Item_t element = detail::NewElement(ElementName, ns, namespaceRestriction_, targetNamespace_);
  items_.Add(element);
  RaiseOnCollectionChange();
  return element;
}

void ElementCol::Add(const Item_t& elm, std::optional<int32_t> Before, std::optional<int32_t> After) {
  if (!elm) throw errors::ObjectNotSet("ElementCol.Add");
  detail::TestNamespace(elm->Namespace(), namespaceRestriction_, targetNamespace_);
  items_.Insert(elm, Before, After, "ElementCol");
  RaiseOnCollectionChange();
}

bool ElementCol::IsSuitableSubstitution(std::string_view) const {
  NotMeaningfulForElementCol("IsSuitableSubstitution", "IsSuitableSubstitution");
}

std::string_view ElementCol::ElementName() const { NotMeaningfulForElementCol("elementName", "elementName"); }

void ElementCol::PrivateSetElementName(std::string_view) {
  NotMeaningfulForElementCol("PrivateSetElementName", "PrivateSetElementName");
}

void ElementCol::ValidateCount(const XmlSerializationContext& oContext) {
  detail::CheckCount(oContext, Count(), minOccurs_, maxOccurs_, "[Elements]");
}

void ElementCol::AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) {
  ValidateCount(oContext);
  for (const Item_t& element : items_) element->AttributesToXmlInt(oXmlOut, oContext);
}

void ElementCol::ToXmlInt(XmlTextWriter& oXmlOut, bool, std::string_view NamespaceURI,
                          const XmlSerializationContext& oContext, bool isOptionalChoice) {
  ValidateCount(oContext);
  for (const Item_t& element : items_) element->ToXmlInt(oXmlOut, false, NamespaceURI, oContext, isOptionalChoice);
}

template <class StopsAt>
XmlNode ElementCol::ReadRun(XmlNode oXmlElmParent, XmlNode cursor, const XmlSerializationContext& oContext,
                            StopsAt stopsAt) {
  while (cursor && !stopsAt(cursor)) {
    const Item_t element =
        detail::NewElement(cursor.baseName(), cursor.namespaceURI(), namespaceRestriction_, targetNamespace_);
    const XmlNode next = element->FromXmlInt(oXmlElmParent, cursor, oContext, false);
    if (next == cursor) break;
    Add(element);
    cursor = next;
  }
  return cursor;
}

XmlNode ElementCol::FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext,
                               bool) {
  return ReadRun(oXmlElmParent, oXmlElmChild, oContext, [this](XmlNode cursor) {
    return !detail::IsNamespaceValid(cursor.namespaceURI(), namespaceRestriction_, targetNamespace_);
  });
}

namespace detail {

XmlNode ReadElementsByName(ElementCol& collection, std::string_view localName, std::string_view,
                           XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext) {
  // The namespace is left to each new element, which refuses a forbidden one by consuming nothing.
  return collection.ReadRun(oXmlElmParent, oXmlElmChild, oContext,
                            [localName](XmlNode cursor) { return cursor.baseName() != localName; });
}

}  // namespace detail
}  // namespace vexlo9
