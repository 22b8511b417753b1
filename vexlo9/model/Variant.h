#pragma once

#include <concepts>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "vexlo9/platform/Export.h"
#include "vexlo9/platform/XmlDom.h"

namespace vexlo9 {

class Object;
using ObjectPtr = std::shared_ptr<Object>;
using ByteArray = std::vector<uint8_t>;

namespace detail {
// The object as T, or nullptr (defined in Object.h).
template <class T>
T* As(Object& object);
}  // namespace detail

// The tagged value in which members are read and written by name. Conversions
// between kinds follow the classic late-binding runtime: text to number takes
// decimal text with surrounding blanks and rounds a fraction to the nearest
// integer, ties to even (13 when it is no number, 6 when it does not fit); an
// object where a plain value is needed, or the reverse, is 13.
class VEXLO9_API Variant {
 public:
  enum class Kind { Empty, Boolean, Byte, Integer, Long, Single, Double, String, Bytes, Object, Node };

  Variant() noexcept = default;
  Variant(bool v) noexcept : value_(v) {}
  Variant(uint8_t v) noexcept : value_(v) {}
  Variant(int16_t v) noexcept : value_(v) {}
  Variant(int32_t v) noexcept : value_(v) {}
  // Any other integer is a Long; one beyond 32 bits raises 6 "Overflow", as the platform narrows.
  template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char> && !std::same_as<T, uint8_t> &&
             !std::same_as<T, int16_t> && !std::same_as<T, int32_t>)
  Variant(T v) : value_(Narrow(v)) {}
  Variant(float v) noexcept : value_(v) {}
  Variant(double v) noexcept : value_(v) {}
  Variant(std::string v) noexcept : value_(std::move(v)) {}
  Variant(std::string_view v) : value_(std::string(v)) {}
  Variant(const char* v) : value_(std::string(v)) {}
  Variant(ByteArray v) noexcept : value_(std::move(v)) {}
  Variant(XmlNode v) noexcept : value_(v) {}
  Variant(std::nullptr_t) noexcept : value_(ObjectPtr()) {}
  template <class T, class = std::enable_if_t<std::is_convertible_v<T*, Object*>>>
  Variant(std::shared_ptr<T> v) noexcept : value_(ObjectPtr(std::move(v))) {}

  // The empty object reference, told apart from the empty Variant.
  static Variant Nothing() noexcept { return Variant(nullptr); }

  Kind kind() const noexcept { return static_cast<Kind>(value_.index()); }
  bool IsEmpty() const noexcept { return kind() == Kind::Empty; }
  bool IsObject() const noexcept { return kind() == Kind::Object; }
  // An object reference that refers to nothing.
  bool IsNothing() const noexcept { return IsObject() && !std::get<ObjectPtr>(value_); }

  bool ToBoolean() const;
  uint8_t ToByte() const;
  int16_t ToInteger() const;
  int32_t ToLong() const;
  float ToSingle() const;
  double ToDouble() const;
  std::string ToString() const;
  ByteArray ToBytes() const;
  // The object reference (possibly nothing); 13 for a plain value.
  ObjectPtr ToObject() const;
  XmlNode ToNode() const;

  // The object as T, nothing when the reference is nothing; 13 when it is a
  // plain value or an object of another class.
  template <class T>
  std::shared_ptr<T> ToObjectOf() const {
    ObjectPtr object = ToObject();
    if (!object) return nullptr;
    T* typed = detail::As<T>(*object);
    if (!typed) ThrowTypeMismatch();
    return std::shared_ptr<T>(std::move(object), typed);
  }

  // Direct access without conversion; nullptr when the kind differs.
  template <class T>
  const T* GetIf() const noexcept {
    return std::get_if<T>(&value_);
  }
  template <class T>
  T* GetIf() noexcept {
    return std::get_if<T>(&value_);
  }

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  [[noreturn]] static void ThrowTypeMismatch();
  [[noreturn]] static void ThrowOverflow();
  template <class T>
  static int32_t Narrow(T v) {
    if (!std::in_range<int32_t>(v)) ThrowOverflow();
    return static_cast<int32_t>(v);
  }

  std::variant<std::monostate, bool, uint8_t, int16_t, int32_t, float, double, std::string, ByteArray,
               ObjectPtr, XmlNode>
      value_;
};

// Converts a Variant to the C++ type of a member's argument or result.
template <class T>
T FromVariant(const Variant& v) {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::is_same_v<U, Variant>) return v;
  else if constexpr (std::is_same_v<U, bool>) return v.ToBoolean();
  else if constexpr (std::is_same_v<U, uint8_t>) return v.ToByte();
  else if constexpr (std::is_same_v<U, int16_t>) return v.ToInteger();
  else if constexpr (std::is_same_v<U, int32_t>) return v.ToLong();
  else if constexpr (std::is_same_v<U, float>) return v.ToSingle();
  else if constexpr (std::is_same_v<U, double>) return v.ToDouble();
  else if constexpr (std::is_same_v<U, std::string>) return v.ToString();
  else if constexpr (std::is_same_v<U, ByteArray>) return v.ToBytes();
  else if constexpr (std::is_same_v<U, XmlNode>) return v.ToNode();
  else if constexpr (std::is_same_v<U, ObjectPtr>) return v.ToObject();
  else if constexpr (std::is_enum_v<U>) return static_cast<U>(v.ToLong());
  else {
    static_assert(std::is_convertible_v<typename U::element_type*, Object*>,
                  "a member's type must be a plain value, a Variant or a shared_ptr to an Object");
    return v.ToObjectOf<typename U::element_type>();
  }
}

// As above, but a Variant, text or bytes held as they are asked for is taken over rather than copied.
template <class T>
T FromVariant(Variant&& v) {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::is_same_v<U, Variant>) {
    return std::move(v);
  } else if constexpr (std::is_same_v<U, std::string> || std::is_same_v<U, ByteArray>) {
    if (U* held = v.GetIf<U>()) return std::move(*held);
  }
  return FromVariant<T>(std::as_const(v));
}

template <class T>
Variant ToVariant(T&& value) {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::is_enum_v<U>) return Variant(static_cast<int32_t>(value));
  else return Variant(std::forward<T>(value));
}

}  // namespace vexlo9
