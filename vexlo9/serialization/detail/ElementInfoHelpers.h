#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vexlo9/collections/detail/ReadRules.h"
#include "vexlo9/model/Forward.h"
#include "vexlo9/model/MemberTable.h"
#include "vexlo9/model/Variant.h"
#include "vexlo9/serialization/Declarations.h"
#include "vexlo9/serialization/detail/AttributeInfo.h"
#include "vexlo9/serialization/detail/ElementInfo.h"
#include "vexlo9/values/RestrictionChecks.h"
#include "vexlo9/values/XmlDataType.h"
#include "vexlo9/values/detail/Unions.h"

// The routines every element and attribute descriptor shares.
namespace vexlo9::detail {

class ListValue;

// The facets of a declaration by name as the checks take them: the first pattern given, then the others.
PrimitiveRestrictions RestrictionsOf(const Facets& facets);

// The member types of a union, as the checks take them.
UnionRules UnionRulesOf(std::initializer_list<UnionMember> members);

// A primitive property's text as it is written: a string property's own text (no copy), any other value converted.
// With facets, the value is checked against them first. Not copyable: the text may point into it.
class PropertyText {
 public:
  PropertyText(Object& oGenClass, const MemberName& sPropertyName, XmlDataType eDataType, std::string_view format,
               std::string_view sItemName, const PrimitiveRestrictions* facets);
  PropertyText(const PropertyText&) = delete;
  PropertyText& operator=(const PropertyText&) = delete;
  std::string_view text() const noexcept { return text_; }

 private:
  Variant value_;
  std::string storage_;
  std::string_view text_;
};

// A declaration's default or fixed value. An element read empty takes it (and is written empty again while it holds
// it); a fixed value is also the only one a document may give.
class ValueConstraint {
 public:
  ValueConstraint() = default;
  ValueConstraint(std::string_view text, bool fixed) : text_(text), given_(fixed || !text.empty()), fixed_(fixed) {}

  bool Given() const noexcept { return given_; }
  bool Fixed() const noexcept { return fixed_; }
  const std::string& Text() const noexcept { return text_; }
  // The text of `element` as read: its own, or this value's when it holds nothing at all, which marks the property
  // of the object as read empty.
  std::string_view TextOf(Object& oGenClass, std::string_view property, XmlNode element, std::string& storage) const;
  // Whether the property's element was read empty (TextOf), so that it is written so while it holds this value.
  static bool ReadEmpty(Object& oGenClass, std::string_view property);

 private:
  std::string text_;
  bool given_ = false;
  bool fixed_ = false;
};

// The constraint of the element a class is read or written under, handed from the element's descriptor to the
// class's simple content, which does not know the element it stands for: to the class read or written next, which
// takes it as it starts (TakenConstraint) so that nothing inside it sees it, or to each item of a repeated element.
class GivenConstraint {
 public:
  enum class To { Element, Items };
  explicit GivenConstraint(const ValueConstraint& constraint, To to = To::Element) noexcept;
  ~GivenConstraint();
  GivenConstraint(const GivenConstraint&) = delete;
  GivenConstraint& operator=(const GivenConstraint&) = delete;

 private:
  const ValueConstraint*& slot_;
  const ValueConstraint* previous_;
};

// What the class starting now was handed: its element's constraint, or its collection's for each item, or nothing.
// Nothing inside the class sees either; the collection's is there again for the next item.
class TakenConstraint {
 public:
  TakenConstraint() noexcept;
  ~TakenConstraint();
  TakenConstraint(const TakenConstraint&) = delete;
  TakenConstraint& operator=(const TakenConstraint&) = delete;
  const ValueConstraint* get() const noexcept { return taken_; }

 private:
  const ValueConstraint* taken_;
  const ValueConstraint* items_;
};

// The value of a constraint's text, made once by its declaration; nothing when there is no constraint.
Variant ConstraintValue(XmlDataType eDataType, const ValueConstraint& constraint, WhitespaceRule eWSRule);

// Raises NotFixedValue for the value `read` of `name` unless it is the `same` value as the fixed one, `fixedText`.
void CheckFixedValue(std::string_view name, std::string_view read, std::string_view fixedText, bool same);

// The typed collection a list's property holds; 91 when there is none, 13 when it holds something else.
ListValue& ListOf(Object& oGenClass, const MemberName& sPropertyName);

// Stores a value read from XML: assigned when it is an object, written otherwise (its text moved in).
void StoreValue(Object& oGenClass, const MemberName& sPropertyName, Variant&& value);

// Writes the child object held in a property; false when there is none.
bool WriteClassElement(const XmlSerializationContext& oContext, Object& oGenClass, XmlTextWriter& oXmlOut,
                       const MemberName& sPropertyName, std::string_view sElementName,
                       std::string_view sElementNamespace, bool isOptionalChoice);
// The generated project's factory, from the parent object's registry.
Object& FactoryOf(Object& oGenClass);
// The generated project's enumeration converter, fetched afresh from the parent object's factory.
ObjectPtr EnumConverterOf(Object& oGenClass);
ObjectPtr CreateNamedChild(std::string_view sElementName, int32_t iClassTypeID, Object& factory);
ObjectPtr CreateChildForElement(std::string_view sCreateClassMethodName, XmlNode oElement, Object& factory);

}  // namespace vexlo9::detail
