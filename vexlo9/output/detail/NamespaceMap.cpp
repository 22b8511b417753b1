#include "vexlo9/output/detail/NamespaceMap.h"

#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9::detail {
namespace {

constexpr const char* kSource = "NamespaceMap";

}  // namespace

const Namespace& NamespaceMap::AddNamespace(std::string_view Prefix, std::string_view NamesapceUrl) {
  if (Exists(NamesapceUrl)) {
    throw errors::DuplicateKey(NamesapceUrl);
  }
  if (static_cast<size_t>(count_) < slots_.size()) {
    Namespace& slot = slots_[count_];
    slot.Prefix(Prefix);
    slot.NamesapceUrl(NamesapceUrl);
  } else {
    slots_.emplace_back(Prefix, NamesapceUrl);
  }
  return slots_[count_++];
}

const Namespace& NamespaceMap::Item(std::string_view NamesapceUrl) const {
  if (const Namespace* entry = Find(NamesapceUrl)) return *entry;
  throw errors::NoSuchKey(kSource, NamesapceUrl);
}

const Namespace* NamespaceMap::Find(std::string_view NamesapceUrl) const noexcept {
  for (const Namespace& entry : *this) {
    if (entry.NamesapceUrl() == NamesapceUrl) return &entry;
  }
  return nullptr;
}

bool NamespaceMap::NamespaceAliasExists(std::string_view Alias) const noexcept {
  for (const Namespace& entry : *this) {
    if (entry.Prefix() == Alias) return true;
  }
  return false;
}

void NamespaceMap::Truncate(int32_t count) noexcept {
  if (count >= 0 && count < count_) count_ = count;
}

std::string FreePrefix(const NamespaceMap& scope) {
  // Candidate n in order: two letters for the first 26^2, three for the next 26^3, ...
  // A scope holds finitely many prefixes, so the search always ends.
  for (uint64_t n = 0;; ++n) {
    uint64_t index = n;
    size_t width = 2;
    uint64_t span = 26 * 26;
    while (index >= span) {
      index -= span;
      ++width;
      span *= 26;
    }
    std::string candidate(width, 'A');
    for (size_t i = width; i-- > 0; index /= 26) candidate[i] = static_cast<char>('A' + index % 26);
    if (!scope.NamespaceAliasExists(candidate)) return candidate;
  }
}

}  // namespace vexlo9::detail
