#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Binding.h"
#include "Code.h"

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

class Vocabulary {
 public:
  Vocabulary(const Binding& binding, const Options& options, size_t output);

  const Binding& binding() const noexcept { return binding_; }
  const Output& output() const noexcept { return out_; }
  size_t index() const noexcept { return index_; }
  const std::string& cppNamespace() const noexcept { return cppNamespace_; }

  // The namespace as its constant when the output sees one, else as a literal; "" for no namespace.
  std::string Namespace(const std::string& uri) const;
  // The namespace constants this output defines, in order.
  const std::vector<std::pair<std::string, std::string>>& OwnConstants() const noexcept { return ownConstants_; }

  // A type's name as written inside the class `owner`: qualified when a member of the class hides it.
  std::string Qualified(const ClassType& owner, const std::string& type) const;
  // The collection type of a repeated class particle: the alias "ItemCol" when there is one.
  std::string CollectionType(const ClassType& owner, const ClassType& item) const;
  // Aliases of collection types that this output's header declares.
  std::vector<std::string> CollectionAliases() const;

  // The expression that reaches the factory: "Factory()" or "<Prefix>FactoryInstance()".
  std::string FactoryCall() const { return factoryAccessor_ + "()"; }
  const std::string& FactoryAccessor() const noexcept { return factoryAccessor_; }
  // The class type number CreateNamedClass receives for the class, as the factory's enumerator.
  std::string ClassTypeId(const ClassType& cls) const { return out_.factory + "::k" + cls.name; }

 private:
  std::set<std::string> MemberNames(const ClassType& cls) const;

  const Binding& binding_;
  const Output& out_;
  const size_t index_;
  std::string cppNamespace_;
  std::string innerNamespace_;
  std::string factoryAccessor_;
  std::vector<std::pair<std::string, std::string>> ownConstants_;
  std::map<std::string, std::string> constants_;
  std::map<const ClassType*, std::string> collectionAlias_;
};

}  // namespace vexlo9::xsd
