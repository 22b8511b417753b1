#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexlo9::detail {

// One declaration: a prefix bound to a namespace URI.
class Namespace {
 public:
  Namespace() = default;
  Namespace(std::string_view Prefix, std::string_view NamesapceUrl) : prefix_(Prefix), url_(NamesapceUrl) {}

  const std::string& Prefix() const noexcept { return prefix_; }
  void Prefix(std::string_view value) { prefix_.assign(value); }
  const std::string& NamesapceUrl() const noexcept { return url_; }
  void NamesapceUrl(std::string_view value) { url_.assign(value); }

 private:
  std::string prefix_;
  std::string url_;
};

// Declarations in scope, in insertion order, at most one per URI. The map owns
// its entries by value, so two maps never share one.
//
// Truncate() drops the newest entries but keeps their slots: the writer uses
// one map as a stack of scopes, and an element that declares a namespace after
// a sibling did the same then reuses the sibling's strings instead of allocating.
class NamespaceMap {
 public:
  NamespaceMap() = default;

  // Appends a declaration; raises 457 when the URI is already a key.
  const Namespace& AddNamespace(std::string_view Prefix, std::string_view NamesapceUrl);
  const Namespace& Add(const Namespace& oNs) { return AddNamespace(oNs.Prefix(), oNs.NamesapceUrl()); }
  // The entry for the URI; raises 5 when there is none.
  const Namespace& Item(std::string_view NamesapceUrl) const;
  bool Exists(std::string_view NamesapceUrl) const noexcept { return Find(NamesapceUrl) != nullptr; }
  bool NamespaceAliasExists(std::string_view Alias) const noexcept;
  int32_t Count() const noexcept { return count_; }

  // The entry for the URI, or nullptr.
  const Namespace* Find(std::string_view NamesapceUrl) const noexcept;
  // Keeps the first `count` entries.
  void Truncate(int32_t count) noexcept;

  // The entries in insertion order; pointers stay valid until the next change.
  const Namespace* begin() const noexcept { return slots_.data(); }
  const Namespace* end() const noexcept { return slots_.data() + count_; }

 private:
  std::vector<Namespace> slots_;  // the first count_ are in use
  int32_t count_ = 0;
};

// The first generated prefix that no entry of `scope` uses: "AA", "AB", ...,
// "AZ", "BA", ..., "ZZ", then three letters from "AAA" on, and so on.
std::string FreePrefix(const NamespaceMap& scope);

}  // namespace vexlo9::detail
