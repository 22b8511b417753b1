#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>

#include "vexlo9/model/Forward.h"
#include "vexlo9/model/Variant.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

namespace detail {
class MemberIndex;
// An object as its table's functions take it (a pointer to the class the table is of), with the table.
struct MemberAccess {
  void* self = nullptr;
  const MemberIndex* index = nullptr;
};
}  // namespace detail

// The root of every object the library reaches. Members are reached by name
// through four calls; a class answers them from a table it declares once
// (see MemberTable.h). A name the class does not have raises 438.
class VEXLO9_API Object : public std::enable_shared_from_this<Object> {
 public:
  virtual ~Object() = default;

  // The class name used in messages.
  virtual std::string TypeName() const;

  // Read a property.
  virtual Variant GetProperty(std::string_view name);
  // Write a plain value into a property.
  virtual void LetProperty(std::string_view name, const Variant& value);
  // Assign an object to a property.
  virtual void SetProperty(std::string_view name, const ObjectPtr& object);
  // Call a method; arguments are passed by reference and may come back changed.
  virtual Variant Invoke(std::string_view name, std::span<Variant> args);

  // The forms the library's readers and writers use, so that a text is neither copied out nor copied in; a class
  // answers them from its table (see MemberTable.h), any other through the calls above.
  // The property's own text when its getter returns text by reference, else nullptr (read it with GetProperty).
  virtual const std::string* GetPropertyText(std::string_view name);
  // LetProperty that may take the value's text or bytes over instead of copying them.
  virtual void TakeProperty(std::string_view name, Variant&& value);
  // The table a class answers from (see MemberTable.h), through which the library's readers and writers reach its
  // members without asking by name each time; none for a class that answers otherwise.
  virtual detail::MemberAccess TableAccess() noexcept { return {}; }

  // The library's interfaces, reached without a cast across the virtual bases: each interface answers with
  // itself, every other object with nothing.
  virtual XmlObjectBase* AsXmlObjectBase() noexcept { return nullptr; }
  virtual XmlGeneratedClass* AsXmlGeneratedClass() noexcept { return nullptr; }
  virtual XmlCollectionBase* AsXmlCollectionBase() noexcept { return nullptr; }
  virtual INillable* AsNillable() noexcept { return nullptr; }

 protected:
  Object() = default;
  Object(const Object&) = default;
  Object& operator=(const Object&) = default;
};

namespace detail {
// Objects read from a document are placed together in blocks of the reading thread's pool; a block goes back to
// the pool of the thread that frees its last object, which keeps a bounded number for the next document (see
// Global::ReleaseThreadMemory). Allocations of more than a few hundred bytes go to the heap as usual.
VEXLO9_API void* PoolAllocate(std::size_t bytes);
VEXLO9_API void PoolFree(void* block, std::size_t bytes) noexcept;
inline constexpr std::size_t kPoolAlignment = 16;

// For std::allocate_shared: the object and its count in one pooled block.
template <class T>
struct PoolAllocator {
  using value_type = T;
  PoolAllocator() noexcept = default;
  template <class U>
  PoolAllocator(const PoolAllocator<U>&) noexcept {}
  T* allocate(std::size_t count) { return static_cast<T*>(PoolAllocate(count * sizeof(T))); }
  void deallocate(T* block, std::size_t count) noexcept { PoolFree(block, count * sizeof(T)); }
  template <class U>
  bool operator==(const PoolAllocator<U>&) const noexcept {
    return true;
  }
};

template <class T, class... A>
std::shared_ptr<T> MakePooled(A&&... args) {
  if constexpr (alignof(T) > kPoolAlignment) {
    return std::make_shared<T>(std::forward<A>(args)...);
  } else {
    return std::allocate_shared<T>(PoolAllocator<T>(), std::forward<A>(args)...);
  }
}

template <class T>
T* As(Object& object) {
  if constexpr (std::is_same_v<T, XmlObjectBase>)
    return object.AsXmlObjectBase();
  else if constexpr (std::is_same_v<T, XmlGeneratedClass>)
    return object.AsXmlGeneratedClass();
  else if constexpr (std::is_same_v<T, XmlCollectionBase>)
    return object.AsXmlCollectionBase();
  else if constexpr (std::is_same_v<T, INillable>)
    return object.AsNillable();
  else if constexpr (requires { static_cast<T*>(&object); })
    // A value type (Decimal, DateTime...) is usually exactly itself: no search through the hierarchy.
    return typeid(object) == typeid(T) ? static_cast<T*>(&object) : dynamic_cast<T*>(&object);
  else
    return dynamic_cast<T*>(&object);
}
}  // namespace detail

}  // namespace vexlo9
