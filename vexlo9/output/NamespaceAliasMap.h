#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vexlo9/model/IndexedList.h"
#include "vexlo9/model/MemberTable.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

class NamespaceAliasMap;

namespace detail {
// The serialization context creates the one map it owns through this.
std::shared_ptr<NamespaceAliasMap> NewNamespaceAliasMap();
}  // namespace detail

// One prefix the user wants for a namespace URI. Only its map changes it.
class VEXLO9_API NamespaceMapEntry : public Object {
 public:
  VEXLO9_BY_NAME(NamespaceMapEntry);

  const std::string& NamespaceAlias() const noexcept { return alias_; }
  const std::string& NamespaceURI() const noexcept { return uri_; }

 private:
  friend class NamespaceAliasMap;
  NamespaceMapEntry() = default;
  void Init(std::string_view NamespaceAlias, std::string_view NamespaceURI);

  std::string alias_;
  std::string uri_;
};

// The user's preferred prefixes, declared on the root element of every document
// written with the owning context. Ordered, at most one entry per URI, indexed
// from 1. Item and Remove take a position (any number) or a URI (a string):
// a position outside 1 to Count raises 9 "Subscript out of range", an unknown
// URI 5 "Invalid procedure call or argument", any other kind of index 13.
class VEXLO9_API NamespaceAliasMap : public Object {
 public:
  VEXLO9_BY_NAME(NamespaceAliasMap);

  using Item_t = std::shared_ptr<NamespaceMapEntry>;

  // Replaces the alias of an entry already there (it keeps its place), else appends.
  // Neither argument is checked. Always returns an empty Variant.
  Variant Add(std::string_view NamespaceURI, std::string_view NamespaceAlias);
  bool NamespaceAliasExists(std::string_view NamespaceAlias) const noexcept;
  bool NamespaceURIExists(std::string_view NamespaceURI) const noexcept;
  const Item_t& Item(const Variant& vntIndexKey) const;
  int32_t Count() const noexcept { return items_.Count(); }
  void Remove(const Variant& vntIndexKey);

  auto begin() const noexcept { return items_.begin(); }
  auto end() const noexcept { return items_.end(); }

 private:
  friend std::shared_ptr<NamespaceAliasMap> detail::NewNamespaceAliasMap();
  NamespaceAliasMap() = default;
  // The position that vntIndexKey names: itself when it is a number, that of its URI when it is a string.
  int32_t PositionOf(const Variant& vntIndexKey, const char* source) const;

  IndexedList<Item_t> items_;
};

}  // namespace vexlo9
