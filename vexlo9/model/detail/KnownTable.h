#pragma once

#include "vexlo9/model/Object.h"

namespace vexlo9::detail {

// While it lives, the members of `object` are found (GetMember and the others) without asking the object for its
// table again: reading or writing a class asks for each of its properties in turn, and TableAccess is a virtual
// call through the object's virtual base, then the class's static table. The innermost object read or written is
// known; the one before it again when that ends.
class KnownTable {
 public:
  explicit KnownTable(Object& object) noexcept;
  ~KnownTable();
  KnownTable(const KnownTable&) = delete;
  KnownTable& operator=(const KnownTable&) = delete;

 private:
  const Object* outerObject_;  // known before this one, known again at its end
  MemberAccess outerAccess_;
};

}  // namespace vexlo9::detail
