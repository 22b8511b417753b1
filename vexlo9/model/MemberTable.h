#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "vexlo9/model/Object.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

namespace detail {
// 438 and 450 naming the member, raised from the class's name.
[[noreturn]] VEXLO9_API void ThrowNoSuchMember(const Object& self, std::string_view name);
[[noreturn]] VEXLO9_API void ThrowWrongArgumentCount(const Object& self, std::string_view name);
}  // namespace detail

// The by-name members of one class C: built once per class, then only read.
// Look-ups are a hash of the name and do not allocate.
//
//   const vexlo9::MemberTable<Item>& Item::Members() {
//     static const auto table = vexlo9::MemberTable<Item>::Builder()
//         .Property("quantity", &Item::quantity, &Item::quantity)   // P() / P(value)
//         .ReadOnly("Count", &Item::Count)
//         .Method("CreateNamedClass", &Item::CreateNamedClass)      // T& parameters are by reference
//         .Build();
//     return table;
//   }
//
// A property whose setter takes a shared_ptr is assigned (SetProperty);
// any other is written with a plain value (LetProperty); a Variant setter takes both.
template <class C>
class MemberTable {
 public:
  using Getter = std::function<Variant(C&)>;
  using Putter = std::function<void(C&, const Variant&)>;
  using Caller = std::function<Variant(C&, std::span<Variant>)>;
  using TextGetter = std::function<const std::string*(C&)>;
  using Taker = std::function<void(C&, Variant&&)>;

  struct Entry {
    std::string name;
    Getter get;
    Putter let;
    Putter set;
    Caller call;
    TextGetter text;  // a getter returning text by reference
    Taker take;       // let that may move the value in
  };

  class Builder {
   public:
    // A getter and a setter; overloaded P() / P(value) pairs resolve by shape.
    template <class R, class B1, class P, class B2>
    Builder& Property(std::string_view name, R (B1::*get)() const, void (B2::*put)(P)) {
      static_assert(std::is_base_of_v<B1, C> && std::is_base_of_v<B2, C>);
      Entry& entry = Slot(name);
      entry.get = [get](C& self) { return ToVariant((self.*get)()); };
      if constexpr (std::is_same_v<R, const std::string&>) {
        entry.text = [get](C& self) { return &(self.*get)(); };
      }
      AddPutter(
          entry,
          [put](C& self, const Variant& v) {
            using T = std::decay_t<P>;
            // A setter taking text or bytes by const reference gets the Variant's own, not a copy.
            constexpr bool kHeldAsIs = std::is_same_v<T, std::string> || std::is_same_v<T, ByteArray>;
            if constexpr (kHeldAsIs && std::is_same_v<P, const T&>) {
              if (const T* held = v.GetIf<T>()) return (self.*put)(*held);
            }
            (self.*put)(FromVariant<T>(v));
          },
          std::type_identity<std::decay_t<P>>());
      // A setter taking text, bytes or a Variant by value can have the reader's value moved in.
      if constexpr (std::is_same_v<P, std::string> || std::is_same_v<P, ByteArray> || std::is_same_v<P, Variant>) {
        entry.take = [put](C& self, Variant&& v) { (self.*put)(FromVariant<P>(std::move(v))); };
      }
      return *this;
    }

    template <class R, class B1>
    Builder& ReadOnly(std::string_view name, R (B1::*get)() const) {
      static_assert(std::is_base_of_v<B1, C>);
      Slot(name).get = [get](C& self) { return ToVariant((self.*get)()); };
      return *this;
    }

    template <class R, class B, class... A>
    Builder& Method(std::string_view name, R (B::*method)(A...)) {
      static_assert(std::is_base_of_v<B, C>);
      Slot(name).call = [method, name = std::string(name)](C& self, std::span<Variant> args) {
        if (args.size() != sizeof...(A)) detail::ThrowWrongArgumentCount(self, name);
        return Call<R, A...>([&](auto&&... a) -> R { return (self.*method)(std::forward<decltype(a)>(a)...); },
                             args, std::index_sequence_for<A...>());
      };
      return *this;
    }

    template <class R, class B, class... A>
    Builder& Method(std::string_view name, R (B::*method)(A...) const) {
      static_assert(std::is_base_of_v<B, C>);
      Slot(name).call = [method, name = std::string(name)](C& self, std::span<Variant> args) {
        if (args.size() != sizeof...(A)) detail::ThrowWrongArgumentCount(self, name);
        return Call<R, A...>([&](auto&&... a) -> R { return (self.*method)(std::forward<decltype(a)>(a)...); },
                             args, std::index_sequence_for<A...>());
      };
      return *this;
    }

    // Any of the four call kinds given directly; an empty function leaves that kind out.
    Builder& Custom(std::string_view name, Getter get, Putter let = {}, Putter set = {}, Caller call = {}) {
      Entry& entry = Slot(name);
      if (get) entry.get = std::move(get);
      if (let) entry.let = std::move(let);
      if (set) entry.set = std::move(set);
      if (call) entry.call = std::move(call);
      return *this;
    }

    // Every member of a base class's table; members added after it take precedence.
    template <class B>
    Builder& Inherit(const MemberTable<B>& base) {
      static_assert(std::is_base_of_v<B, C>);
      for (const auto& from : base.entries_) {
        Entry& entry = Slot(from.name);
        if (from.get) entry.get = [f = from.get](C& self) { return f(self); };
        if (from.let) entry.let = [f = from.let](C& self, const Variant& v) { f(self, v); };
        if (from.set) entry.set = [f = from.set](C& self, const Variant& v) { f(self, v); };
        if (from.call) entry.call = [f = from.call](C& self, std::span<Variant> a) { return f(self, a); };
        if (from.text) entry.text = [f = from.text](C& self) { return f(self); };
        if (from.take) entry.take = [f = from.take](C& self, Variant&& v) { f(self, std::move(v)); };
      }
      return *this;
    }

    MemberTable Build() { return MemberTable(std::move(entries_)); }

   private:
    Entry& Slot(std::string_view name) {
      for (Entry& entry : entries_) {
        if (entry.name == name) return entry;
      }
      entries_.push_back(Entry{std::string(name), {}, {}, {}, {}, {}, {}});
      return entries_.back();
    }

    template <class F, class T>
    static void AddPutter(Entry& entry, F&& put, std::type_identity<T>) {
      if constexpr (std::is_same_v<T, Variant>) {
        entry.let = put;
        entry.set = std::forward<F>(put);
      } else if constexpr (IsSharedPtr<T>::value) {
        entry.set = std::forward<F>(put);
      } else {
        entry.let = std::forward<F>(put);
      }
    }

    template <class T>
    struct IsSharedPtr : std::false_type {};
    template <class T>
    struct IsSharedPtr<std::shared_ptr<T>> : std::true_type {};

    // Converts the arguments, calls, and copies back those taken by non-const reference.
    template <class R, class... A, class F, size_t... I>
    static Variant Call(F&& invoke, std::span<Variant> args, std::index_sequence<I...>) {
      std::tuple<std::decay_t<A>...> values(FromVariant<std::decay_t<A>>(args[I])...);
      auto writeBack = [&] {
        ((IsByReference<A>() ? void(args[I] = ToVariant(std::get<I>(values))) : void()), ...);
      };
      if constexpr (std::is_void_v<R>) {
        invoke(std::get<I>(values)...);
        writeBack();
        return Variant();
      } else {
        Variant result = ToVariant(invoke(std::get<I>(values)...));
        writeBack();
        return result;
      }
    }

    template <class A>
    static constexpr bool IsByReference() {
      return std::is_lvalue_reference_v<A> && !std::is_const_v<std::remove_reference_t<A>>;
    }

    std::vector<Entry> entries_;
  };

  Variant Get(C& self, std::string_view name) const {
    const Entry* entry = Find(name);
    if (!entry || !entry->get) detail::ThrowNoSuchMember(self, name);
    return entry->get(self);
  }

  void Let(C& self, std::string_view name, const Variant& value) const {
    const Entry* entry = Find(name);
    if (!entry || !entry->let) detail::ThrowNoSuchMember(self, name);
    entry->let(self, value);
  }

  void Take(C& self, std::string_view name, Variant&& value) const {
    const Entry* entry = Find(name);
    if (!entry || !entry->let) detail::ThrowNoSuchMember(self, name);
    if (!entry->take) return entry->let(self, value);
    entry->take(self, std::move(value));
  }

  // nullptr when the member is not read as text by reference (or is no member).
  const std::string* GetText(C& self, std::string_view name) const {
    const Entry* entry = Find(name);
    return entry && entry->text ? entry->text(self) : nullptr;
  }

  void Set(C& self, std::string_view name, const ObjectPtr& object) const {
    const Entry* entry = Find(name);
    if (!entry || !entry->set) detail::ThrowNoSuchMember(self, name);
    entry->set(self, Variant(object));
  }

  Variant Invoke(C& self, std::string_view name, std::span<Variant> args) const {
    const Entry* entry = Find(name);
    if (!entry || !entry->call) detail::ThrowNoSuchMember(self, name);
    return entry->call(self, args);
  }

  bool Has(std::string_view name) const { return Find(name) != nullptr; }

 private:
  template <class>
  friend class MemberTable;

  explicit MemberTable(std::vector<Entry> entries) : entries_(std::move(entries)) {
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

  // Readers and writers ask for members by name on every value: a look-up hashes the name once and, but for a
  // rare collision, compares one name.
  const Entry* Find(std::string_view name) const {
    const size_t mask = slots_.size() - 1;
    for (size_t slot = Hash(name) >> shift_; slots_[slot] != 0; slot = (slot + 1) & mask) {
      const Entry& entry = entries_[slots_[slot] - 1];
      if (entry.name == name) return &entry;
    }
    return nullptr;
  }

  // The first and last eight characters (four, for a shorter name) and the length, mixed; the slot is taken from
  // the high bits.
  static uint64_t Hash(std::string_view name) noexcept {
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

  std::vector<Entry> entries_;
  std::vector<uint32_t> slots_;  // 1 + an entry's index, 0 for none; at least twice as many as the entries
  int shift_ = 62;
};

}  // namespace vexlo9

// Declares, inside a class body, that the class answers by name from its
// table `static const MemberTable<Class>& Members()` (defined by the class),
// and names the class in messages. It opens no access section: the class
// writes `public:` before it.
#define VEXLO9_BY_NAME(Class)                                                                          \
  std::string TypeName() const override { return #Class; }                                             \
  ::vexlo9::Variant GetProperty(std::string_view name) override { return Members().Get(*this, name); } \
  void LetProperty(std::string_view name, const ::vexlo9::Variant& value) override {                   \
    Members().Let(*this, name, value);                                                                 \
  }                                                                                                    \
  void SetProperty(std::string_view name, const ::vexlo9::ObjectPtr& object) override {                \
    Members().Set(*this, name, object);                                                                \
  }                                                                                                    \
  ::vexlo9::Variant Invoke(std::string_view name, std::span<::vexlo9::Variant> args) override {        \
    return Members().Invoke(*this, name, args);                                                        \
  }                                                                                                    \
  const std::string* GetPropertyText(std::string_view name) override {                                 \
    return Members().GetText(*this, name);                                                             \
  }                                                                                                    \
  void TakeProperty(std::string_view name, ::vexlo9::Variant&& value) override {                       \
    Members().Take(*this, name, std::move(value));                                                     \
  }                                                                                                    \
  static const ::vexlo9::MemberTable<Class>& Members()
