#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "vexlo9/model/IndexedList.h"
#include "vexlo9/model/XmlCollectionBase.h"
#include "vexlo9/model/XmlGeneratedClass.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

// What every collection of generated objects does, whatever its item class: it reads the run of matching
// elements at the cursor, writes one element per item, checks its count against its bounds and answers "Count"
// by name. Items that are model groups (pseudo-elements) are read while they consume elements.
class VEXLO9_API XmlGeneratedClassColBase : public XmlObjectBase, public XmlCollectionBase {
 public:
  std::string TypeName() const override { return typeName_; }
  Variant GetProperty(std::string_view name) override;

  virtual int32_t Count() const noexcept = 0;

  void ValidateCount(const XmlSerializationContext& oContext) override;
  void Init(std::string_view strElementName, std::string_view strElementNamespaceUri, int32_t iMinOccurs,
            int32_t iMaxOccurs) override;
  int32_t MinOccurs() const override { return minOccurs_; }
  int32_t MaxOccurs() const noexcept { return maxOccurs_; }

  std::string_view ElementName() const override { return elementName_; }
  std::string_view TargetNamespace() const override { return elementNamespace_; }

  XmlNode FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext,
                     bool isOptionalChoice) override;
  void ToXmlInt(XmlTextWriter& oXmlOut, bool bRootElement, std::string_view NamespaceURI,
                const XmlSerializationContext& oContext, bool isOptionalChoice) override;
  // The attributes of model-group items land on the parent's start tag.
  void AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) override;

 protected:
  // maxOccurs -1: unbounded.
  XmlGeneratedClassColBase(std::string elementName, std::string elementNamespace, int32_t minOccurs,
                           int32_t maxOccurs, XmlElementType itemKind);

  // The class name, which every position error names, without a copy.
  std::string_view ColName() const noexcept { return typeName_; }
  // The item at a 0-based offset.
  virtual XmlObjectBase& ItemAt(size_t offset) const = 0;
  // Appends a new item for the element at the cursor and returns it; nothing when no class suits the element.
  virtual XmlObjectBase* AppendNew(XmlNode element) = 0;
  // Reads one model-group item from the cursor on and appends it when it took something; returns the cursor after it.
  virtual XmlNode ReadGroupItem(XmlNode parent, XmlNode cursor, const XmlSerializationContext& context) = 0;

 private:
  std::string elementName_;
  std::string elementNamespace_;
  std::string typeName_;
  int32_t minOccurs_;
  int32_t maxOccurs_;
  XmlElementType itemKind_;
};

// The collection of generated objects of class T for a repeated class particle, positions 1 to Count.
template <class T>
class XmlGeneratedClassCol : public XmlGeneratedClassColBase {
 public:
  using Item_t = std::shared_ptr<T>;
  // Makes the item for the element at the cursor (nothing: no suitable class); by default a new T.
  using Creator = std::function<Item_t(XmlNode element)>;
  using const_iterator = typename IndexedList<Item_t>::const_iterator;

  // maxOccurs -1: unbounded.
  XmlGeneratedClassCol(std::string elementName, std::string elementNamespace, int32_t minOccurs, int32_t maxOccurs,
                       XmlElementType itemKind = XmlElementType::Element, Creator creator = {})
      : XmlGeneratedClassColBase(std::move(elementName), std::move(elementNamespace), minOccurs, maxOccurs,
                                 itemKind),
        creator_(std::move(creator)) {}

  // A new item under the collection's element name, appended.
  Item_t AddNew() {
    auto item = std::make_shared<T>(std::string(ElementName()));
    Add(item);
    return item;
  }
  // 91 for nothing.
  void Add(Item_t item) {
    if (!item) ThrowObjectNotSet();
    items_.Add(std::move(item));
    RaiseOnCollectionChange();
  }
  const Item_t& Item(int32_t index) const { return items_.Item(index, ColName()); }
  int32_t Count() const noexcept override { return items_.Count(); }
  void Remove(int32_t index) {
    items_.Remove(index, ColName());
    RaiseOnCollectionChange();
  }
  void Clear() {
    if (items_.empty()) return;
    items_.Clear();
    RaiseOnCollectionChange();
  }
  const_iterator begin() const noexcept { return items_.begin(); }
  const_iterator end() const noexcept { return items_.end(); }

 protected:
  XmlObjectBase& ItemAt(size_t offset) const override { return *items_.begin()[static_cast<std::ptrdiff_t>(offset)]; }
  XmlObjectBase* AppendNew(XmlNode element) override {
    Item_t item = creator_ ? creator_(element) : detail::MakePooled<T>(std::string(ElementName()));
    if (!item) return nullptr;
    T* added = item.get();
    items_.Add(std::move(item));
    return added;
  }
  XmlNode ReadGroupItem(XmlNode parent, XmlNode cursor, const XmlSerializationContext& context) override {
    auto item = detail::MakePooled<T>(std::string(ElementName()));
    const XmlNode next = item->FromXmlInt(parent, cursor, context, false);
    if (next != cursor) items_.Add(std::move(item));
    return next;
  }

 private:
  [[noreturn]] VEXLO9_API void ThrowObjectNotSet() const;

  Creator creator_;
  IndexedList<Item_t> items_;
};

namespace detail {
[[noreturn]] VEXLO9_API void ThrowObjectNotSet(const std::string& source);
}  // namespace detail

template <class T>
void XmlGeneratedClassCol<T>::ThrowObjectNotSet() const {
  detail::ThrowObjectNotSet(TypeName());
}

}  // namespace vexlo9
