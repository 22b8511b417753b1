#pragma once

#include <map>
#include <memory>
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
// collection types and the factories. A file sees the namespace constants of the headers it includes. Names are
// spelled as seen from one C++ namespace, "here": a name declared in another is qualified in full.
class Vocabulary {
 public:
  Vocabulary(const Binding& binding, const Package& package, const std::set<size_t>& visible, std::string here);

  // The same words as seen from another C++ namespace.
  Vocabulary In(std::string cppNamespace) const;

  const Binding& binding() const noexcept { return binding_; }
  const Package& package() const noexcept { return package_; }
  const std::string& here() const noexcept { return here_; }

  // The namespace as its constant when the file sees one, else as a literal; "" for no namespace.
  std::string Namespace(const std::string& uri) const;

  // A class, enumeration, enumerator or collection alias of the binding, qualified when declared elsewhere.
  std::string Spelled(const std::string& name) const;
  // The same, as written inside the class `owner`: qualified also when a member of the class hides it.
  std::string Qualified(const ClassType& owner, const std::string& type) const;
  // The collection type of a repeated class particle: the alias "ItemCol" when the item's output declares one.
  std::string CollectionType(const ClassType& owner, const ClassType& item) const;
  // Aliases of collection types that an output's header declares in a C++ namespace.
  std::vector<std::string> CollectionAliases(const Output& output, const std::string& cppNamespace) const;

  // The expression that reaches the factory of the class's output: "Factory()" or "<Prefix>FactoryInstance()".
  std::string FactoryCall(const ClassType& cls) const;
  // The class type number that the registry's factory gives the item, as its enumerator.
  std::string ClassTypeId(const ClassType& registry, const ClassType& item) const;

 private:
  // What every view of the words shares: built once per file.
  struct Tables {
    std::map<std::string, const NamespaceConstant*> constants;  // by URI, those the file sees
    std::map<const ClassType*, std::string> collectionAlias;
    std::map<std::string, std::string> homes;  // a declared name → its C++ namespace
  };

  std::set<std::string> MemberNames(const ClassType& cls) const;
  std::string In(const std::string& cppNamespace, const std::string& name) const;

  const Binding& binding_;
  const Package& package_;
  std::shared_ptr<const Tables> tables_;
  std::string here_;
};

}  // namespace vexlo9::xsd
