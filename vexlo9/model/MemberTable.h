#pragma once

#include <bit>
#include <cstddef>
#include <memory>
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

// A member function pointer as bytes: every one fits (two words in the common ABIs).
struct MemberSlot {
  alignas(std::max_align_t) std::byte bytes[2 * sizeof(void*)] = {};

  template <class M>
  static MemberSlot Of(M member) {
    static_assert(sizeof(M) <= sizeof(bytes) && std::is_trivially_copyable_v<M>);
    MemberSlot slot;
    std::memcpy(slot.bytes, &member, sizeof(M));
    return slot;
  }
  template <class M>
  M As() const {
    M member;
    std::memcpy(&member, bytes, sizeof(M));
    return member;
  }
};

// One member of any class's table. The function pointers are the typed ones of MemberTable<C>, stored erased so
// that the tables of all classes share one entry type and one look-up, compiled once in the library.
struct MemberEntry {
  using Fn = void (*)();
  std::string name;
  Fn get = nullptr;
  Fn let = nullptr;
  Fn set = nullptr;
  Fn call = nullptr;
  Fn text = nullptr;  // a getter returning text by reference
  Fn take = nullptr;  // let that may move the value in
  MemberSlot getter;  // the getter, or the method called
  MemberSlot putter;
  const MemberEntry* base = nullptr;  // the base table's entry that inherited pointers forward to
  std::shared_ptr<const void> functions;  // what Custom was given
};

// The entries of a table and their look-up by name.
class VEXLO9_API MemberIndex {
 public:
  explicit MemberIndex(std::vector<MemberEntry> entries);
  // Readers and writers ask for members by name on every value: a look-up hashes the name once and, but for a
  // rare collision, compares one name.
  const MemberEntry* Find(std::string_view name) const noexcept;
  const std::vector<MemberEntry>& Entries() const noexcept { return entries_; }

 private:
  std::vector<MemberEntry> entries_;
  std::vector<uint32_t> slots_;  // 1 + an entry's index, 0 for none; at least twice as many as the entries
  int shift_ = 62;
};
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
//
// An entry holds plain function pointers, instantiated once per class and member signature (not per member),
// with the member functions they call held as data: a schema's thousands of properties cost the compiler little.
template <class C>
class MemberTable {
 public:
  using Getter = std::function<Variant(C&)>;
  using Putter = std::function<void(C&, const Variant&)>;
  using Caller = std::function<Variant(C&, std::span<Variant>)>;

  using Entry = detail::MemberEntry;
  using GetFn = Variant (*)(C&, const Entry&);
  using PutFn = void (*)(C&, const Entry&, const Variant&);
  using CallFn = Variant (*)(C&, const Entry&, std::span<Variant>);
  using TextFn = const std::string* (*)(C&, const Entry&);
  using TakeFn = void (*)(C&, const Entry&, Variant&&);

  // What Custom was given, called through the entry's pointers.
  struct Functions {
    Getter get;
    Putter let;
    Putter set;
    Caller call;
  };

  class Builder {
   public:
    // A getter and a setter; overloaded P() / P(value) pairs resolve by shape.
    template <class R, class B1, class P, class B2>
    Builder& Property(std::string_view name, R (B1::*get)() const, void (B2::*put)(P)) {
      static_assert(std::is_base_of_v<B1, C> && std::is_base_of_v<B2, C>);
      Entry& entry = ReadOnly(name, get).Slot(name);
      using T = std::decay_t<P>;
      entry.putter = detail::MemberSlot::Of(put);
      if constexpr (std::is_same_v<T, Variant>) {
        entry.let = entry.set = Erase<PutFn>(&PutVia<P, B2>);
      } else if constexpr (IsSharedPtr<T>::value) {
        entry.set = Erase<PutFn>(&PutVia<P, B2>);
      } else {
        entry.let = Erase<PutFn>(&PutVia<P, B2>);
      }
      // A setter taking text, bytes or a Variant by value can have the reader's value moved in.
      if constexpr (std::is_same_v<P, std::string> || std::is_same_v<P, ByteArray> || std::is_same_v<P, Variant>) {
        entry.take = Erase<TakeFn>(&TakeVia<P, B2>);
      }
      return *this;
    }

    template <class R, class B1>
    Builder& ReadOnly(std::string_view name, R (B1::*get)() const) {
      static_assert(std::is_base_of_v<B1, C>);
      Entry& entry = Slot(name);
      entry.getter = detail::MemberSlot::Of(get);
      entry.get = Erase<GetFn>(&GetVia<R, B1>);
      if constexpr (std::is_same_v<R, const std::string&>) entry.text = Erase<TextFn>(&TextVia<B1>);
      return *this;
    }

    template <class R, class B, class... A>
    Builder& Method(std::string_view name, R (B::*method)(A...)) {
      static_assert(std::is_base_of_v<B, C>);
      Entry& entry = Slot(name);
      entry.getter = detail::MemberSlot::Of(method);
      entry.call = Erase<CallFn>(&CallVia<R (B::*)(A...), R, A...>);
      return *this;
    }

    template <class R, class B, class... A>
    Builder& Method(std::string_view name, R (B::*method)(A...) const) {
      static_assert(std::is_base_of_v<B, C>);
      Entry& entry = Slot(name);
      entry.getter = detail::MemberSlot::Of(method);
      entry.call = Erase<CallFn>(&CallVia<R (B::*)(A...) const, R, A...>);
      return *this;
    }

    // Any of the four call kinds given directly; an empty function leaves that kind out.
    Builder& Custom(std::string_view name, Getter get, Putter let = {}, Putter set = {}, Caller call = {}) {
      Entry& entry = Slot(name);
      auto functions = std::make_shared<Functions>(entry.functions ? FunctionsOf(entry) : Functions{});
      if (get) functions->get = std::move(get), entry.get = Erase<GetFn>(&CustomGet), entry.text = nullptr;
      if (let) functions->let = std::move(let), entry.let = Erase<PutFn>(&CustomLet), entry.take = nullptr;
      if (set) functions->set = std::move(set), entry.set = Erase<PutFn>(&CustomSet);
      if (call) functions->call = std::move(call), entry.call = Erase<CallFn>(&CustomCall);
      entry.functions = std::move(functions);
      return *this;
    }

    // Every member of a base class's table (which must outlive this one: tables are static); members added after
    // it take precedence.
    template <class B>
    Builder& Inherit(const MemberTable<B>& base) {
      static_assert(std::is_base_of_v<B, C>);
      for (const Entry& from : base.index_.Entries()) {
        Entry& entry = Slot(from.name);
        entry.base = &from;
        entry.get = from.get ? Erase<GetFn>(&BaseGet<B>) : nullptr;
        entry.let = from.let ? Erase<PutFn>(&BaseLet<B>) : nullptr;
        entry.set = from.set ? Erase<PutFn>(&BaseSet<B>) : nullptr;
        entry.call = from.call ? Erase<CallFn>(&BaseCall<B>) : nullptr;
        entry.text = from.text ? Erase<TextFn>(&BaseText<B>) : nullptr;
        entry.take = from.take ? Erase<TakeFn>(&BaseTake<B>) : nullptr;
      }
      return *this;
    }

    MemberTable Build() { return MemberTable(detail::MemberIndex(std::move(entries_))); }

   private:
    Entry& Slot(std::string_view name) {
      for (Entry& entry : entries_) {
        if (entry.name == name) return entry;
      }
      Entry& entry = entries_.emplace_back();
      entry.name = name;
      return entry;
    }

    template <class T>
    struct IsSharedPtr : std::false_type {};
    template <class T>
    struct IsSharedPtr<std::shared_ptr<T>> : std::true_type {};

    template <class R, class B>
    static Variant GetVia(C& self, const Entry& e) {
      return ToVariant((self.*e.getter.template As<R (B::*)() const>())());
    }
    template <class B>
    static const std::string* TextVia(C& self, const Entry& e) {
      return &(self.*e.getter.template As<const std::string& (B::*)() const>())();
    }
    template <class P, class B>
    static void PutVia(C& self, const Entry& e, const Variant& v) {
      using T = std::decay_t<P>;
      const auto put = e.putter.template As<void (B::*)(P)>();
      // A setter taking text or bytes by const reference gets the Variant's own, not a copy.
      constexpr bool kHeldAsIs = std::is_same_v<T, std::string> || std::is_same_v<T, ByteArray>;
      if constexpr (kHeldAsIs && std::is_same_v<P, const T&>) {
        if (const T* held = v.GetIf<T>()) return (self.*put)(*held);
      }
      (self.*put)(FromVariant<T>(v));
    }
    template <class P, class B>
    static void TakeVia(C& self, const Entry& e, Variant&& v) {
      (self.*e.putter.template As<void (B::*)(P)>())(FromVariant<P>(std::move(v)));
    }
    template <class M, class R, class... A>
    static Variant CallVia(C& self, const Entry& e, std::span<Variant> args) {
      if (args.size() != sizeof...(A)) detail::ThrowWrongArgumentCount(self, e.name);
      const M method = e.getter.template As<M>();
      return Call<R, A...>([&](auto&&... a) -> R { return (self.*method)(std::forward<decltype(a)>(a)...); }, args,
                           std::index_sequence_for<A...>());
    }

    template <class F>
    static Entry::Fn Erase(F f) {
      return reinterpret_cast<Entry::Fn>(f);
    }
    static const Functions& FunctionsOf(const Entry& e) { return *static_cast<const Functions*>(e.functions.get()); }
    static Variant CustomGet(C& self, const Entry& e) { return FunctionsOf(e).get(self); }
    static void CustomLet(C& self, const Entry& e, const Variant& v) { FunctionsOf(e).let(self, v); }
    static void CustomSet(C& self, const Entry& e, const Variant& v) { FunctionsOf(e).set(self, v); }
    static Variant CustomCall(C& self, const Entry& e, std::span<Variant> a) { return FunctionsOf(e).call(self, a); }

    // An inherited member: the base class's own function, given the object as that class.
    template <class B>
    static Variant BaseGet(C& self, const Entry& e) {
      return Typed<typename MemberTable<B>::GetFn>(e.base->get)(self, *e.base);
    }
    template <class B>
    static void BaseLet(C& self, const Entry& e, const Variant& v) {
      Typed<typename MemberTable<B>::PutFn>(e.base->let)(self, *e.base, v);
    }
    template <class B>
    static void BaseSet(C& self, const Entry& e, const Variant& v) {
      Typed<typename MemberTable<B>::PutFn>(e.base->set)(self, *e.base, v);
    }
    template <class B>
    static Variant BaseCall(C& self, const Entry& e, std::span<Variant> a) {
      return Typed<typename MemberTable<B>::CallFn>(e.base->call)(self, *e.base, a);
    }
    template <class B>
    static const std::string* BaseText(C& self, const Entry& e) {
      return Typed<typename MemberTable<B>::TextFn>(e.base->text)(self, *e.base);
    }
    template <class B>
    static void BaseTake(C& self, const Entry& e, Variant&& v) {
      Typed<typename MemberTable<B>::TakeFn>(e.base->take)(self, *e.base, std::move(v));
    }

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
    const Entry* entry = index_.Find(name);
    if (!entry || !entry->get) detail::ThrowNoSuchMember(self, name);
    return Typed<GetFn>(entry->get)(self, *entry);
  }

  void Let(C& self, std::string_view name, const Variant& value) const {
    const Entry* entry = index_.Find(name);
    if (!entry || !entry->let) detail::ThrowNoSuchMember(self, name);
    Typed<PutFn>(entry->let)(self, *entry, value);
  }

  void Take(C& self, std::string_view name, Variant&& value) const {
    const Entry* entry = index_.Find(name);
    if (!entry || !entry->let) detail::ThrowNoSuchMember(self, name);
    if (!entry->take) return Typed<PutFn>(entry->let)(self, *entry, value);
    Typed<TakeFn>(entry->take)(self, *entry, std::move(value));
  }

  // nullptr when the member is not read as text by reference (or is no member).
  const std::string* GetText(C& self, std::string_view name) const {
    const Entry* entry = index_.Find(name);
    return entry && entry->text ? Typed<TextFn>(entry->text)(self, *entry) : nullptr;
  }

  void Set(C& self, std::string_view name, const ObjectPtr& object) const {
    const Entry* entry = index_.Find(name);
    if (!entry || !entry->set) detail::ThrowNoSuchMember(self, name);
    Typed<PutFn>(entry->set)(self, *entry, Variant(object));
  }

  Variant Invoke(C& self, std::string_view name, std::span<Variant> args) const {
    const Entry* entry = index_.Find(name);
    if (!entry || !entry->call) detail::ThrowNoSuchMember(self, name);
    return Typed<CallFn>(entry->call)(self, *entry, args);
  }

  bool Has(std::string_view name) const { return index_.Find(name) != nullptr; }

 private:
  template <class>
  friend class MemberTable;

  explicit MemberTable(detail::MemberIndex index) : index_(std::move(index)) {}

  // The entry's function as the type it was stored from.
  template <class F>
  static F Typed(Entry::Fn f) {
    return reinterpret_cast<F>(f);
  }

  detail::MemberIndex index_;
};

}  // namespace vexlo9

// Declares, inside a class body, that the class answers by name from its
// table `static const MemberTable<Class>& Members()` (defined by the class),
// and names the class in messages. It opens no access section: the class
// writes `public:` before it.
#define VEXLO9_BY_NAME(Class)                    \
  VEXLO9_BY_NAME_MEMBERS_(, Class, override)     \
  static const ::vexlo9::MemberTable<Class>& Members()

// The same for a class with many siblings in one header (generated ones): the
// members are only declared there, and VEXLO9_BY_NAME_DEFINE(Class) in one
// source defines them, so that a header of thousands of classes does not make
// every source that includes it instantiate thousands of tables.
#define VEXLO9_BY_NAME_DECLARE(Class)                                                    \
  std::string TypeName() const override;                                                 \
  ::vexlo9::Variant GetProperty(std::string_view name) override;                         \
  void LetProperty(std::string_view name, const ::vexlo9::Variant& value) override;      \
  void SetProperty(std::string_view name, const ::vexlo9::ObjectPtr& object) override;   \
  ::vexlo9::Variant Invoke(std::string_view name, std::span<::vexlo9::Variant> args) override; \
  const std::string* GetPropertyText(std::string_view name) override;                    \
  void TakeProperty(std::string_view name, ::vexlo9::Variant&& value) override;          \
  static const ::vexlo9::MemberTable<Class>& Members()

#define VEXLO9_BY_NAME_DEFINE(Class)           \
  VEXLO9_BY_NAME_MEMBERS_(Class::, Class, )    \
  static_assert(std::is_base_of_v<::vexlo9::Object, Class>, #Class " answers by name as a vexlo9::Object")

// The members' definitions, qualified by `Q` outside the class.
#define VEXLO9_BY_NAME_MEMBERS_(Q, Class, OVERRIDE)                                                     \
  std::string Q TypeName() const OVERRIDE { return #Class; }                                            \
  ::vexlo9::Variant Q GetProperty(std::string_view name) OVERRIDE { return Members().Get(*this, name); } \
  void Q LetProperty(std::string_view name, const ::vexlo9::Variant& value) OVERRIDE {                  \
    Members().Let(*this, name, value);                                                                  \
  }                                                                                                     \
  void Q SetProperty(std::string_view name, const ::vexlo9::ObjectPtr& object) OVERRIDE {               \
    Members().Set(*this, name, object);                                                                 \
  }                                                                                                     \
  ::vexlo9::Variant Q Invoke(std::string_view name, std::span<::vexlo9::Variant> args) OVERRIDE {       \
    return Members().Invoke(*this, name, args);                                                         \
  }                                                                                                     \
  const std::string* Q GetPropertyText(std::string_view name) OVERRIDE {                                \
    return Members().GetText(*this, name);                                                              \
  }                                                                                                     \
  void Q TakeProperty(std::string_view name, ::vexlo9::Variant&& value) OVERRIDE {                      \
    Members().Take(*this, name, std::move(value));                                                      \
  }
