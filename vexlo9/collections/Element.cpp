#include "vexlo9/collections/Element.h"

#include "vexlo9/model/Global.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"

namespace vexlo9 {
namespace {

const XmlObjectBaseHelperCls& Helper() { return *Global::XmlObjectBaseHelper(); }

[[noreturn]] void NotMeaningfulForElementCol(std::string source, std::string_view member) {
  throw Error(104, std::move(source),
              "ElementCol does not contain elements of the same type, so the " + std::string(member) +
                  " property is not meaningful");
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
  Helper().TestNamespace(elementNamespace, namespaceRestriction, TargetNamespace);
  std::shared_ptr<ElementCol> collection(new ElementCol());
  // A restriction naming one URI makes that URI the default for additions without a namespace.
  if (elementNamespace.empty() && namespaceRestriction.size() >= 2 && !namespaceRestriction.starts_with("##")) {
    collection->defaultNamespace_ = namespaceRestriction;
  } else {
    collection->defaultNamespace_ = elementNamespace;
  }
  collection->namespaceRestriction_ = namespaceRestriction;
  collection->targetNamespace_ = TargetNamespace;
  collection->minOccurs_ = iMinOccurs;
  collection->maxOccurs_ = iMaxOccurs;
  return collection;
}

}  // namespace detail

// ---- Element

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
                      throw Error::WrongArgumentCount(self.TypeName(), "FromXml");
                    }
                    return Variant();
                  })
          .Build();
  return table;
}

void Element::Elements(std::shared_ptr<ElementCol> value) {
  if (!value) throw Error::ObjectNotSet("Element.Elements");
  elements_ = std::move(value);
}

void Element::Attributes(std::shared_ptr<AttributeCol> value) {
  if (!value) throw Error::ObjectNotSet("Element.Attributes");
  attributes_ = std::move(value);
}

void Element::FromXml(std::string_view xmlIn) {
  XmlSerializationContextPtr context;
  FromXml(xmlIn, context);
}

void Element::FromXml(std::string_view xmlIn, XmlSerializationContextPtr& oContext) {
  if (!oContext) oContext = Global::DefaultXmlSerializationContext();
  XmlDocument document;
  document.validateOnParse(false);
  document.preserveWhiteSpace(true);
  if (!document.loadXML(xmlIn)) {
    throw Error(103, "XmlObjectBase", std::string("Failed to parse XML") + kCrLf + document.parseError().reason());
  }
  const XmlNode root = document.documentElement();
  FromXmlInt(root, root, *oContext, false);
}

bool Element::IsSuitableSubstitution(std::string_view) const { return true; }

void Element::AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) {
  attributes_->AttributesToXmlInt(oXmlOut, oContext);
}

XmlNode Element::FromXmlInt(XmlNode, XmlNode oXmlElmChild, const XmlSerializationContext& oContext, bool) {
  if (!oXmlElmChild) return oXmlElmChild;
  const XmlObjectBaseHelperCls& helper = Helper();
  if (!helper.IsNamespaceValid(oXmlElmChild.namespaceURI(), namespaceRestriction_, targetNamespace_)) {
    return oXmlElmChild;
  }
  attributes_->FromXmlInt(oXmlElmChild, XmlNode(), oContext, false);
  const XmlNode first = helper.FindFirstSliblingElement(oXmlElmChild.firstChild());
  const XmlNode left = elements_->FromXmlInt(oXmlElmChild, first, oContext, false);
  if (left) {
    throw Error(105, "Element.FromXmlInt",
                "Invalid Element [" + std::string(left.baseName()) + "] found in element [" + name_ + "]");
  }
  value_ = helper.GetElementText(oXmlElmChild);
  name_.assign(oXmlElmChild.baseName());
  namespace_.assign(oXmlElmChild.namespaceURI());
  return helper.MoveNextSiblingElement(oXmlElmChild);
}

void Element::ToXmlInt(XmlTextWriter& oXmlOut, bool, std::string_view NamespaceURI,
                       const XmlSerializationContext& oContext, bool isOptionalChoice) {
  oXmlOut.WriteStartElement(name_, namespace_);
  attributes_->AttributesToXmlInt(oXmlOut, oContext);
  // The text always follows the children: mixed content is not kept in order.
  elements_->ToXmlInt(oXmlOut, false, NamespaceURI, oContext, isOptionalChoice);
  oXmlOut.WriteString(value_);
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

const ElementCol::Item_t& ElementCol::Item(int32_t index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index - 1)];
}

void ElementCol::Remove(int32_t index) {
  CheckIndex(index);
  items_.erase(items_.begin() + (index - 1));
  RaiseOnCollectionChange();
}

void ElementCol::Clear() {
  while (Count() >= 1) Remove(1);
}

void ElementCol::CheckIndex(int32_t index) const {
  if (index < 1 || index > Count()) throw Error::SubscriptOutOfRange("ElementCol");
}

ElementCol::Item_t ElementCol::AddNew(std::string_view ElementName, std::optional<std::string> elementNamespace) {
  const std::string& ns = elementNamespace ? *elementNamespace : defaultNamespace_;
  Helper().TestNamespace(ns, namespaceRestriction_, targetNamespace_);
  Item_t element = detail::NewElement(ElementName, ns, namespaceRestriction_, targetNamespace_);
  items_.push_back(element);
  RaiseOnCollectionChange();
  return element;
}

void ElementCol::Add(const Item_t& elm, std::optional<int32_t> Before, std::optional<int32_t> After) {
  if (!elm) throw Error::ObjectNotSet("ElementCol.Add");
  Helper().TestNamespace(elm->Namespace(), namespaceRestriction_, targetNamespace_);
  if (Before) {
    CheckIndex(*Before);
    items_.insert(items_.begin() + (*Before - 1), elm);
  } else if (After) {
    CheckIndex(*After);
    items_.insert(items_.begin() + *After, elm);
  } else {
    items_.push_back(elm);
  }
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
  Helper().ValidateCountHelper(oContext, *this, minOccurs_, maxOccurs_, "[Elements]");
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
    return !Helper().IsNamespaceValid(cursor.namespaceURI(), namespaceRestriction_, targetNamespace_);
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
