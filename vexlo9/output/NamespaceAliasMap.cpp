#include "vexlo9/output/NamespaceAliasMap.h"

#include <algorithm>

#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9 {
namespace {

// By-name callers pass text; the members themselves take views.
template <class F>
MemberTable<NamespaceAliasMap>::Caller TextCaller(size_t arity, std::string_view name, F f) {
  return [arity, name = std::string(name), f](NamespaceAliasMap& self, std::span<Variant> args) {
    if (args.size() != arity) throw errors::WrongArgumentCount(self.TypeName(), name);
    return f(self, args);
  };
}

}  // namespace

const MemberTable<NamespaceMapEntry>& NamespaceMapEntry::Members() {
  static const auto table = MemberTable<NamespaceMapEntry>::Builder()
                                .ReadOnly("NamespaceAlias", &NamespaceMapEntry::NamespaceAlias)
                                .ReadOnly("NamespaceURI", &NamespaceMapEntry::NamespaceURI)
                                .Build();
  return table;
}

void NamespaceMapEntry::Init(std::string_view NamespaceAlias, std::string_view NamespaceURI) {
  alias_.assign(NamespaceAlias);
  uri_.assign(NamespaceURI);
}

const MemberTable<NamespaceAliasMap>& NamespaceAliasMap::Members() {
  using Self = NamespaceAliasMap;
  static const auto table =
      MemberTable<Self>::Builder()
          .Custom("Add", {}, {}, {},
                  TextCaller(2, "Add",
                             [](Self& self, std::span<Variant> a) {
                               return self.Add(a[0].ToString(), a[1].ToString());
                             }))
          .Custom("NamespaceAliasExists", {}, {}, {},
                  TextCaller(1, "NamespaceAliasExists",
                             [](Self& self, std::span<Variant> a) {
                               return Variant(self.NamespaceAliasExists(a[0].ToString()));
                             }))
          .Custom("NamespaceURIExists", {}, {}, {},
                  TextCaller(1, "NamespaceURIExists",
                             [](Self& self, std::span<Variant> a) {
                               return Variant(self.NamespaceURIExists(a[0].ToString()));
                             }))
          .Method("Item", &Self::Item)
          .ReadOnly("Count", &Self::Count)
          .Method("Remove", &Self::Remove)
          .Build();
  return table;
}

Variant NamespaceAliasMap::Add(std::string_view NamespaceURI, std::string_view NamespaceAlias) {
  auto same = std::find_if(items_.begin(), items_.end(),
                           [NamespaceURI](const Item_t& entry) { return entry->NamespaceURI() == NamespaceURI; });
  if (same != items_.end()) {
    (*same)->alias_.assign(NamespaceAlias);
    return Variant();
  }
  Item_t entry(new NamespaceMapEntry());
  entry->Init(NamespaceAlias, NamespaceURI);
  items_.Add(std::move(entry));
  return Variant();
}

bool NamespaceAliasMap::NamespaceAliasExists(std::string_view NamespaceAlias) const noexcept {
  return std::any_of(items_.begin(), items_.end(),
                     [NamespaceAlias](const Item_t& entry) { return entry->NamespaceAlias() == NamespaceAlias; });
}

bool NamespaceAliasMap::NamespaceURIExists(std::string_view NamespaceURI) const noexcept {
  return std::any_of(items_.begin(), items_.end(),
                     [NamespaceURI](const Item_t& entry) { return entry->NamespaceURI() == NamespaceURI; });
}

const NamespaceAliasMap::Item_t& NamespaceAliasMap::Item(const Variant& vntIndexKey) const {
  constexpr const char* kSource = "NamespaceAliasMap.Item";
  return items_.Item(PositionOf(vntIndexKey, kSource), kSource);
}

void NamespaceAliasMap::Remove(const Variant& vntIndexKey) {
  constexpr const char* kSource = "NamespaceAliasMap.Remove";
  items_.Remove(PositionOf(vntIndexKey, kSource), kSource);
}

int32_t NamespaceAliasMap::PositionOf(const Variant& vntIndexKey, const char* source) const {
  switch (vntIndexKey.kind()) {
    case Variant::Kind::String: {
      const std::string& uri = *vntIndexKey.GetIf<std::string>();
      int32_t position = 1;
      for (const Item_t& entry : items_) {
        if (entry->NamespaceURI() == uri) return position;
        ++position;
      }
      throw errors::NoSuchKey(source, uri);
    }
    case Variant::Kind::Boolean:
    case Variant::Kind::Byte:
    case Variant::Kind::Integer:
    case Variant::Kind::Long:
    case Variant::Kind::Single:
    case Variant::Kind::Double:
      return vntIndexKey.ToLong();  // rounds a fraction, 6 beyond a Long
    default:
      throw errors::TypeMismatch(source);
  }
}

namespace detail {
std::shared_ptr<NamespaceAliasMap> NewNamespaceAliasMap() {
  return std::shared_ptr<NamespaceAliasMap>(new NamespaceAliasMap());
}
}  // namespace detail

}  // namespace vexlo9
