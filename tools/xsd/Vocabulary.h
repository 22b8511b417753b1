#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Binding.h"
#include "Code.h"
#include "Packaging.h"

// What every emitter of one output says alike: how it names the library's types and values, the schema's
// namespaces, the classes of other outputs and the factory.
namespace vexlo9::xsd {

using cpp::Expr;

// The library's spelling of a whitespace rule: "vexlo9::WhitespaceRule_Collapse".
std::string WhitespaceName(Whitespace rule);
// "vexlo9::type_i4".
std::string DataTypeName(const Primitive& primitive);
// The class a shared_ptr property of an object primitive points to: "vexlo9::DateTime".
std::string ObjectClass(const Primitive& primitive);
// The text with its first letter in upper case, for comments made of schema names.
std::string Capitalised(std::string text);
// A numeric default as a C++ literal, or nothing when the text is not a plain number.
std::optional<std::string> NumericLiteral(std::string text, bool integer);

// The by-name table of a class (`Members()`), with the builder's calls given.
void DefineMemberTable(cpp::Code& code, const std::string& cls, const std::vector<Expr>& rows);

// What the emitters of one file say alike: how they name the schema's namespaces, the classes of other outputs, the
// collection types and the factories. A file sees the namespace constants of the headers it includes.
class Vocabulary {
 public:
  Vocabulary(const Binding& binding, const Package& package, const Options& options, const std::set<size_t>& visible);

  const Binding& binding() const noexcept { return binding_; }
  const Package& package() const noexcept { return package_; }
  const std::string& cppNamespace() const noexcept { return cppNamespace_; }

  // The namespace as its constant when the file sees one, else as a literal; "" for no namespace.
  std::string Namespace(const std::string& uri) const;

  // A type's name as written inside the class `owner`: qualified when a member of the class hides it.
  std::string Qualified(const ClassType& owner, const std::string& type) const;
  // The collection type of a repeated class particle: the alias "ItemCol" when the item's output declares one.
  std::string CollectionType(const ClassType& owner, const ClassType& item) const;
  // Aliases of collection types that an output's header declares.
  std::vector<std::string> CollectionAliases(const Output& output) const;

  // The expression that reaches the factory of the class's output: "Factory()" or "<Prefix>FactoryInstance()".
  std::string FactoryCall(const ClassType& cls) const { return package_.outputs[cls.output].factoryAccessor + "()"; }
  // The class type number that the registry's factory gives the item, as its enumerator.
  std::string ClassTypeId(const ClassType& registry, const ClassType& item) const {
    return package_.outputs[registry.output].factory + "::k" + item.name;
  }

 private:
  std::set<std::string> MemberNames(const ClassType& cls) const;

  const Binding& binding_;
  const Package& package_;
  std::string cppNamespace_;
  std::string innerNamespace_;
  std::map<std::string, std::string> constants_;
  std::map<const ClassType*, std::string> collectionAlias_;
};

}  // namespace vexlo9::xsd
