#include "vexlo9/model/Object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

#include "vexlo9/model/IndexedList.h"
#include "vexlo9/model/MemberTable.h"
#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9 {

std::string Object::TypeName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                        &std::free);
  std::string name = status == 0 && demangled ? demangled.get() : mangled;
  // Messages name the class, not its C++ scope or template arguments.
  const auto templateStart = name.find('<');
  const auto scopeEnd = name.rfind("::", templateStart);
  if (scopeEnd != std::string::npos) name.erase(0, scopeEnd + 2);
  return name;
}

Variant Object::GetProperty(std::string_view name) { throw errors::NoSuchMember(TypeName(), name); }

void Object::LetProperty(std::string_view name, const Variant&) { throw errors::NoSuchMember(TypeName(), name); }

void Object::SetProperty(std::string_view name, const ObjectPtr&) { throw errors::NoSuchMember(TypeName(), name); }

Variant Object::Invoke(std::string_view name, std::span<Variant>) { throw errors::NoSuchMember(TypeName(), name); }

const std::string* Object::GetPropertyText(std::string_view) { return nullptr; }

void Object::TakeProperty(std::string_view name, Variant&& value) { LetProperty(name, value); }

// The raise points of the model's templates, kept out of their headers.
namespace detail {

void ThrowSubscriptOutOfRange(std::string_view source) { throw errors::SubscriptOutOfRange(std::string(source)); }

void ThrowNoSuchMember(const Object& self, std::string_view name) { throw errors::NoSuchMember(self.TypeName(), name); }

void ThrowWrongArgumentCount(const Object& self, std::string_view name) {
  throw errors::WrongArgumentCount(self.TypeName(), name);
}

}  // namespace detail
}  // namespace vexlo9
