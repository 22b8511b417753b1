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
  code.Line();
  code.Line("VEXLO9_BY_NAME_DEFINE(" + cls + ");");
}

Vocabulary::Vocabulary(const Binding& binding, const Package& package, const std::set<size_t>& visible,
                       std::string here)
    : binding_(binding), package_(package), here_(std::move(here)) {
  auto tables = std::make_shared<Tables>();
  for (const auto& [uri, constant] : package.namespaceConstants) {
    if (visible.count(constant.output)) tables->constants[uri] = &constant;
  }
  std::set<std::string> taken;
  for (const ClassType& cls : binding.classes) {
    taken.insert(cls.name);
    tables->homes[cls.name] = cls.cppNamespace;
  }
  for (const EnumType& e : binding.enums) {
    taken.insert(e.name);
    tables->homes[e.name] = e.cppNamespace;
    for (const auto& [enumerator, text] : e.values) tables->homes[enumerator] = e.cppNamespace;
  }
  // A class held in a collection gets a name for it, "ItemCol", unless that name is taken.
  for (const ClassType& cls : binding.classes) {
    for (const ElementProperty& p : cls.particles) {
      if (p.occurs == Cardinality::Repeated && p.type && !taken.count(p.type->name + "Col")) {
        tables->collectionAlias[p.type] = p.type->name + "Col";
        tables->homes[p.type->name + "Col"] = p.type->cppNamespace;
      }
    }
  }
  tables_ = std::move(tables);
}

Vocabulary Vocabulary::In(std::string cppNamespace) const {
  Vocabulary view = *this;
  view.here_ = std::move(cppNamespace);
  return view;
}

std::string Vocabulary::In(const std::string& cppNamespace, const std::string& name) const {
  return cppNamespace == here_ ? name : "::" + cppNamespace + "::" + name;
}

std::string Vocabulary::Namespace(const std::string& uri) const {
  if (uri.empty()) return "\"\"";
  const auto it = tables_->constants.find(uri);
  if (it == tables_->constants.end()) return cpp::Quote(uri);
  return In(it->second->cppNamespace, it->second->name);
}

std::string Vocabulary::Spelled(const std::string& name) const {
  const auto it = tables_->homes.find(name);
  return it == tables_->homes.end() ? name : In(it->second, name);
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
  const std::string spelled = Spelled(type);
  if (spelled != type) return spelled;
  const std::set<std::string> members = MemberNames(owner);
  if (!members.count(type)) return type;
  const size_t colon = here_.rfind("::");
  const std::string inner = colon == std::string::npos ? here_ : here_.substr(colon + 2);
  if (inner.empty() || members.count(inner)) return "::" + here_ + "::" + type;
  return inner + "::" + type;
}

std::string Vocabulary::CollectionType(const ClassType& owner, const ClassType& item) const {
  const auto it = tables_->collectionAlias.find(&item);
  if (it != tables_->collectionAlias.end() && item.output == owner.output) return Qualified(owner, it->second);
  return "vexlo9::XmlGeneratedClassCol<" + Qualified(owner, item.name) + ">";
}

std::vector<std::string> Vocabulary::CollectionAliases(const Output& output, const std::string& cppNamespace) const {
  std::vector<std::string> aliases;
  for (const ClassType* cls : output.classes) {
    if (cls->cppNamespace != cppNamespace) continue;
    if (const auto it = tables_->collectionAlias.find(cls); it != tables_->collectionAlias.end()) {
      aliases.push_back("using " + it->second + " = vexlo9::XmlGeneratedClassCol<" + cls->name + ">;");
    }
  }
  return aliases;
}

std::string Vocabulary::FactoryCall(const ClassType& cls) const {
  const Output& out = package_.outputs[cls.output];
  return In(out.cppNamespace, out.factoryAccessor) + "()";
}

std::string Vocabulary::ClassTypeId(const ClassType& registry, const ClassType& item) const {
  const Output& out = package_.outputs[registry.output];
  return In(out.cppNamespace, out.factory) + "::k" + item.name;
}

}  // namespace vexlo9::xsd
