#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "vexlo9/model/Variant.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

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

 protected:
  Object() = default;
  Object(const Object&) = default;
  Object& operator=(const Object&) = default;
};

}  // namespace vexlo9
