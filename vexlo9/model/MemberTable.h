#pragma once

#include <atomic>
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

struct MemberEntry;
struct ValueToText;  // values/detail/ValueText.h
struct TextToValue;  // values/detail/ValueText.h

// The types primitive values are held as, each applied to X.
// clang-format off
#define VEXLO9_HELD_TEXT_TYPES(X)                                                       \
  X(const std::string&) X(bool) X(uint8_t) X(int16_t) X(int32_t) X(float) X(double)     \
  X(const std::shared_ptr<Decimal>&) X(const std::shared_ptr<BigInteger>&)              \
  X(const std::shared_ptr<DateTime>&) X(const std::shared_ptr<DateTimeSpan>&)           \
  X(const std::shared_ptr<BinaryData>&)
// clang-format on

// A property's value as a descriptor writes it, held as its type holds values: checked and converted to text as
// for the Variant of it, without one. false leaves the value to the Variant's way (and its errors): a type that
// holds its values otherwise, or a null object. The text of a string is a view of `value`, `storage` untouched.
#define VEXLO9_HELD_TEXT_(Held) \
  VEXLO9_API bool HeldText(const ValueToText& how, Held value, std::string& storage, std::string_view& text);
VEXLO9_HELD_TEXT_TYPES(VEXLO9_HELD_TEXT_)
#undef VEXLO9_HELD_TEXT_

// A value read from text as the reader reads it for a property, into the type its primitive type holds values as,
// with the same errors, without a Variant. false, with nothing read, for a type that holds its values otherwise.
#define VEXLO9_HELD_FROM_TEXT_(Held) \
  VEXLO9_API bool HeldFromText(const TextToValue& how, std::string_view text, std::remove_cvref_t<Held>& value);
VEXLO9_HELD_TEXT_TYPES(VEXLO9_HELD_FROM_TEXT_)
#undef VEXLO9_HELD_FROM_TEXT_

// The getter results HeldText takes as they are (no conversion picks an overload).
#define VEXLO9_HELD_TEXT_TAKES_(Held) || std::is_same_v<T, std::remove_cvref_t<Held>>
template <class T>
constexpr bool kHeldTextTakes = false VEXLO9_HELD_TEXT_TYPES(VEXLO9_HELD_TEXT_TAKES_);
#undef VEXLO9_HELD_TEXT_TAKES_

// What an entry calls, given the object as a pointer to the table's class (see MemberAccess).
using MemberGetFn = Variant (*)(void* self, const MemberEntry&);
using MemberPutFn = void (*)(void* self, const MemberEntry&, const Variant&);
using MemberCallFn = Variant (*)(void* self, const MemberEntry&, std::span<Variant>);
using MemberTextFn = const std::string* (*)(void* self, const MemberEntry&);  // a getter returning text by reference
using MemberTakeFn = void (*)(void* self, const MemberEntry&, Variant&&);     // let that may move the value in
using MemberFlagFn = bool (*)(void* self, const MemberEntry&);                // a getter returning bool
using MemberHeldTextFn = bool (*)(void* self, const MemberEntry&, const ValueToText&, std::string& storage,
                                  std::string_view& text);  // HeldText of the getter's value
using MemberTakeTextFn = bool (*)(void* self, const MemberEntry&, const TextToValue&,
                                  std::string_view text);  // the setter given HeldFromText of the text

// One member of any class's table: the tables of all classes share one entry type and one look-up, compiled once in
// the library; the functions are instantiated once per class and member signature, the member functions they call
// held as data.
struct MemberEntry {
  std::string name;
  MemberGetFn get = nullptr;
  MemberPutFn let = nullptr;
  MemberPutFn set = nullptr;
  MemberCallFn call = nullptr;
  MemberTextFn text = nullptr;
  MemberTakeFn take = nullptr;
  MemberHeldTextFn heldText = nullptr;
  MemberTakeTextFn takeText = nullptr;
  MemberFlagFn flag = nullptr;
  MemberSlot getter;  // the getter, or the method called
  MemberSlot putter;
  const MemberEntry* base = nullptr;  // the base table's entry that inherited pointers forward to
  std::shared_ptr<const void> functions;  // what Custom was given
};

// The entries of a table and their look-up by name.
class VEXLO9_API MemberIndex {
 public:
  explicit MemberIndex(std::vector<MemberEntry> entries);
  // A look-up hashes the name once and, but for a rare collision, compares one name.
  const MemberEntry* Find(std::string_view name) const noexcept;
  const std::vector<MemberEntry>& Entries() const noexcept { return entries_; }
  // Tells the tables apart where a MemberName remembers one; never 0.
  uint32_t Id() const noexcept { return id_; }

 private:
  std::vector<MemberEntry> entries_;
  std::vector<uint32_t> slots_;  // 1 + an entry's index, 0 for none; at least twice as many as the entries
  int shift_ = 62;
  uint32_t id_;
};

// A member's name as a descriptor holds it, which remembers where the last table asked had it: the descriptors of
// a class ask the same table for the same names on every value read or written, and find each once.
class VEXLO9_API MemberName {
 public:
  MemberName() = default;
  MemberName(std::string name) : name_(std::move(name)) {}  // NOLINT: descriptors are declared with plain names
  MemberName(const MemberName& other) : name_(other.name_) {}
  MemberName& operator=(const MemberName& other) {
    name_ = other.name_;
    last_.store(0, std::memory_order_relaxed);
    return *this;
  }

  operator std::string_view() const noexcept { return name_; }
  friend bool operator==(const MemberName& a, std::string_view b) noexcept { return a.name_ == b; }
  // The entry of this name in the table, or nullptr.
  const MemberEntry* In(const MemberIndex& index) const noexcept;

 private:
  std::string name_;
  mutable std::atomic<uint64_t> last_{0};  // the table's Id above, 1 + the entry's position below; 0: none yet
};

// A member read or written by a name a descriptor holds: through the object's table, where it has one, found once
// per name and class; else by name, as the Object calls do (and with their errors).
VEXLO9_API Variant GetMember(Object& object, const MemberName& name);
VEXLO9_API const std::string* GetMemberText(Object& object, const MemberName& name);
// A bool member (an optional property's IsValid) without a Variant where the getter returns bool; else as
// GetMember(...).ToBoolean().
VEXLO9_API bool GetMemberFlag(Object& object, const MemberName& name);
// HeldText of the member's getter; false also for an object without a table or a getter of another type.
VEXLO9_API bool GetMemberHeldText(Object& object, const MemberName& name, const ValueToText& how, std::string& storage,
                                  std::string_view& text);
VEXLO9_API void LetMember(Object& object, const MemberName& name, const Variant& value);
VEXLO9_API void TakeMember(Object& object, const MemberName& name, Variant&& value);
// The member's setter given HeldFromText of the text; false, with nothing read or set, where the setter takes another
// type (or the object has no table), which then goes the Variant's way.
VEXLO9_API bool TakeMemberText(Object& object, const MemberName& name, const TextToValue& how, std::string_view text);
VEXLO9_API void SetMember(Object& object, const MemberName& name, const ObjectPtr& value);
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
  using GetFn = detail::MemberGetFn;
  using PutFn = detail::MemberPutFn;
  using CallFn = detail::MemberCallFn;
  using TextFn = detail::MemberTextFn;
  using TakeFn = detail::MemberTakeFn;

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
        entry.let = entry.set = &PutVia<P, B2>;
      } else if constexpr (IsSharedPtr<T>::value) {
        entry.set = &PutVia<P, B2>;
      } else {
        entry.let = &PutVia<P, B2>;
      }
      // A setter taking text, bytes or a Variant by value can have the reader's value moved in.
      if constexpr (std::is_same_v<P, std::string> || std::is_same_v<P, ByteArray> || std::is_same_v<P, Variant>) {
        entry.take = &TakeVia<P, B2>;
      }
      // One taking a type values are held as can be given the value read, made from the text straight away.
      if constexpr (detail::kHeldTextTakes<T> && (std::is_same_v<P, T> || std::is_same_v<P, const T&>)) {
        entry.takeText = &TakeTextVia<P, B2>;
      }
      return *this;
    }

    template <class R, class B1>
    Builder& ReadOnly(std::string_view name, R (B1::*get)() const) {
      static_assert(std::is_base_of_v<B1, C>);
      Entry& entry = Slot(name);
      entry.getter = detail::MemberSlot::Of(get);
      entry.get = &GetVia<R, B1>;
      if constexpr (std::is_same_v<R, const std::string&>) entry.text = &TextVia<B1>;
      if constexpr (detail::kHeldTextTakes<std::remove_cvref_t<R>>) entry.heldText = &HeldTextVia<R, B1>;
      if constexpr (std::is_same_v<R, bool>) entry.flag = &FlagVia<B1>;
      return *this;
    }

    template <class R, class B, class... A>
    Builder& Method(std::string_view name, R (B::*method)(A...)) {
      static_assert(std::is_base_of_v<B, C>);
      Entry& entry = Slot(name);
      entry.getter = detail::MemberSlot::Of(method);
      entry.call = &CallVia<R (B::*)(A...), R, A...>;
      return *this;
    }

    template <class R, class B, class... A>
    Builder& Method(std::string_view name, R (B::*method)(A...) const) {
      static_assert(std::is_base_of_v<B, C>);
      Entry& entry = Slot(name);
      entry.getter = detail::MemberSlot::Of(method);
      entry.call = &CallVia<R (B::*)(A...) const, R, A...>;
      return *this;
    }

    // Any of the four call kinds given directly; an empty function leaves that kind out.
    Builder& Custom(std::string_view name, Getter get, Putter let = {}, Putter set = {}, Caller call = {}) {
      Entry& entry = Slot(name);
      auto functions = std::make_shared<Functions>(entry.functions ? FunctionsOf(entry) : Functions{});
      if (get) {
        functions->get = std::move(get);
        entry.get = &CustomGet;
        // The typed ways would call the getter the entry held before, not the function given here.
        entry.text = nullptr;
        entry.heldText = nullptr;
        entry.flag = nullptr;
      }
      // The typed ways would call the setter the entry held before.
      if (let) functions->let = std::move(let), entry.let = &CustomLet, entry.take = nullptr, entry.takeText = nullptr;
      if (set) functions->set = std::move(set), entry.set = &CustomSet, entry.takeText = nullptr;
      if (call) functions->call = std::move(call), entry.call = &CustomCall;
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
        entry.get = from.get ? &BaseGet<B> : nullptr;
        entry.let = from.let ? &BaseLet<B> : nullptr;
        entry.set = from.set ? &BaseSet<B> : nullptr;
        entry.call = from.call ? &BaseCall<B> : nullptr;
        entry.text = from.text ? &BaseText<B> : nullptr;
        entry.take = from.take ? &BaseTake<B> : nullptr;
        entry.heldText = from.heldText ? &BaseHeldText<B> : nullptr;
        entry.takeText = from.takeText ? &BaseTakeText<B> : nullptr;
        entry.flag = from.flag ? &BaseFlag<B> : nullptr;
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

    static C& Self(void* self) noexcept { return *static_cast<C*>(self); }

    template <class R, class B>
    static Variant GetVia(void* self, const Entry& e) {
      return ToVariant((Self(self).*e.getter.template As<R (B::*)() const>())());
    }
    template <class B>
    static const std::string* TextVia(void* self, const Entry& e) {
      return &(Self(self).*e.getter.template As<const std::string& (B::*)() const>())();
    }
    template <class R, class B>
    static bool HeldTextVia(void* self, const Entry& e, const detail::ValueToText& how, std::string& storage,
                            std::string_view& text) {
      const auto get = e.getter.template As<R (B::*)() const>();
      if constexpr (std::is_same_v<R, std::string>) {
        // Text got by value is kept in storage, which the text is then a view of.
        storage = (Self(self).*get)();
        return detail::HeldText(how, std::as_const(storage), storage, text);
      } else {
        return detail::HeldText(how, (Self(self).*get)(), storage, text);
      }
    }
    template <class B>
    static bool FlagVia(void* self, const Entry& e) {
      return (Self(self).*e.getter.template As<bool (B::*)() const>())();
    }
    template <class P, class B>
    static void PutVia(void* self, const Entry& e, const Variant& v) {
      using T = std::decay_t<P>;
      const auto put = e.putter.template As<void (B::*)(P)>();
      // A setter taking text or bytes by const reference gets the Variant's own, not a copy.
      constexpr bool kHeldAsIs = std::is_same_v<T, std::string> || std::is_same_v<T, ByteArray>;
      if constexpr (kHeldAsIs && std::is_same_v<P, const T&>) {
        if (const T* held = v.GetIf<T>()) return (Self(self).*put)(*held);
      }
      (Self(self).*put)(FromVariant<T>(v));
    }
    template <class P, class B>
    static void TakeVia(void* self, const Entry& e, Variant&& v) {
      (Self(self).*e.putter.template As<void (B::*)(P)>())(FromVariant<P>(std::move(v)));
    }
    template <class P, class B>
    static bool TakeTextVia(void* self, const Entry& e, const detail::TextToValue& how, std::string_view text) {
      std::decay_t<P> value{};
      if (!detail::HeldFromText(how, text, value)) return false;
      (Self(self).*e.putter.template As<void (B::*)(P)>())(std::move(value));
      return true;
    }
    template <class M, class R, class... A>
    static Variant CallVia(void* self, const Entry& e, std::span<Variant> args) {
      if (args.size() != sizeof...(A)) detail::ThrowWrongArgumentCount(Self(self), e.name);
      const M method = e.getter.template As<M>();
      return Call<R, A...>([&](auto&&... a) -> R { return (Self(self).*method)(std::forward<decltype(a)>(a)...); },
                           args, std::index_sequence_for<A...>());
    }

    static const Functions& FunctionsOf(const Entry& e) { return *static_cast<const Functions*>(e.functions.get()); }
    static Variant CustomGet(void* self, const Entry& e) { return FunctionsOf(e).get(Self(self)); }
    static void CustomLet(void* self, const Entry& e, const Variant& v) { FunctionsOf(e).let(Self(self), v); }
    static void CustomSet(void* self, const Entry& e, const Variant& v) { FunctionsOf(e).set(Self(self), v); }
    static Variant CustomCall(void* self, const Entry& e, std::span<Variant> a) {
      return FunctionsOf(e).call(Self(self), a);
    }

    // An inherited member: the base class's own function, given the object as that class.
    template <class B>
    static void* AsBase(void* self) noexcept {
      return static_cast<B*>(&Self(self));
    }
    template <class B>
    static Variant BaseGet(void* self, const Entry& e) {
      return e.base->get(AsBase<B>(self), *e.base);
    }
    template <class B>
    static void BaseLet(void* self, const Entry& e, const Variant& v) {
      e.base->let(AsBase<B>(self), *e.base, v);
    }
    template <class B>
    static void BaseSet(void* self, const Entry& e, const Variant& v) {
      e.base->set(AsBase<B>(self), *e.base, v);
    }
    template <class B>
    static Variant BaseCall(void* self, const Entry& e, std::span<Variant> a) {
      return e.base->call(AsBase<B>(self), *e.base, a);
    }
    template <class B>
    static const std::string* BaseText(void* self, const Entry& e) {
      return e.base->text(AsBase<B>(self), *e.base);
    }
    template <class B>
    static bool BaseHeldText(void* self, const Entry& e, const detail::ValueToText& how, std::string& storage,
                             std::string_view& text) {
      return e.base->heldText(AsBase<B>(self), *e.base, how, storage, text);
    }
    template <class B>
    static bool BaseTakeText(void* self, const Entry& e, const detail::TextToValue& how, std::string_view text) {
      return e.base->takeText(AsBase<B>(self), *e.base, how, text);
    }
    template <class B>
    static bool BaseFlag(void* self, const Entry& e) {
      return e.base->flag(AsBase<B>(self), *e.base);
    }
    template <class B>
    static void BaseTake(void* self, const Entry& e, Variant&& v) {
      e.base->take(AsBase<B>(self), *e.base, std::move(v));
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
    return entry->get(&self, *entry);
  }

  void Let(C& self, std::string_view name, const Variant& value) const {
    const Entry* entry = index_.Find(name);
    if (!entry || !entry->let) detail::ThrowNoSuchMember(self, name);
    entry->let(&self, *entry, value);
  }

  void Take(C& self, std::string_view name, Variant&& value) const {
    const Entry* entry = index_.Find(name);
    if (!entry || !entry->let) detail::ThrowNoSuchMember(self, name);
    if (!entry->take) return entry->let(&self, *entry, value);
    entry->take(&self, *entry, std::move(value));
  }

  // nullptr when the member is not read as text by reference (or is no member).
  const std::string* GetText(C& self, std::string_view name) const {
    const Entry* entry = index_.Find(name);
    return entry && entry->text ? entry->text(&self, *entry) : nullptr;
  }

  void Set(C& self, std::string_view name, const ObjectPtr& object) const {
    const Entry* entry = index_.Find(name);
    if (!entry || !entry->set) detail::ThrowNoSuchMember(self, name);
    entry->set(&self, *entry, Variant(object));
  }

  Variant Invoke(C& self, std::string_view name, std::span<Variant> args) const {
    const Entry* entry = index_.Find(name);
    if (!entry || !entry->call) detail::ThrowNoSuchMember(self, name);
    return entry->call(&self, *entry, args);
  }

  bool Has(std::string_view name) const { return index_.Find(name) != nullptr; }
  const detail::MemberIndex& Index() const noexcept { return index_; }

 private:
  template <class>
  friend class MemberTable;

  explicit MemberTable(detail::MemberIndex index) : index_(std::move(index)) {}

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
  ::vexlo9::detail::MemberAccess TableAccess() noexcept override;                         \
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
  }                                                                                                     \
  ::vexlo9::detail::MemberAccess Q TableAccess() noexcept OVERRIDE {                                    \
    return {static_cast<Class*>(this), &Members().Index()};                                             \
  }
