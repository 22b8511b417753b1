#include "vexlo9/model/MemberTable.h"

#include <atomic>
#include <bit>
#include <cstring>

#include "vexlo9/model/detail/KnownTable.h"

namespace vexlo9::detail {

namespace {

// The first and last eight characters (four, for a shorter name) and the length, mixed; the slot is taken from
// the high bits.
uint64_t Hash(std::string_view name) noexcept {
  const size_t size = name.size();
  uint64_t head = 0;
  uint64_t tail = 0;
  if (size >= 8) {
    std::memcpy(&head, name.data(), 8);
    std::memcpy(&tail, name.data() + size - 8, 8);
  } else if (size >= 4) {
    uint32_t first = 0;
    uint32_t last = 0;
    std::memcpy(&first, name.data(), 4);
    std::memcpy(&last, name.data() + size - 4, 4);
    head = first;
    tail = last;
  } else {
    for (const char c : name) head = head << 8 | static_cast<unsigned char>(c);
  }
  return (head * 0x9E3779B97F4A7C15ULL) ^ ((tail ^ size) * 0xC2B2AE3D27D4EB4FULL);
}

}  // namespace

MemberIndex::MemberIndex(std::vector<MemberEntry> entries) : entries_(std::move(entries)) {
  static std::atomic<uint32_t> tables{0};
  id_ = tables.fetch_add(1, std::memory_order_relaxed) + 1;
  size_t size = 4;
  while (size < 2 * entries_.size()) size *= 2;
  shift_ = 64 - std::countr_zero(size);
  slots_.assign(size, 0);
  for (uint32_t i = 0; i < entries_.size(); ++i) {
    size_t slot = Hash(entries_[i].name) >> shift_;
    while (slots_[slot] != 0) slot = (slot + 1) & (size - 1);
    slots_[slot] = i + 1;
  }
}

const MemberEntry* MemberIndex::Find(std::string_view name) const noexcept {
  const size_t mask = slots_.size() - 1;
  for (size_t slot = Hash(name) >> shift_; slots_[slot] != 0; slot = (slot + 1) & mask) {
    const MemberEntry& entry = entries_[slots_[slot] - 1];
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

const MemberEntry* MemberName::In(const MemberIndex& index) const noexcept {
  // Id and position in one word, so that a thread reads both as another wrote them.
  const uint64_t last = last_.load(std::memory_order_relaxed);
  if (last >> 32 == index.Id()) return &index.Entries()[(last & 0xFFFFFFFFu) - 1];
  const MemberEntry* entry = index.Find(name_);
  if (entry) {
    const auto position = static_cast<uint64_t>(entry - index.Entries().data());
    last_.store(uint64_t{index.Id()} << 32 | (position + 1), std::memory_order_relaxed);
  }
  return entry;
}

namespace {
// The object as its table's functions take it, with the entry of the name there; neither without a table.
struct Found {
  void* self;
  const MemberEntry* entry;
};
struct Known {
  const Object* object = nullptr;
  MemberAccess access;
};
thread_local Known t_known;

Found FindMember(Object& object, const MemberName& name) noexcept {
  const Known& known = t_known;
  const MemberAccess access = &object == known.object ? known.access : object.TableAccess();
  return {access.self, access.index ? name.In(*access.index) : nullptr};
}
}  // namespace

KnownTable::KnownTable(Object& object) noexcept : outerObject_(t_known.object), outerAccess_(t_known.access) {
  t_known = {&object, object.TableAccess()};
}

KnownTable::~KnownTable() { t_known = {outerObject_, outerAccess_}; }

// Each falls back on the by-name call, which answers for objects without a table and raises for a name not there.
Variant GetMember(Object& object, const MemberName& name) {
  if (const auto [self, entry] = FindMember(object, name); entry && entry->get) return entry->get(self, *entry);
  return object.GetProperty(name);
}

const std::string* GetMemberText(Object& object, const MemberName& name) {
  const auto [self, entry] = FindMember(object, name);
  if (!self) return object.GetPropertyText(name);
  return entry && entry->text ? entry->text(self, *entry) : nullptr;
}

bool GetMemberFlag(Object& object, const MemberName& name) {
  if (const auto [self, entry] = FindMember(object, name); entry && entry->flag) return entry->flag(self, *entry);
  return GetMember(object, name).ToBoolean();
}

bool GetMemberHeldText(Object& object, const MemberName& name, const ValueToText& how, std::string& storage,
                       std::string_view& text) {
  const auto [self, entry] = FindMember(object, name);
  return entry && entry->heldText && entry->heldText(self, *entry, how, storage, text);
}

void LetMember(Object& object, const MemberName& name, const Variant& value) {
  if (const auto [self, entry] = FindMember(object, name); entry && entry->let) return entry->let(self, *entry, value);
  object.LetProperty(name, value);
}

void TakeMember(Object& object, const MemberName& name, Variant&& value) {
  if (const auto [self, entry] = FindMember(object, name); entry && (entry->take || entry->let)) {
    return entry->take ? entry->take(self, *entry, std::move(value)) : entry->let(self, *entry, value);
  }
  object.TakeProperty(name, std::move(value));
}

bool TakeMemberText(Object& object, const MemberName& name, const TextToValue& how, std::string_view text) {
  const auto [self, entry] = FindMember(object, name);
  return entry && entry->takeText && entry->takeText(self, *entry, how, text);
}

void SetMember(Object& object, const MemberName& name, const ObjectPtr& value) {
  if (const auto [self, entry] = FindMember(object, name); entry && entry->set) {
    return entry->set(self, *entry, Variant(value));
  }
  object.SetProperty(name, value);
}

}  // namespace vexlo9::detail
