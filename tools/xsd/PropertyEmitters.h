#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Binding.h"
#include "Code.h"
#include "Vocabulary.h"

// One emitter per kind of property a generated class holds. The class emitter asks every property the same
// questions in the same order; what differs between a value, an enumeration, a class, untyped content, an attribute
// or the class's own text lives in one class each.
namespace vexlo9::xsd {

// The class being written, as its properties see it.
struct ClassScope {
  const Vocabulary& words;
  const ClassType& cls;
  std::map<std::string, std::string> fields;  // accessor → the data member behind it

  const std::string& Field(const std::string& accessor) const { return fields.at(accessor); }
  bool Choice() const noexcept { return cls.group == Group::Choice; }
};

class PropertyEmitter {
 public:
  explicit PropertyEmitter(const ClassScope& scope) : scope_(scope) {}
  virtual ~PropertyEmitter() = default;
  PropertyEmitter(const PropertyEmitter&) = delete;
  PropertyEmitter& operator=(const PropertyEmitter&) = delete;

  // The accessors it declares, for the class to name their data members.
  virtual std::vector<std::string> Accessors() const = 0;
  // In the class: the accessors' declarations, then the data members.
  virtual void DeclareAccessors(cpp::Code& code) const = 0;
  virtual std::vector<std::string> Fields() const = 0;
  // Statements of Init that give the data members their initial values.
  virtual std::vector<Expr> Init() const = 0;
  // The declarations that describe it to the library, as calls on `info` ("info->" or "info.").
  virtual std::vector<Expr> Declarations(const std::string& info) const = 0;
  // Calls of the by-name table's builder.
  virtual std::vector<Expr> MemberRows() const = 0;
  virtual void DefineAccessors(cpp::Code& code) const = 0;

 protected:
  const ClassScope& scope_;
};

// The emitters of a class's own properties, in declaration order: nil, elements, attributes, text, choice.
std::vector<std::unique_ptr<PropertyEmitter>> PropertiesOf(const ClassScope& scope);

// Whether the class declares what its base does not have: nil, text, the choice's selection.
bool DeclaresNil(const ClassType& cls);
bool DeclaresText(const ClassType& cls);
bool DeclaresChoice(const ClassType& cls);

}  // namespace vexlo9::xsd
