#include "Vocabulary.h"

#include <cctype>

namespace vexlo9::xsd {

std::string WhitespaceName(Whitespace rule) {
  switch (rule) {
    case Whitespace::Collapse: return "vexlo9::WhitespaceRule_Collapse";
    case Whitespace::Replace: return "vexlo9::WhitespaceRule_Replace";
    case Whitespace::Preserve: break;
  }
  return "vexlo9::WhitespaceRule_Preserve";
}

std::string DataTypeName(const Primitive& primitive) { return "vexlo9::type_" + std::string(primitive.name); }

std::string ObjectClass(const Primitive& primitive) {
  const std::string& held = primitive.cppType;  // std::shared_ptr<...>
  const size_t open = held.find('<');
  return held.substr(open + 1, held.size() - open - 2);
}

std::string Capitalised(std::string text) {
  if (!text.empty()) text.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(text.front())));
  return text;
}

std::optional<std::string> NumericLiteral(std::string text, bool integer) {
  if (!text.empty() && text.front() == '+') text.erase(0, 1);
  const size_t digits = text.find_first_not_of("-");
  if (digits == std::string::npos || digits > 1 || text.size() == digits) return std::nullopt;
  const std::string_view allowed = integer ? "0123456789" : "0123456789.eE-+";
  if (text.find_first_not_of(allowed, digits) != std::string::npos) return std::nullopt;
  if (!std::isdigit(static_cast<unsigned char>(text[digits]))) return std::nullopt;
  // Leading zeros would make an octal literal.
  while (text.size() > digits + 1 && text[digits] == '0' &&
         std::isdigit(static_cast<unsigned char>(text[digits + 1]))) {
    text.erase(digits, 1);
  }
  return text;
}

void DefineMemberTable(cpp::Code& code, const std::string& cls, const std::vector<Expr>& rows) {
  std::vector<Expr> calls = rows;
  calls.emplace_back(".Build()");
  code.Line("const vexlo9::MemberTable<" + cls + ">& " + cls + "::Members() {");
  code.Indented(2, [&] {
    code.Chain("static const auto table =", "vexlo9::MemberTable<" + cls + ">::Builder()", calls);
    code.Line("return table;");
  });
  code.Line("}");
}

Vocabulary::Vocabulary(const Binding& binding, const Package& package, const Options& options,
                       const std::set<size_t>& visible)
    : binding_(binding), package_(package), cppNamespace_(options.cppNamespace) {
  const size_t colon = cppNamespace_.rfind("::");
  innerNamespace_ = colon == std::string::npos ? cppNamespace_ : cppNamespace_.substr(colon + 2);
  for (const auto& [uri, constant] : package.namespaceConstants) {
    if (visible.count(constant.output)) constants_[uri] = constant.name;
  }
  // A class held in a collection gets a name for it, "ItemCol", unless that name is taken.
  std::set<std::string> taken;
  for (const ClassType& cls : binding.classes) taken.insert(cls.name);
  for (const EnumType& e : binding.enums) taken.insert(e.name);
  for (const ClassType& cls : binding.classes) {
    for (const ElementProperty& p : cls.particles) {
      if (p.occurs == Cardinality::Repeated && p.type && !taken.count(p.type->name + "Col")) {
        collectionAlias_[p.type] = p.type->name + "Col";
      }
    }
  }
}

std::string Vocabulary::Namespace(const std::string& uri) const {
  if (uri.empty()) return "\"\"";
  const auto it = constants_.find(uri);
  return it == constants_.end() ? cpp::Quote(uri) : it->second;
}

std::set<std::string> Vocabulary::MemberNames(const ClassType& cls) const {
  std::set<std::string> names;
  for (const ClassType* c = &cls; c; c = c->base) {
    for (const ElementProperty& p : c->particles) names.insert({p.property, p.isValid});
    for (const AttributeProperty& a : c->attributes) names.insert({a.property, a.isValid});
  }
  return names;
}

std::string Vocabulary::Qualified(const ClassType& owner, const std::string& type) const {
  const std::set<std::string> members = MemberNames(owner);
  if (!members.count(type)) return type;
  if (innerNamespace_.empty() || members.count(innerNamespace_)) return "::" + cppNamespace_ + "::" + type;
  return innerNamespace_ + "::" + type;
}

std::string Vocabulary::CollectionType(const ClassType& owner, const ClassType& item) const {
  const auto it = collectionAlias_.find(&item);
  if (it != collectionAlias_.end() && item.output == owner.output) return Qualified(owner, it->second);
  return "vexlo9::XmlGeneratedClassCol<" + Qualified(owner, item.name) + ">";
}

std::vector<std::string> Vocabulary::CollectionAliases(const Output& output) const {
  std::vector<std::string> aliases;
  for (const ClassType* cls : output.classes) {
    if (const auto it = collectionAlias_.find(cls); it != collectionAlias_.end()) {
      aliases.push_back("using " + it->second + " = vexlo9::XmlGeneratedClassCol<" + cls->name + ">;");
    }
  }
  return aliases;
}

}  // namespace vexlo9::xsd
