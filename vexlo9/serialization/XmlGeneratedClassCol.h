#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vexlo9/model/Global.h"
#include "vexlo9/model/XmlCollectionBase.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/model/XmlSerializationContext.h"
#include "vexlo9/serialization/XmlGeneratedClassHelperCls.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"

namespace vexlo9 {

// A collection of generated objects for a repeated class particle, written
// once for every item class. It reads the run of matching elements at the
// cursor, writes one element per item, checks its count against its bounds
// and answers "Count" by name. Items that are model groups (pseudo-elements)
// are read while they consume elements.
template <class T>
class XmlGeneratedClassCol : public XmlObjectBase, public XmlCollectionBase {
 public:
  using Item_t = std::shared_ptr<T>;
  // Makes the item for the element at the cursor (nothing: no suitable class); by default a new T.
  using Creator = std::function<Item_t(XmlNode element)>;

  // maxOccurs -1: unbounded.
  XmlGeneratedClassCol(std::string elementName, std::string elementNamespace, int32_t minOccurs, int32_t maxOccurs,
                       XmlElementType itemKind = XmlElementType::Element, Creator creator = {})
      : elementName_(std::move(elementName)),
        elementNamespace_(std::move(elementNamespace)),
        minOccurs_(minOccurs),
        maxOccurs_(maxOccurs),
        itemKind_(itemKind),
        creator_(std::move(creator)) {}

  std::string TypeName() const override { return elementName_ + "Col"; }
  Variant GetProperty(std::string_view name) override {
    if (name == "Count") return Variant(Count());
    return Object::GetProperty(name);
  }

  // A new item under the collection's element name, appended.
  Item_t AddNew() {
    auto item = std::make_shared<T>(elementName_);
    Add(item);
    return item;
  }
  void Add(Item_t item) {
    if (!item) throw Error::ObjectNotSet(TypeName());
    items_.push_back(std::move(item));
    RaiseOnCollectionChange();
  }
  const Item_t& Item(int32_t index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index - 1)];
  }
  int32_t Count() const noexcept { return static_cast<int32_t>(items_.size()); }
  void Remove(int32_t index) {
    CheckIndex(index);
    items_.erase(items_.begin() + (index - 1));
    RaiseOnCollectionChange();
  }
  void Clear() {
    if (items_.empty()) return;
    items_.clear();
    RaiseOnCollectionChange();
  }
  auto begin() const noexcept { return items_.begin(); }
  auto end() const noexcept { return items_.end(); }

  void ValidateCount(const XmlSerializationContext& oContext) override {
    Global::XmlObjectBaseHelper()->ValidateCountHelper(oContext, *this, minOccurs_, maxOccurs_, elementName_);
  }
  void Init(std::string_view strElementName, std::string_view strElementNamespaceUri, int32_t iMinOccurs,
            int32_t iMaxOccurs) override {
    elementName_ = strElementName;
    elementNamespace_ = strElementNamespaceUri;
    minOccurs_ = iMinOccurs;
    maxOccurs_ = iMaxOccurs;
  }
  int32_t MinOccurs() const override { return minOccurs_; }
  int32_t MaxOccurs() const noexcept { return maxOccurs_; }

  std::string_view ElementName() const override { return elementName_; }
  std::string_view TargetNamespace() const override { return elementNamespace_; }

  XmlNode FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext,
                     bool) override {
    const XmlObjectBaseHelperCls& helper = *Global::XmlObjectBaseHelper();
    const size_t before = items_.size();
    if (itemKind_ == XmlElementType::Element) {
      while (XmlGeneratedClassHelperCls::DoesElementNameMatch(oContext, oXmlElmChild, elementName_,
                                                              elementNamespace_)) {
        Item_t item = creator_ ? creator_(oXmlElmChild) : std::make_shared<T>(elementName_);
        if (!item) break;
        items_.push_back(item);  // kept even when its content fails to read
        item->FromXmlInt(oXmlElmChild, helper.FindFirstSliblingElement(oXmlElmChild.firstChild()), oContext, false);
        oXmlElmChild = helper.MoveNextSiblingElement(oXmlElmChild);
      }
    } else {
      while (oXmlElmChild) {
        Item_t item = std::make_shared<T>(elementName_);
        const XmlNode next = item->FromXmlInt(oXmlElmParent, oXmlElmChild, oContext, false);
        if (next == oXmlElmChild) break;
        items_.push_back(std::move(item));
        oXmlElmChild = next;
      }
    }
    if (items_.size() != before) RaiseOnCollectionChange();
    return oXmlElmChild;
  }

  void ToXmlInt(XmlTextWriter& oXmlOut, bool, std::string_view NamespaceURI, const XmlSerializationContext& oContext,
                bool) override {
    for (const Item_t& item : items_) item->ToXmlInt(oXmlOut, false, NamespaceURI, oContext, false);
  }

  // The attributes of model-group items land on the parent's start tag.
  void AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) override {
    for (const Item_t& item : items_) item->AttributesToXmlInt(oXmlOut, oContext);
  }

 private:
  void CheckIndex(int32_t index) const {
    if (index < 1 || index > Count()) throw Error::SubscriptOutOfRange(TypeName());
  }

  std::string elementName_;
  std::string elementNamespace_;
  int32_t minOccurs_;
  int32_t maxOccurs_;
  XmlElementType itemKind_;
  Creator creator_;
  std::vector<Item_t> items_;
};

}  // namespace vexlo9
